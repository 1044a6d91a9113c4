#include "Application.h"

#include "MessageBoxes.h"

#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui {

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    // Every time read from the server is turned into local time; without TZ the C library
    // looks at the zone file again for each one (a day's journal at a plant reads thousands).
    // Named as the zone file itself, the zone is read once.
    if (qEnvironmentVariableIsEmpty("TZ") && QFileInfo::exists(QStringLiteral("/etc/localtime")))
        qputenv("TZ", ":/etc/localtime");
    useMessageBoxes();
    // Numbers and dates as the shop's users read them.
    QLocale ru(QLocale::Russian, QLocale::Russia);
    ru.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(ru);
    // Qt's own dialogs and buttons (file and print dialogs, "Show Details...") in Russian,
    // from the translations Debian installs beside Qt.
    auto *qt = new QTranslator(this);
    if (qt->load(ru, QStringLiteral("qt"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(qt);
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const db::SqlError &e) {
        showDbError(e);
    } catch (const std::exception &e) {
        messages().error(QString::fromLocal8Bit(e.what()), QStringLiteral("Ошибка"));
    }
    return true;
}

} // namespace ui
