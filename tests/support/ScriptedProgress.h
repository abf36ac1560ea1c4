#pragma once

#include "ops/Prompter.h"

#include <QList>

namespace zym::test {

// Records what a walk reported, and stops the run after `cancelAfter` steps.
class ScriptedProgress : public Progress
{
public:
    int cancelAfter = -1;
    int total = -1;
    QList<int> steps;
    int finished = 0;

    void start(int rows) override { total = rows; }
    bool step(int done) override
    {
        steps << done;
        return done != cancelAfter;
    }
    void finish() override { ++finished; }
};

} // namespace zym::test
