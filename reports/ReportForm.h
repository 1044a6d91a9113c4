#pragma once

#include "report/Report.h"

#include <QObject>

namespace db {
class Dataset;
}

// A printed summary report: its own query, the report laid out on it and the title label
// QRLabel1 that the reports window sets.
class ReportForm : public QObject {
    Q_OBJECT
public:
    report::Report *printout;
    virtual db::Dataset *dataset() const = 0;

    void setTitle(const QString &text);
    QString title() const;
    // Lays out the dataset's visible records.
    void prepare();
    void preview(QWidget *parent);

protected:
    explicit ReportForm(const char *name, QObject *parent);
    ~ReportForm() override;
    db::Dataset *newDataset(const char *name, const QString &sql);
};

// The frame the summary reports share: A4 portrait, 10 mm margins, 190 mm bands; a light
// grey report header with the title and the column captions over a 0.5 mm spacer; grey
// group headers with their value in bold; bold group footers; a framed report footer with
// "Итого:"; totals on light grey boxes; the page number at the foot.
namespace frame {

report::ReportDef page();
// Report header "head" (footer "foot") with the title at its left edge, the captions under
// it, and its spacer.
QVector<report::Band> reportHeader(double height, const report::Font &titleFont, double titleWidth,
                                   const QVector<report::Element> &captions = {});
report::Element caption(double left, double width, const QString &text, double size);
// A group on field, header linked to its footer; the value in bold 10 pt at the left edge.
report::Band groupHeader(const QString &name, double height, const QString &field,
                         const QColor &background);
report::Band groupFooter(const QString &name, double height);
report::Band reportFooter(double height);
// A total on its box: centred; it starts again after printing when resetting.
report::Element total(double left, double width, const QString &expression, const QString &mask,
                      bool resetting, report::Align align);
report::Band pageFooter();

extern const QColor kGroup;

} // namespace frame
