#pragma once

#include <QString>

namespace zym::test {

// The operator's texts as a test expects to see them, written out here
// rather than taken from the code that shows them.
namespace ShownTexts {

// The start question as RecordingPrompter notes it, with its title.
inline const QString confirmation = QStringLiteral("Uyarı: İşlem Başlayacak Emin misiniz?");
inline const QString codeConflict = QStringLiteral("Kod Çakışması mevcut! \rFarklı bir KOD seçin.");
// The end of a payroll registry renumbering, and of a document renumbering.
inline const QString registryFinished = QStringLiteral("İşlem Tamamlandı.");
inline const QString renumberingFinished = QStringLiteral("İşlem Tamamlandı");

} // namespace ShownTexts

} // namespace zym::test
