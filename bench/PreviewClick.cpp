#include "PreviewClick.h"

#include "report/Preview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>

namespace bench {

// The button opens the preview modally; a timer polling inside its event loop takes the time
// once the preview is shown and closes it.
double clickToPreview(QPushButton *button, int *pages)
{
    QWidget *before = QApplication::activeModalWidget();
    QElapsedTimer t;
    double ms = -1;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *w = QApplication::activeModalWidget();
        if (ms >= 0 || !w || w == before || !w->isVisible())
            return;
        ms = t.nsecsElapsed() / 1e6;
        if (auto *preview = qobject_cast<report::PreviewWindow *>(w))
            if (pages)
                *pages = preview->pageCount();
        w->close();
    });
    poll.start();
    t.start();
    button->click();
    poll.stop();
    if (ms < 0)
        throw std::runtime_error("the preview did not open");
    return ms;
}

} // namespace bench
