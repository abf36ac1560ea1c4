#pragma once

#include "ops/Walk.h"

#include <QList>
#include <QString>
#include <QVariantMap>

namespace zym {

class Command;
struct Session;

// The card list: the cards loaded from the operator's editable query into
// ADOQuery1, with its ten fixed columns. Operations walk it from its current
// row to past its last row and read the values it had when it was loaded.
namespace CardList {

enum class Kind { Text, Integer };

struct Column
{
    QString name;
    Kind kind;
    int gridWidth; // pixels in the card grid; 0 leaves the grid's default
};

// Default text of the query editor: three lines, as operators know it.
extern const QString defaultQuery;

// The columns every card-list query must return, in grid order.
const QList<Column> &columns();

// Refused before it runs: a query with a second statement after a ";".
extern const QString secondStatement;
// Refused before it runs: a text that is not one query ("%1": the word).
QString notAQuery(const QString &word);

// Replaces ADOQuery1's text with `query` and opens it on its first row.
// A query that lacks one of the columns, or returns one with another kind,
// or holds a second statement, raises an error and leaves the list closed.
// Whatever the text does, nothing of it is kept: it is read inside a
// transaction that is always rolled back.
void load(Session &session, const QString &query);

// The walk over the card list from its current row: each card once, however
// often the list holds it.
Walk walk(const OperationContext &context);

// "Kart bulunamadı: X. Kart listesini CariKart ile yeniden yükleyin."
QString cardNotFound(const QString &listedCode);

// Runs `command`, meant for the one card row `cardCode` names. No such row
// (a list loaded before the card changed) raises cardNotFound; several rows
// the server takes for that code raise as Command::executeOnOneRow does.
void changeCard(const Command &command, const QVariantMap &values, const QString &cardCode);
// The same for a query of the card row; returns its values.
QVariantList readCard(const Command &query, const QVariantMap &values, const QString &cardCode);

} // namespace CardList

} // namespace zym
