#pragma once

#include <QString>

namespace zym {

// Everything the tool says to the operator: the operations' questions and
// notices, and the default error display for whatever ends a handler. The
// window answers with message boxes; tests answer and record.
class Prompter
{
public:
    virtual ~Prompter() = default;

    // Yes/No question; true only for Yes.
    virtual bool confirm(const QString &text, const QString &title) = 0;
    // A notice with a single OK button.
    virtual void notify(const QString &text) = 0;
    // Shows the message of an error that ended a handler.
    virtual void showError(const QString &message) = 0;
};

// Progress of a long operation. step() returns false when the operator asked
// to stop; the operation then ends after the unit it is in.
class Progress
{
public:
    virtual ~Progress() = default;

    virtual void start(int total) = 0;
    virtual bool step(int done) = 0;
    virtual void finish() = 0;
    // A line about the run shown from now on, over the bar once it starts:
    // what a step before the units is doing, or what it took.
    virtual void note(const QString &) { }
    // Still at work between two steps, for instance on the statements that
    // end a group of units: the display may catch up, the operator's input
    // waits for the next step.
    virtual void busy() { }
};

// Progress that shows nothing and never stops the operation.
class SilentProgress : public Progress
{
public:
    void start(int) override { }
    bool step(int) override { return true; }
    void finish() override { }
};

} // namespace zym
