#include "DigitEdit.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace ui {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

class DigitKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            const QString text = key->text();
            if (text.size() == 1 && text[0].isPrint() && !isDigit(text[0]) &&
                !(key->modifiers() & Qt::ControlModifier))
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void makeDigitsOnly(QLineEdit *edit)
{
    edit->installEventFilter(new DigitKeys(edit));
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &text) {
        QString digits;
        int cursor = edit->cursorPosition();
        for (int i = 0; i < text.size(); ++i) {
            if (isDigit(text[i]))
                digits += text[i];
            else if (i < edit->cursorPosition())
                --cursor;
        }
        if (digits != text) {
            edit->setText(digits);
            edit->setCursorPosition(cursor);
        }
    });
}

} // namespace ui
