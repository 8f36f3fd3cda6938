// The progress dialog of a print run; see PrintProgressDialog.h.
#include "print/ui/PrintProgressDialog.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>

namespace bb {

PrintProgressDialog::PrintProgressDialog(QWidget* window, int pagesPerSheet, int delayMs,
                                         PageHook hook)
    : SheetProgress(pagesPerSheet),
      dialog_(std::make_unique<QProgressDialog>(window)),
      hook_(std::move(hook)) {
    QProgressDialog& d = *dialog_;
    d.setObjectName(QStringLiteral("DruckFortschritt"));
    d.setWindowTitle(QStringLiteral("Drucken"));
    d.setWindowModality(Qt::WindowModal);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"));
    cancel->setObjectName(QStringLiteral("DruckAbbrechenBtn"));
    d.setCancelButton(cancel);
    auto* bar = new QProgressBar;
    bar->setObjectName(QStringLiteral("DruckFortschrittBalken"));
    d.setBar(bar);
    // The dialog closes with the run, not when its bar reaches the end.
    d.setAutoClose(false);
    d.setAutoReset(false);
    d.setMinimumDuration(qMax(0, delayMs));
    // Rewinds the bar, so that the first page's value starts the delay.
    d.reset();
}

PrintProgressDialog::~PrintProgressDialog() {
    dialog_->hide();
}

bool PrintProgressDialog::sheetPageStarting(const SheetStep& step) {
    QProgressDialog& d = *dialog_;
    if (d.wasCanceled()) return false;
    d.setMaximum(step.sheets);
    d.setLabelText(sheetProgressText(step));
    // The first call starts the dialog's delay; later ones show it once the run looks long.
    d.setValue(step.sheet - 1);
    // Until the dialog is up the window is not blocked: its clicks and keys wait for the end
    // of the run, while paints and timers go on. Once it is up the modal dialog blocks the
    // window and its own button must work.
    QCoreApplication::processEvents(d.isVisible() ? QEventLoop::AllEvents
                                                  : QEventLoop::ExcludeUserInputEvents);
    if (hook_) hook_(step, d);
    return !d.wasCanceled();
}

}  // namespace bb
