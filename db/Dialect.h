#pragma once

#include "Error.h"

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class QSqlError;
class QSqlQuery;
class QSqlRecord;

namespace zym {

class OdbcParameters;
struct TableSpec;

// A statement text as the server runs it, and, where the tool binds them
// itself, its parameters.
struct ServerText
{
    QString text;
    std::shared_ptr<OdbcParameters> parameters;
};

// The statements of a preview: one transaction opened and rolled back by
// text, and a savepoint per unit. No driver transaction is used, so the
// driver never ends the preview's transaction behind its back.
struct PreviewStatements
{
    QString begin;
    QString end;
    QString unitBegin;
    QStringList unitKept;
    QStringList unitTakenBack;
};

// Everything the two kinds of database the tool reaches read differently,
// SQL Server and the embedded SQLite files: how a text is made ready, how a
// value is bound and read, how a database is made current, the statements of
// a preview, temporary tables, backups and what a refused commit leaves.
// Statement texts are written in T-SQL with named parameters; a dialect
// makes them what its server runs. One lives while its connection is open.
class Dialect
{
public:
    enum class Kind { SqlServer, Sqlite };

    // How long a statement waits for a record another user holds locked
    // before it fails with Error::Cause::Locked.
    static constexpr int lockTimeoutMs = 5000;

    virtual ~Dialect() = default;

    virtual Kind kind() const = 0;

    // Why the server refused a statement, as far as it passes.
    virtual Error::Cause causeOf(const QSqlError &error) const = 0;

    // Makes `database` the current database of every later statement; a
    // name the server does not know raises and changes nothing. Statements
    // prepared before are no longer valid.
    virtual void use(const QString &database) = 0;

    // `sql` (comments removed) as the server runs it.
    virtual ServerText serverText(const QString &sql) = 0;

    // A value as it is bound for this server.
    virtual QVariant bindable(const QVariant &value) const { return value; }
    // The type of a result column of `query`.
    virtual QMetaType columnType(const QSqlQuery &query, const QSqlRecord &record,
                                 int column) const;

    virtual const PreviewStatements &previewStatements() const = 0;

    // The statement that makes `table` as a temporary table (#NAME in texts)
    // unless the connection has it; its text columns compare as the
    // database's own do.
    virtual QString createTemporaryTable(const TableSpec &table) const = 0;

    // Backs the current database up into a new file named by `at`; returns
    // the file as the operator knows it.
    virtual QString backUp(const QDateTime &at) = 0;

    // After a commit the server refused: whether the refusal itself rolled
    // the transaction back, so that no rollback is due.
    virtual bool refusedCommitEndedTheTransaction() const { return false; }
    // After the server refused a rollback with `refusal`: whether it holds
    // no transaction any more because it rolled it back itself (a deadlock,
    // a trigger's rollback); the driver is then left as a rollback leaves it.
    virtual bool rollbackFoundNoTransaction(const Error &) const { return false; }
};

} // namespace zym
