// The program's own start-up, against the server of TABEL_PGPORT, that prints "login" and
// ends as soon as the login window has been painted for the first time. With --bare as the
// only argument it shows a window with a caption, a text box and a button instead, without
// any database: the least a program of the same build does before such a window is up.
#include "app/LoginWindow.h"
#include "app/Startup.h"
#include "shop/DataModule.h"
#include "ui/Application.h"

#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
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
    FirstPaint watcher;
    QTimer::singleShot(20000, [] { std::_Exit(3); });
    if (args == QStringList{QStringLiteral("--bare")}) {
        QDialog bare;
        auto *box = new QVBoxLayout(&bare);
        box->addWidget(new QLabel(QStringLiteral("Код доступа"), &bare));
        box->addWidget(new QLineEdit(&bare));
        box->addWidget(new QPushButton(QStringLiteral("Вход"), &bare));
        bare.installEventFilter(&watcher);
        QTimer::singleShot(0, [&bare] { bare.show(); });
        return app.exec();
    }
    const int port = qEnvironmentVariableIntValue("TABEL_PGPORT");
    if (port > 0)
        DataModule::setPortOverride(port);
    if (!createForms(args))
        return 1;
    loginWindow->installEventFilter(&watcher);
    QTimer::singleShot(0, [] { loginWindow->show(); });
    return app.exec();
}
