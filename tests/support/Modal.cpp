#include "Modal.h"

#include <QPointer>
#include <QTest>

namespace modal {

namespace {
QList<QPointer<QTimer>> pending;
}

void cancelPending()
{
    for (const QPointer<QTimer> &t : std::as_const(pending))
        if (t) {
            t->stop();
            t->deleteLater();
        }
    pending.clear();
}

void whenShown(const char *className, std::function<void(QWidget *)> act, int timeoutMs)
{
    auto *timer = new QTimer;
    auto *clock = new QElapsedTimer;
    clock->start();
    const QByteArray name(className);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget *w = QApplication::activeModalWidget();
        if (w && w->isVisible() && w->inherits(name.constData())) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            act(w);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            qWarning("modal window %s did not appear", name.constData());
            if (w)
                w->close();
        }
    });
    pending.append(timer);
    timer->start(10);
}

} // namespace modal
