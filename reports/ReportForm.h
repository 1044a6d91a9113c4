#pragma once

#include "report/Report.h"
#include "shop/Organisation.h"

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
    // The organisation and department over the first page, the names under the signature
    // lines ("Составил", "Начальник цеха"): the details as kept in "Реквизиты организации".
    void setOrganisation(const shop::Organisation &o);
    // Lays out the dataset's visible records.
    void prepare();
    void preview(QWidget *parent);

protected:
    explicit ReportForm(const char *name, QObject *parent);
    ~ReportForm() override;
    db::Dataset *newDataset(const char *name, const QString &sql);
};

// The frame the summary reports share: A4 portrait, 10 mm margins, 190 mm bands; the
// organisation and department over the first page; a light grey report header with the
// title and the column captions over a 0.5 mm spacer, on every page; grey group headers with
// their value in bold, named again with "(продолжение)" on the next page; bold group footers
// with their label; a framed report footer with "Итого:" and the signature lines after it;
// totals on light grey boxes; the print date and "стр. N из M" at the foot.
namespace frame {

// Money with two decimals, quantities and boxes without decimals when whole.
inline const QString kMoney = QStringLiteral("#,##0.00");
inline const QString kQuantity = QStringLiteral("#,##0.##");

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
// The report's footer, with the signature lines as its child (or after the note's band when
// one is given: a child band the report names).
report::Band reportFooter(double height, const QString &note = QString());
// The signature lines: the one who prepared the printout and the head of the department,
// their names set with the organisation's details (setOrganisation).
report::Band signatures(const report::ReportDef &def = {},
                        const QString &preparedBy = QStringLiteral("Составил"));
// A total on its box: centred; it starts again after printing when resetting.
report::Element total(double left, double width, const QString &expression, const QString &mask,
                      bool resetting, report::Align align);
report::Band pageFooter();

extern const QColor kGroup;

} // namespace frame
