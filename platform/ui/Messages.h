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
    // Error icon, OK button; details (the server's own text) behind the box's details
    // button when given.
    virtual void error(const QString &text, const QString &caption,
                       const QString &details = QString()) = 0;
    // Question icon, Yes and No; true for Yes. "Нет" is the default answer: Enter pressed
    // by habit deletes nothing.
    virtual bool question(const QString &text, const QString &caption) = 0;
    // Information icon, OK button: something done that the user should know about.
    virtual void information(const QString &text, const QString &caption) = 0;
};

// The service in use: the installed one, else the default (message boxes once the
// application object exists, the log before and without it).
MessageService &messages();
// Installs a service (not owned); nullptr restores the default.
void installMessages(MessageService *service);
// Sets the default service (not owned); nullptr restores the log.
void setDefaultMessages(MessageService *service);

inline void showError(const QString &text, const QString &caption = QStringLiteral("Ошибка"))
{
    messages().error(text, caption);
}
// Shows a refusal's sentence as an error: true when there was one, false (nothing shown)
// when the sentence is empty.
inline bool refuse(const QString &sentence)
{
    if (sentence.isEmpty())
        return false;
    showError(sentence);
    return true;
}
inline void showInformation(const QString &text, const QString &caption)
{
    messages().information(text, caption);
}
inline bool askYesNo(const QString &text, const QString &caption = QStringLiteral("Удаление"))
{
    return messages().question(text, caption);
}
// The one display of database errors: one box per failed action. A refusal that users
// can cause is told in a sentence of its own with the server's text as the details;
// every other error shows the server's text. While a box of a database error is up, a
// further database error is not stacked on it.
void showDbError(const db::SqlError &e);

// The sentence and details that showDbError shows for an error.
struct DbErrorText {
    QString text;
    QString details;
};
DbErrorText describeDbError(const db::SqlError &e);

// What a named constraint of the schema guards, for the refusal sentences: the text for
// a delete (or key change) refused because other rows refer to the row, and the text for
// a write refused by the constraint itself (a missing referenced row, a duplicate, a
// failed check). A column that may not be left empty is named "column <name>".
void nameConstraint(const QString &constraint, const QString &whenReferenced,
                    const QString &whenWritten);

} // namespace ui
