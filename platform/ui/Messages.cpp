#include "Messages.h"

#include "db/SqlError.h"

#include <QHash>
#include <QRegularExpression>
#include <QScopeGuard>

namespace ui {

namespace {

// Without a display (a tool or test that installed nothing) a message goes to the log and
// a question is answered No.
class LogService : public MessageService {
public:
    void error(const QString &text, const QString &caption, const QString &details) override
    {
        qWarning("%s: %s %s", qPrintable(caption), qPrintable(text), qPrintable(details));
    }
    void information(const QString &text, const QString &caption) override
    {
        qInfo("%s: %s", qPrintable(caption), qPrintable(text));
    }
    bool question(const QString &text, const QString &caption) override
    {
        qWarning("%s: %s (answered No)", qPrintable(caption), qPrintable(text));
        return false;
    }
};

LogService logService;
MessageService *fallback = &logService;
MessageService *current = nullptr;
bool showingDbError = false;

struct ConstraintTexts {
    QString whenReferenced;
    QString whenWritten;
};

QHash<QString, ConstraintTexts> &constraints()
{
    static QHash<QString, ConstraintTexts> map;
    return map;
}

QString constraintOf(const QString &serverText)
{
    static const QRegularExpression re(QStringLiteral("constraint \"([^\"]+)\""));
    const QRegularExpressionMatch m = re.match(serverText);
    return m.hasMatch() ? m.captured(1) : QString();
}

// The first line of the server's text without its severity: the message without its
// DETAIL, HINT and CONTEXT lines.
QString firstLine(const QString &serverText)
{
    static const QRegularExpression severity(QStringLiteral("^(ERROR|FATAL|PANIC):\\s*"));
    return serverText.section(QLatin1Char('\n'), 0, 0).trimmed().remove(severity);
}

} // namespace

MessageService &messages()
{
    return current ? *current : *fallback;
}

void installMessages(MessageService *service)
{
    current = service;
}

void setDefaultMessages(MessageService *service)
{
    fallback = service ? service : &logService;
}

void nameConstraint(const QString &constraint, const QString &whenReferenced,
                    const QString &whenWritten)
{
    constraints().insert(constraint, {whenReferenced, whenWritten});
}

DbErrorText describeDbError(const db::SqlError &e)
{
    const QString state = e.sqlState();
    const QString server = e.text();
    const QString name = constraintOf(server);
    const ConstraintTexts known = constraints().value(name);
    // The sentence the schema gave the constraint, the general one otherwise.
    const auto told = [&server](const QString &own, const QString &general) {
        return DbErrorText{own.isEmpty() ? general : own, server};
    };
    if (state == QLatin1String("23503") && !name.isEmpty()) {
        // "update or delete on table ..." names the referenced row; "insert or update" the
        // referring one.
        if (server.contains(QLatin1String("update or delete on table"))) {
            return told(known.whenReferenced,
                        QStringLiteral("Запись нельзя удалить: на неё ссылаются другие записи."));
        }
        return told(known.whenWritten, QStringLiteral("Запись ссылается на данные, которых нет в "
                                                      "базе (возможно, их удалил другой "
                                                      "пользователь)."));
    }
    // Rights: what the login may not do, said as a sentence.
    if (state == QLatin1String("42501")) {
        return {QStringLiteral("Недостаточно прав: вашей учётной записи это действие не "
                               "разрешено. Обратитесь к администратору."),
                server};
    }
    // A closed month: the schema's own sentence, naming the month.
    if (state == QLatin1String("TBC01"))
        return {firstLine(server), server};
    if (state == QLatin1String("23505"))
        return told(known.whenWritten, QStringLiteral("Такая запись уже есть в базе."));
    if (state == QLatin1String("23514"))
        return told(known.whenWritten, QStringLiteral("Значение не прошло проверку базы данных."));
    if (state == QLatin1String("23502")) {
        // A field left empty: named as the schema names "column <name>".
        static const QRegularExpression column(QStringLiteral("column \"([^\"]+)\""));
        const QRegularExpressionMatch m = column.match(server);
        const QString own =
            m.hasMatch()
                ? constraints().value(QStringLiteral("column ") + m.captured(1)).whenWritten
                : QString();
        return told(own, QStringLiteral("Не заполнено обязательное поле."));
    }
    // The lock of the month (or of a row) was not granted within the connection's
    // lock_timeout: the transaction is undone whole.
    if (state == QLatin1String("55P03")) {
        return {QStringLiteral("Месяц сейчас перестраивается другим пользователем, повторите "
                               "позже."),
                server};
    }
    if (state == QLatin1String("22001")) {
        static const QRegularExpression size(QStringLiteral("\\((\\d+)\\)"));
        const QRegularExpressionMatch m = size.match(firstLine(server));
        return {m.hasMatch() ? QStringLiteral("Значение слишком длинное для поля: допускается не "
                                              "более %1 знаков.")
                                   .arg(m.captured(1))
                             : QStringLiteral("Значение слишком длинное для поля."),
                server};
    }
    if (state == QLatin1String("22003")) {
        return {QStringLiteral("Число вне допустимого диапазона для поля: введите меньшее "
                               "по величине число."),
                server};
    }
    if (!state.isEmpty() && e.details().isEmpty()) {
        // The server's own message, its further lines under the details.
        const QString message = firstLine(server);
        if (!message.isEmpty() && message != server)
            return {message, server};
    }
    return {server, e.details()};
}

void showDbError(const db::SqlError &e)
{
    if (showingDbError)
        return;
    showingDbError = true;
    const auto done = qScopeGuard([] { showingDbError = false; });
    const DbErrorText shown = describeDbError(e);
    messages().error(shown.text, QStringLiteral("Ошибка"), shown.details);
}

} // namespace ui
