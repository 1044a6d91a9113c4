#include "Drive.h"

#include "db/Dataset.h"

#include <QAbstractItemView>
#include <QPushButton>

namespace drive {

void type(QWidget *w, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key(c.toUpper().unicode()), QString(c),
                            Qt::NoModifier);
}

void click(QPushButton *b)
{
    QTest::mouseClick(b, Qt::LeftButton);
}

void doubleClickRow(QAbstractItemView *grid, int row)
{
    const QModelIndex idx = grid->model()->index(row, 0);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(idx).center());
}

QList<QWidget *> tabWalk(QWidget *first, int count)
{
    QList<QWidget *> out;
    first->setFocus();
    QWidget *w = first;
    for (int i = 0; i < count; ++i) {
        out << w;
        QTest::keyClick(w, Qt::Key_Tab);
        w = w->window()->focusWidget();
    }
    return out;
}

QStringList listed(const db::Dataset *ds, const QString &field)
{
    QStringList out;
    for (int r = 0; r < ds->recordCount(); ++r) {
        QString text = ds->valueAt(r, field).toString();
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        out << text;
    }
    return out;
}

} // namespace drive
