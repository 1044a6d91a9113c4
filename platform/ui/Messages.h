#pragma once

#include <QString>

namespace db {
class SqlError;
}

namespace ui {

// Every message box of the program goes through the installed service, so that tests
// can answer questions and see what was shown.
class MessageService {
public:
    virtual ~MessageService() = default;
    // Error icon, OK button.
    virtual void error(const QString &text, const QString &caption) = 0;
    // Question icon, Yes and No; true for Yes.
    virtual bool question(const QString &text, const QString &caption) = 0;
};

// The service in use; the message-box one unless another was installed.
MessageService &messages();
// Installs a service (not owned); nullptr restores the message boxes.
void installMessages(MessageService *service);

inline void showError(const QString &text, const QString &caption = QStringLiteral("Ошибка"))
{
    messages().error(text, caption);
}
inline bool askYesNo(const QString &text, const QString &caption = QStringLiteral("Удаление"))
{
    return messages().question(text, caption);
}
// The one display of database errors.
void showDbError(const db::SqlError &e);

} // namespace ui
