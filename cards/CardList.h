#pragma once

#include <QList>
#include <QString>

namespace zym {

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

} // namespace CardList

} // namespace zym
