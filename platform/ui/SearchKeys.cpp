#include "SearchKeys.h"

#include "db/Dataset.h"

#include <QKeyEvent>

namespace ui {

bool searchBoxKey(QKeyEvent *key, db::Dataset *list, bool consumeAll, bool keepEnter)
{
    switch (key->key()) {
    case Qt::Key_Up:
        list->prior();
        return true;
    case Qt::Key_Down:
        list->next();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return keepEnter;
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Backspace:
        return false; // the dialog's keys and erasing work everywhere
    default:
        // Caret keys and Delete do nothing in this box; typed characters edit it.
        return consumeAll && (key->key() == Qt::Key_Delete || key->text().isEmpty());
    }
}

} // namespace ui
