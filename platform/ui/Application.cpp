#include "Application.h"

#include "MessageBoxes.h"

#include <QLocale>

namespace ui {

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    useMessageBoxes();
    // Numbers and dates as the shop's users read them.
    QLocale ru(QLocale::Russian, QLocale::Russia);
    ru.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(ru);
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
