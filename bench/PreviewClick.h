#pragma once

#include "spreadsheet/Excel.h"

class QPushButton;

namespace bench {

// Clicks a button that opens a preview modally and returns the milliseconds until the preview
// is shown; the preview is closed at once. Its page count goes to *pages when given.
double clickToPreview(QPushButton *button, int *pages = nullptr);

// Workbooks are written but never handed to a spreadsheet program.
class NoOpener : public excel::Opener {
public:
    bool open(const QString &) override { return true; }
};

} // namespace bench
