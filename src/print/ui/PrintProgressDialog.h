// The window's progress of a print run: a window-modal "Drucke Blatt 3 von 50" dialog with
// "Abbrechen", shown only once a run takes longer than its delay. Between pages it lets the
// event loop run, so the window repaints and the button can be pressed; a press cancels the
// run before its next page.
#pragma once

#include "print/SheetProgress.h"

#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace bb {

// How long a run goes before its progress dialog appears.
inline constexpr int kPrintProgressDelayMs = 1000;

class PrintProgressDialog : public SheetProgress {
public:
    // Called at each page after the events have run (tests press "Abbrechen" from it).
    using PageHook = std::function<void(const SheetStep& step, QProgressDialog& dialog)>;

    PrintProgressDialog(QWidget* window, int pagesPerSheet, int delayMs, PageHook hook = {});
    ~PrintProgressDialog() override;
    PrintProgressDialog(const PrintProgressDialog&) = delete;
    PrintProgressDialog& operator=(const PrintProgressDialog&) = delete;

protected:
    bool sheetPageStarting(const SheetStep& step) override;

private:
    std::unique_ptr<QProgressDialog> dialog_;
    PageHook hook_;
};

}  // namespace bb
