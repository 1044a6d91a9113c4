#pragma once

#include <QString>

namespace report {
class Report;
}

// The text of a prepared report's pages as pdftotext reads them (-layout) from the PDF the
// report writes; empty when the PDF cannot be written. TABEL_REPORT_PDF_DIR, when set, keeps
// the PDFs there for a look at them.
QString pdfText(const report::Report &r, const QString &name);
// With TABEL_REPORT_PDF_DIR set, writes the report there as name.pdf for a look at it and
// returns whether it was written; without it, does nothing and returns true.
bool keepPdf(const report::Report &r, const QString &name);
