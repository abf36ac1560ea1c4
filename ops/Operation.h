#pragma once

#include "RunRecorder.h"

#include <QString>

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
// groups units into transactions, and the report of the run.
struct OperationContext
{
    Session &session;
    Prompter &prompter;
    Progress &progress;
    CommitGrouping grouping = {};
    RunRecorder &recorder = RunRecorder::none();
};

// Texts that several operations show the operator.
namespace OperatorTexts {

extern const QString confirmation;  // "İşlem Başlayacak Emin misiniz?"
extern const QString warningTitle;  // "Uyarı"
extern const QString codeConflict;  // "Kod Çakışması mevcut! " CR "Farklı bir KOD seçin."

} // namespace OperatorTexts

// The confirmation prompt an operation shows before it changes anything;
// true only for Yes.
bool confirmStart(Prompter &prompter);

} // namespace zym
