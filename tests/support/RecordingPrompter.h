#pragma once

#include "ops/Prompter.h"

#include <QList>
#include <QStringList>

namespace zym::test {

// Answers the operator's questions from a script and records everything the
// tool said, in place of message boxes.
class RecordingPrompter : public Prompter
{
public:
    QList<bool> answers; // replies to the next questions; Yes when none is left
    QStringList questions; // "title: text"
    QStringList notices;
    QStringList errors;

    bool confirm(const QString &text, const QString &title) override
    {
        questions << title + QStringLiteral(": ") + text;
        return answers.isEmpty() || answers.takeFirst();
    }

    void notify(const QString &text) override { notices << text; }
    void showError(const QString &message) override { errors << message; }
};

} // namespace zym::test
