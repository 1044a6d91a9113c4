#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

// Acts on a modal window once it is up. Arm it before the call that shows the window;
// it gives up after a few seconds so that a broken test cannot hang on a modal loop.
namespace modal {

void whenShown(const char *className, std::function<void(QWidget *)> act, int timeoutMs = 5000);

template <typename T> void when(std::function<void(T *)> act, int timeoutMs = 5000)
{
    whenShown(
        T::staticMetaObject.className(), [act](QWidget *w) { act(static_cast<T *>(w)); },
        timeoutMs);
}

// Stops every watcher still waiting (for a window that was expected not to appear).
void cancelPending();

} // namespace modal
