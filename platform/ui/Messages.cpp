#include "Messages.h"

#include "db/SqlError.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

namespace {

class BoxService : public MessageService {
public:
    void error(const QString &text, const QString &caption) override
    {
        QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok,
                        QApplication::activeWindow());
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
MessageService *current = nullptr;

} // namespace

MessageService &messages()
{
    return current ? *current : boxService;
}

void installMessages(MessageService *service)
{
    current = service;
}

void showDbError(const db::SqlError &e)
{
    messages().error(e.text(), QStringLiteral("Ошибка"));
}

} // namespace ui
