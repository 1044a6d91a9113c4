#pragma once

#include <QDialog>

class QLabel;

namespace report {

class PageView;
class Report;

// The prepared pages on screen: page navigation, zoom, printing through the system's print
// dialog and saving as PDF.
class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    explicit PreviewWindow(const Report &report, QWidget *parent = nullptr);

    const Report &report() const { return report_; }
    PageView *view() const { return view_; }
    int currentPage() const;
    int pageCount() const;
    void goTo(int page);
    void printWithDialog();
    // Asks for a file in the save dialog, then savePdfTo().
    void saveAsPdf();
    // The file the save dialog proposes: the report's document name with ".pdf" in the folder
    // of the last save (the home folder at first).
    QString proposedPdfPath() const;
    // Writes the pages to path (".pdf" added when missing), asking before an existing file
    // is replaced; a failure is told with its reason. True when written.
    bool savePdfTo(QString path);

private:
    void updatePageLabel();
    const Report &report_;
    PageView *view_;
    QLabel *pageLabel_;
};

} // namespace report
