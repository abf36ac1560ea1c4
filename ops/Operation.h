#pragma once

#include <QString>

namespace zym {

struct Session;
class Prompter;
class Progress;

// What an operation works with: the session's connection and lists, the
// operator's prompts, and the progress display of a long run.
struct OperationContext
{
    Session &session;
    Prompter &prompter;
    Progress &progress;
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
