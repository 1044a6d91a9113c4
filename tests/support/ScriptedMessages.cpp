#include "ScriptedMessages.h"

ScriptedMessages::ScriptedMessages()
{
    ui::installMessages(this);
}

ScriptedMessages::~ScriptedMessages()
{
    ui::installMessages(nullptr);
}

void ScriptedMessages::error(const QString &text, const QString &caption)
{
    shown.append({QStringLiteral("error"), caption, text});
}

bool ScriptedMessages::question(const QString &text, const QString &caption)
{
    shown.append({QStringLiteral("question"), caption, text});
    return answers_.isEmpty() ? false : answers_.takeFirst();
}

QStringList ScriptedMessages::texts() const
{
    QStringList out;
    for (const Shown &s : shown)
        out << s.text;
    return out;
}
