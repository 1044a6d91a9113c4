#include "PdfText.h"

#include "report/Report.h"

#include <QProcess>
#include <QTemporaryDir>

bool keepPdf(const report::Report &r, const QString &name)
{
    const QString keep = qEnvironmentVariable("TABEL_REPORT_PDF_DIR");
    return keep.isEmpty() || r.writePdf(keep + "/" + name + ".pdf");
}

QString pdfText(const report::Report &r, const QString &name)
{
    static QTemporaryDir dir;
    const QString keep = qEnvironmentVariable("TABEL_REPORT_PDF_DIR");
    const QString path = (keep.isEmpty() ? dir.path() : keep) + "/" + name + ".pdf";
    if (!r.writePdf(path))
        return QString();
    QProcess p;
    p.start("pdftotext", {"-layout", path, "-"});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
