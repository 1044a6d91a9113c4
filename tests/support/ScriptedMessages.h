#pragma once

#include "ui/Messages.h"

#include <QList>
#include <QStringList>

// Stands in for the message boxes: records what was shown and answers the questions in
// the order given (No once the answers run out).
class ScriptedMessages : public ui::MessageService {
public:
    struct Shown {
        QString kind; // "error", "question" or "information"
        QString caption;
        QString text;
        QString details; // the server's text behind a database error's sentence
    };

    ScriptedMessages();
    ~ScriptedMessages() override;

    void error(const QString &text, const QString &caption, const QString &details) override;
    bool question(const QString &text, const QString &caption) override;
    void information(const QString &text, const QString &caption) override;

    void answer(std::initializer_list<bool> answers) { answers_ << answers; }
    void clear()
    {
        shown.clear();
        answers_.clear();
    }
    QStringList texts() const;

    QList<Shown> shown;

private:
    QList<bool> answers_;
};
