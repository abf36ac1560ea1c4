#pragma once

#include "RunRecorder.h"

#include <QString>

#include <functional>

namespace zym {

struct Session;
class Prompter;
class Progress;

// How a walk groups its units into transactions: at most `maxUnits` units,
// and no longer than `maxAgeMs`, before a commit. A group of one commits
// each unit on its own.
struct CommitGrouping
{
    int maxUnits = 2000;
    int maxAgeMs = 500;
};

// What an operation works with: the session's connection and lists, the
// operator's prompts, the progress display of a long run, how its walk
// groups units into transactions, the report of the run, and what runs
// before its first change.
struct OperationContext
{
    Session &session;
    Prompter &prompter;
    Progress &progress;
    CommitGrouping grouping = {};
    RunRecorder &recorder = RunRecorder::none();
    // Runs once the operation has asked and checked all it needs and is about
    // to make its first change, with no transaction open (a walk over no
    // rows makes none); it may end the run with RunDeclined.
    std::function<void()> beforeChanges = {};
};

// Raised where the operator chose to end a run before anything changed; the
// window ends the handler without an error.
struct RunDeclined
{
};

// Texts that several operations show the operator.
namespace OperatorTexts {

extern const QString confirmation; // "İşlem Başlayacak Emin misiniz?"
extern const QString warningTitle; // "Uyarı"
extern const QString codeConflict; // "Kod Çakışması mevcut! " CR "Farklı bir KOD seçin."

} // namespace OperatorTexts

// The confirmation prompt an operation shows before it changes anything;
// true only for Yes.
bool confirmStart(Prompter &prompter);

} // namespace zym
