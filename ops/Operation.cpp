#include "Operation.h"

#include "Prompter.h"

namespace zym {

const QString OperatorTexts::confirmation = QStringLiteral("İşlem Başlayacak Emin misiniz?");
const QString OperatorTexts::warningTitle = QStringLiteral("Uyarı");
const QString OperatorTexts::codeConflict =
        QStringLiteral("Kod Çakışması mevcut! \rFarklı bir KOD seçin.");

bool confirmStart(Prompter &prompter)
{
    return prompter.confirm(OperatorTexts::confirmation, OperatorTexts::warningTitle);
}

} // namespace zym
