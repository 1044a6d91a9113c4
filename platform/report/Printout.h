#pragma once

// What every printout of the shop carries besides its table: a heading with the
// organisation, the department, the title and the period on the first page; the print date
// and "стр. N из M" at the foot of every page; signature lines at the end.
//
//     report::ReportDef def;
//     def.bands << report::headingBand(def) << ... << report::pageFooterBand(def);
//     reportFooter.child = report::kSignatures;
//     def.bands << report::signatureBand(def, {{"Составил", ""}, {"Начальник цеха", ""}});
//     report::Report rep(def);
//     report::setHeading(rep, {organisation, department, "Отчет по рабочим", period});

#include "Report.h"

namespace report {

struct Heading {
    QString organisation;
    QString department;
    QString title;
    QString period; // "за период с 01.11.2026 по 30.11.2026"
};

// The labels of the heading band, for setLabel.
inline const QString kOrganisationLabel = QStringLiteral("organisation");
inline const QString kDepartmentLabel = QStringLiteral("department");
inline const QString kTitleLabel = QStringLiteral("title");
inline const QString kPeriodLabel = QStringLiteral("period");
inline const QString kSignatures = QStringLiteral("signatures");

// The title band (printed once, first): organisation and department at the left, the title
// in bold and the period under it, centred across the page. Without the title, the band
// holds the organisation and the department alone (a report whose title heads every page).
Band headingBand(const ReportDef &def, const Heading &heading = {}, bool withTitle = true);
// Sets the heading's texts on a report made with headingBand.
void setHeading(Report &report, const Heading &heading);
// The page footer: a line, the print date at the left, "стр. N из M" at the right.
Band pageFooterBand(const ReportDef &def);

struct Signature {
    QString role; // "Составил", "Начальник цеха"
    QString name; // printed under the line when known
};
// Signature lines, one under the other: the role, a line to sign on, the name. A child band
// named kSignatures: make it the child of the band after which it prints.
Band signatureBand(const ReportDef &def, const QVector<Signature> &signatures);

} // namespace report
