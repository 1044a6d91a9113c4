#pragma once

#include <QApplication>

namespace ui {

// The application object: a database error thrown by a handler ends that handler and is
// shown to the user; the event loop goes on.
class Application : public QApplication {
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Runs fn; a database error is shown and swallowed. For code running outside event
// delivery (start-up) and for timers' bodies that must not end the loop.
template <typename Fn> bool guarded(Fn &&fn);

// The hourglass cursor for as long as it lives: it comes back however the work ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace ui

#include "Messages.h"
#include "db/SqlError.h"

template <typename Fn> bool ui::guarded(Fn &&fn)
{
    try {
        fn();
        return true;
    } catch (const db::SqlError &e) {
        showDbError(e);
        return false;
    }
}
