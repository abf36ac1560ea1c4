#pragma once

#include "ops/Prompter.h"

#include <QList>
#include <QStringList>

namespace zym::test {

// Records what a walk reported, and stops the run after `cancelAfter` steps.
class ScriptedProgress : public Progress
{
public:
    int cancelAfter = -1;
    int total = -1;
    QList<int> steps;
    int finished = 0;
    QStringList notes;

    void start(int rows) override { total = rows; }
    bool step(int done) override
    {
        steps << done;
        return done != cancelAfter;
    }
    void finish() override { ++finished; }
    void note(const QString &text) override { notes << text; }
};

} // namespace zym::test
