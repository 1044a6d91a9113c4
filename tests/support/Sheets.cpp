#include "Sheets.h"

#include <QJsonDocument>
#include <QProcess>
#include <QTest>

SheetsFixture::SheetsFixture()
{
    // Set to keep the workbooks for a look at them.
    if (qEnvironmentVariableIsSet("TABEL_KEEP_SHEETS")) {
        dir.setAutoRemove(false);
        qInfo("workbooks kept in %s", qPrintable(dir.path()));
    }
    excel::setDocumentsFolder(dir.path() + QStringLiteral("/Документы"));
    excel::setOpener(this);
}

SheetsFixture::~SheetsFixture()
{
    excel::setOpener(nullptr);
    excel::setDocumentsFolder(QString());
}

bool SheetsFixture::open(const QString &path)
{
    opened << path;
    return canOpen;
}

QJsonObject SheetsFixture::read(const QString &path)
{
    QProcess reader;
    reader.start(QStringLiteral(TABEL_PYTHON), {QStringLiteral(TABEL_XLSX_READER), path});
    if (!reader.waitForFinished(30000) || reader.exitCode() != 0) {
        QTest::qFail(qPrintable(QStringLiteral("workbook reader failed: ") +
                                QString::fromLocal8Bit(reader.readAllStandardError())),
                     __FILE__, __LINE__);
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}
