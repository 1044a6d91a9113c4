#include "MessageBoxes.h"

#include "Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

namespace {

// Shows a box modally. A box may come up in the middle of long work that shows the
// hourglass; the user is asked with the usual pointer.
int shown(QMessageBox &box)
{
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
    return answer;
}

class BoxService : public MessageService {
public:
    void error(const QString &text, const QString &caption, const QString &details) override
    {
        QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok,
                        QApplication::activeWindow());
        if (!details.isEmpty())
            box.setDetailedText(details);
        shown(box);
    }
    bool question(const QString &text, const QString &caption) override
    {
        QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                        QApplication::activeWindow());
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
        box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return shown(box) == QMessageBox::Yes;
    }
    void information(const QString &text, const QString &caption) override
    {
        QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok,
                        QApplication::activeWindow());
        shown(box);
    }
};

BoxService boxService;

} // namespace

void useMessageBoxes()
{
    setDefaultMessages(&boxService);
}

} // namespace ui
