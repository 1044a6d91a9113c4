#include "ScriptedMessages.h"

ScriptedMessages::ScriptedMessages()
{
    ui::installMessages(this);
}

ScriptedMessages::~ScriptedMessages()
{
    ui::installMessages(nullptr);
}

void ScriptedMessages::error(const QString &text, const QString &caption, const QString &details)
{
    shown.append({QStringLiteral("error"), caption, text, details});
}

void ScriptedMessages::information(const QString &text, const QString &caption)
{
    shown.append({QStringLiteral("information"), caption, text, QString()});
}

bool ScriptedMessages::question(const QString &text, const QString &caption)
{
    shown.append({QStringLiteral("question"), caption, text, QString()});
    return answers_.isEmpty() ? false : answers_.takeFirst();
}

QStringList ScriptedMessages::texts() const
{
    QStringList out;
    for (const Shown &s : shown)
        out << s.text;
    return out;
}
