#include "app/QtUserDialogs.h"

#include "editor/FontDialog.h"
#include "pictures/DibFilters.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>

namespace bb {

namespace {

QMessageBox::Icon qtIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

FileDialogResult runFileDialog(QWidget* parent, const FileDialogRequest& r, bool save) {
    QFileDialog dlg(parent, r.caption, r.directory);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = QtUserDialogs::qtFilters(r.filter);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        const int i = qBound(1, r.filterIndex, int(filters.size())) - 1;
        dlg.selectNameFilter(filters.at(i));
    }
    if (!r.defaultSuffix.isEmpty()) dlg.setDefaultSuffix(r.defaultSuffix);
    if (!r.initialName.isEmpty()) dlg.selectFile(r.initialName);
    // The program asks its own overwrite question where it has one.
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
    QCheckBox* box = nullptr;
    if (!r.checkBoxText.isEmpty()) {
        // A native dialog takes no widgets of ours: Qt's own one gets the box as a last row.
        dlg.setOption(QFileDialog::DontUseNativeDialog, true);
        if (auto* grid = qobject_cast<QGridLayout*>(dlg.layout())) {
            box = new QCheckBox(r.checkBoxText, &dlg);
            box->setObjectName(QStringLiteral("FileDialogCheckBox"));
            box->setChecked(r.checked);
            grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }
    FileDialogResult res;
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return res;
    res.path = dlg.selectedFiles().constFirst();
    res.checked = box && box->isChecked();
    const int chosen = filters.indexOf(dlg.selectedNameFilter());
    res.filterIndex = chosen >= 0 ? chosen + 1 : 1;
    return res;
}

}  // namespace

QStringList QtUserDialogs::qtFilters(const QString& filter) {
    const QString qt = dibFilterToQt(filter);
    return qt.isEmpty() ? QStringList() : qt.split(QStringLiteral(";;"));
}

int QtUserDialogs::message(const QString& text, const QString& caption, MsgIcon icon, int buttons) {
    QMessageBox box(qtIcon(icon), caption.isEmpty() ? kAppTitle : caption, text,
                    QMessageBox::NoButton, parent_);
    struct Pair {
        int ours;
        QMessageBox::StandardButton qt;
    };
    const Pair pairs[] = {{BtnYes, QMessageBox::Yes},
                          {BtnNo, QMessageBox::No},
                          {BtnOk, QMessageBox::Ok},
                          {BtnCancel, QMessageBox::Cancel}};
    for (const Pair& p : pairs)
        if (buttons & p.ours) box.addButton(p.qt);
    if (buttons == BtnNone) box.addButton(QMessageBox::Ok);
    const int pressed = box.exec();
    for (const Pair& p : pairs)
        if (pressed == p.qt) return p.ours;
    // Closed with Escape or the close box: the "do nothing" answer that was offered.
    if (buttons & BtnCancel) return BtnCancel;
    if (buttons & BtnNo) return BtnNo;
    return BtnOk;
}

FileDialogResult QtUserDialogs::openFile(const FileDialogRequest& request) {
    return runFileDialog(parent_, request, false);
}

FileDialogResult QtUserDialogs::saveFile(const FileDialogRequest& request) {
    return runFileDialog(parent_, request, true);
}

bool QtUserDialogs::chooseColor(QColor& color, const QString& caption) {
    const QColor c = QColorDialog::getColor(color, parent_, caption);
    if (!c.isValid()) return false;
    color = c;
    return true;
}

bool QtUserDialogs::chooseFont(QFont& font, QColor& color, const QString& caption) {
    // Qt's font dialog has no colour: the program's own dialog chooses both.
    FontDialog dlg(this, parent_);
    if (!caption.isEmpty()) dlg.setWindowTitle(caption);
    dlg.setChoice(font, color);
    if (dlg.exec() != QDialog::Accepted) return false;
    font = dlg.chosenFont();
    color = dlg.chosenColor();
    return true;
}

}  // namespace bb
