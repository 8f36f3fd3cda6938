// Progress of a print run counted in sheets of paper: a two-sided job prints two pages on each
// sheet, and the person waiting counts sheets. The window's progress dialog and the command
// line's progress lines both build on it.
#pragma once

#include "print/PrintRun.h"

#include <QString>

namespace bb {

struct SheetStep {
    int sheet = 1;          // counts from 1
    int sheets = 1;         // sheets of the whole run
    bool firstPage = true;  // the page starts its sheet
    friend bool operator==(const SheetStep&, const SheetStep&) = default;
};

// The sheet that page `page` (from 1) of a run of `pages` pages falls on; `pagesPerSheet`
// below 1 counts as 1.
SheetStep sheetStep(int page, int pages, int pagesPerSheet);

// "Drucke Blatt 3 von 50"
QString sheetProgressText(const SheetStep& step);

// A PrintProgress that hears of each page as a step in sheets.
class SheetProgress : public PrintProgress {
public:
    explicit SheetProgress(int pagesPerSheet = 1) : pagesPerSheet_(pagesPerSheet) {}
    bool pageStarting(int page, int pages) final {
        return sheetPageStarting(sheetStep(page, pages, pagesPerSheet_));
    }

protected:
    // Told before each page; false cancels the run.
    virtual bool sheetPageStarting(const SheetStep& step) = 0;

private:
    int pagesPerSheet_;
};

}  // namespace bb
