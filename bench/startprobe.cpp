// The program's own start-up, against the server of TABEL_PGPORT, that prints "login" and
// ends as soon as the login window has been painted for the first time.
#include "app/Startup.h"
#include "app/Unit23.h"
#include "app/Unit6.h"
#include "ui/Application.h"

#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, [] {
                std::printf("login\n");
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    ui::Application app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QStringList args = app.arguments();
    args.removeFirst();
    const int port = qEnvironmentVariableIntValue("TABEL_PGPORT");
    if (port > 0)
        TDataModule6::setPortOverride(port);
    if (!createForms(args))
        return 1;
    FirstPaint watcher;
    Form23->installEventFilter(&watcher);
    QTimer::singleShot(0, [] { Form23->show(); });
    QTimer::singleShot(20000, [] { std::_Exit(3); });
    return app.exec();
}
