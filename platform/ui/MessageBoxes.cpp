#include "MessageBoxes.h"

#include "Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

namespace {

class BoxService : public MessageService {
public:
    void error(const QString &text, const QString &caption, const QString &details) override
    {
        QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok,
                        QApplication::activeWindow());
        if (!details.isEmpty())
            box.setDetailedText(details);
        box.exec();
    }
    bool question(const QString &text, const QString &caption) override
    {
        QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                        QApplication::activeWindow());
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
        box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }
};

BoxService boxService;

} // namespace

void useMessageBoxes()
{
    setDefaultMessages(&boxService);
}

} // namespace ui
