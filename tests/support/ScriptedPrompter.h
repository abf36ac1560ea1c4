#pragma once

#include "db/Interaction.h"

#include <QStringList>

namespace zym::test {

// Answers every confirmation with a set reply and records what was asked
// and noticed.
class ScriptedPrompter : public Prompter
{
public:
    explicit ScriptedPrompter(bool reply = true) : m_reply(reply) {}

    bool confirm(const QString &text, const QString &title) override
    {
        questions << title + QStringLiteral(": ") + text;
        return m_reply;
    }
    void notify(const QString &text) override { notices << text; }

    QStringList questions;
    QStringList notices;

private:
    bool m_reply;
};

} // namespace zym::test
