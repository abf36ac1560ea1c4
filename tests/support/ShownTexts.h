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

// A list row whose key is NULL (row counted from 1).
inline QString nullKey(int row, const QString &column)
{
    return QStringLiteral("Liste satırı %1: %2 boş (NULL); kodu boş bir kayıt işlenemez.")
            .arg(row)
            .arg(column);
}
// A statement meant for one record that the server matched in several.
inline QString severalRows(const QString &code, int rows)
{
    return QStringLiteral("Kod birden fazla kayda uyuyor: '%1' (%2 satır). Sunucu bu kodları aynı "
                          "sayıyor; "
                          "önce kodları birbirinden ayırın.")
            .arg(code)
            .arg(rows);
}

} // namespace ShownTexts

} // namespace zym::test
