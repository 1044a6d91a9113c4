#include "Printout.h"

#include <algorithm>

namespace report {

namespace {
double usable(const ReportDef &def)
{
    return def.page.width() - def.page.left - def.page.right;
}
} // namespace

Band headingBand(const ReportDef &def, const Heading &heading, bool withTitle)
{
    const double width = usable(def);
    Band b = band(BandKind::Title, QStringLiteral("heading"), withTitle ? 22 : 10.5);
    b.elements << label(kOrganisationLabel, 0, width, heading.organisation).sized(9).box(0, 4.5)
               << label(kDepartmentLabel, 0, width, heading.department).sized(9).box(4.5, 4.5);
    if (!withTitle)
        return b;
    b.elements << label(kTitleLabel, 0, width, heading.title)
                      .bold()
                      .sized(12)
                      .aligned(Align::Center)
                      .box(10, 6)
               << label(kPeriodLabel, 0, width, heading.period)
                      .sized(10)
                      .aligned(Align::Center)
                      .box(16, 5);
    return b;
}

void setHeading(Report &report, const Heading &heading)
{
    report.setLabel(kOrganisationLabel, heading.organisation);
    report.setLabel(kDepartmentLabel, heading.department);
    report.setLabel(kTitleLabel, heading.title);
    report.setLabel(kPeriodLabel, heading.period);
}

Band pageFooterBand(const ReportDef &def)
{
    const double width = usable(def);
    Band b = band(BandKind::PageFooter, QStringLiteral("pageFoot"), 6);
    b.edges = TopEdge;
    b.elements << printDate(0, 60).sized(8).box(1, 4.5)
               << pageOfPages(width - 40, 40).sized(8).aligned(Align::Right).box(1, 4.5);
    return b;
}

Band signatureBand(const ReportDef &def, const QVector<Signature> &signatures)
{
    const double line = 9;
    Band b = band(BandKind::Child, kSignatures, 6 + line * signatures.size());
    const double width = std::min(usable(def), 190.0);
    for (int i = 0; i < signatures.size(); ++i) {
        const double top = 6 + i * line;
        b.elements << label(0, 50, signatures[i].role).box(top, 5)
                   << label(52, 50, QString()).framed(BottomEdge).box(top, 5)
                   << label(106, width - 106, signatures[i].name).box(top, 5)
                   << label(52, 50, QStringLiteral("(подпись)"))
                          .sized(7)
                          .aligned(Align::Center)
                          .box(top + 5, 3);
    }
    return b;
}

} // namespace report
