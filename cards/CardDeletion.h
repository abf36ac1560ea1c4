#pragma once

#include "ops/Operation.h"

#include <QString>

namespace zym {

// The deletion of the card selected in the card list.
struct CardDeletionRequest
{
    QString listQuery; // the query editor's text, to load the list again
};

// Deletes the card on the card list's current row with its address and
// identity rows (not the payroll rows of its code) in one unit of work, then
// loads the list again on its first row. The card's accounts and movements
// stay. With no card selected nothing is asked or deleted.
class CardDeletion
{
public:
    static const QString question; // "Kayıt Silinecek"
    static const QString noSelection; // "Seçili kart yok."

    explicit CardDeletion(const OperationContext &context) : m_context(context) { }

    void run(const CardDeletionRequest &request);

private:
    OperationContext m_context;
};

} // namespace zym
