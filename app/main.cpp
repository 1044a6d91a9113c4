#include "app/Startup.h"
#include "app/Unit23.h"
#include "ui/Application.h"

#include <QTimer>

int main(int argc, char **argv)
{
    ui::Application app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QStringList args = app.arguments();
    args.removeFirst();
    if (!createForms(args))
        return 1;
    // Shown from inside the event loop, so that an end asked for at once ends it.
    QTimer::singleShot(0, [] { Form23->show(); });
    return app.exec();
}
