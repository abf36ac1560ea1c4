#pragma once

#include <QList>
#include <QRect>
#include <QString>

namespace zym::test {

// An operation of the window as the shared window tests see it: the button
// that runs it, the button's caption and place, the listing button the
// operator presses before it (none for an operation that lists for itself),
// and the edits it reads as whole numbers and as code masks.
struct WindowOperation
{
    const char *button;
    QString caption;
    QRect place;
    const char *listing = nullptr;
    QList<const char *> numberFields;
    QList<const char *> maskFields;
};

// Every operation of the window. A new operation is one more row here: the
// controls, ask-to-connect, failed-unit and hostile-input tests take it up.
inline const QList<WindowOperation> &windowOperations()
{
    static const QList<WindowOperation> operations{
        { .button = "BitBtn3",
          .caption = QStringLiteral("Başlat"),
          .place = { 62, 340, 132, 65 },
          .listing = "BitBtn2",
          .numberFields = { "Edit5", "Edit7", "Edit8" },
          .maskFields = { "Edit6" } },
        { .button = "BitBtn4",
          .caption = QStringLiteral("Seçili Kartı Sil"),
          .place = { 58, 309, 132, 25 },
          .listing = "BitBtn2" },
        { .button = "BitBtn5",
          .caption = QStringLiteral("Kontrollu Cari Kod Değiştir"),
          .place = { 58, 521, 132, 66 },
          .listing = "BitBtn2",
          .numberFields = { "Edit5" },
          .maskFields = { "Edit6" } },
        { .button = "BitBtn6",
          .caption = QStringLiteral("MuhKod olmayan"),
          .place = { 58, 593, 132, 25 },
          .listing = "BitBtn2",
          .numberFields = { "Edit7", "Edit8" },
          .maskFields = { "Edit9" } },
        { .button = "BitBtn7",
          .caption = QStringLiteral("STOK MUH OLUŞTUR"),
          .place = { 58, 624, 136, 25 } },
        { .button = "Button2",
          .caption = QStringLiteral("Başlat"),
          .place = { 16, 90, 75, 25 },
          .listing = "Button1" },
        { .button = "Button4",
          .caption = QStringLiteral("Başlat"),
          .place = { 16, 117, 75, 25 },
          .listing = "Button3",
          .numberFields = { "Edit14" } },
        { .button = "Button6",
          .caption = QStringLiteral("Başlat"),
          .place = { 24, 100, 75, 25 },
          .listing = "Button5",
          .numberFields = { "Edit5" },
          .maskFields = { "Edit6" } },
        { .button = "Button7", .caption = QStringLiteral("Başlat"), .place = { 751, 12, 66, 23 } },
    };
    return operations;
}

// The listing button pressed before the operation `button` runs; none for
// an operation that needs none, or a button that runs no operation.
inline const char *listingBefore(const QString &button)
{
    for (const WindowOperation &operation : windowOperations()) {
        if (button == QLatin1String(operation.button))
            return operation.listing;
    }
    return nullptr;
}

} // namespace zym::test
