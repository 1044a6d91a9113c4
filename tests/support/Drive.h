#pragma once

#include "Modal.h"

#include <QStringList>
#include <QTest>
#include <functional>

class QAbstractItemView;
class QPushButton;
namespace db {
class Dataset;
}

// Driving windows as a user does.
namespace drive {

// Runs act on the modal window of class T that open() shows, then closes it if act left it
// up (also when a check in act failed). False when the window never came up.
template <typename T> bool whileShown(std::function<void()> open, std::function<void(T *)> act)
{
    bool ran = false;
    modal::when<T>([&](T *w) {
        ran = true;
        act(w);
        if (w->isVisible())
            w->reject();
    });
    open();
    return ran;
}

// Types text key by key (QTest::keyClicks knows only Latin-1 letters).
void type(QWidget *w, const QString &text);
void click(QPushButton *b);
// A double click on the first cell of a row (counted from 0).
void doubleClickRow(QAbstractItemView *grid, int row);
// The widgets that Tab visits from first on, as many as asked for.
QList<QWidget *> tabWalk(QWidget *first, int count);
// A field of the visible rows of a dataset, without blank padding.
QStringList listed(const db::Dataset *ds, const QString &field);

} // namespace drive
