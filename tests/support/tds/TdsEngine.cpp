#include "TdsEngine.h"

#include "TdsFaults.h"
#include "TdsRequest.h"

#include "db/EmbeddedFolder.h"
#include "db/SqlText.h"
#include "db/SqliteText.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <sqlite3.h>

namespace zym::test::tds {

namespace {

constexpr int lockWaitMs = 5000;

// The statements of a batch: its text cut at each ";" outside literals,
// comments and bracketed names, blanks trimmed, empty ones left out. A
// trigger a test lays out keeps the ";" of its body.
QStringList statementsOf(const QString &text)
{
    static const QRegularExpression trigger(QStringLiteral(R"(^\s*CREATE\s+TRIGGER\b)"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (trigger.match(text).hasMatch())
        return { text.trimmed() };
    QStringList statements;
    QString current;
    SqlText::forEachPart(
            SqlText::withoutComments(text),
            [&](const QString &code) {
                qsizetype start = 0;
                for (qsizetype i = 0; i < code.size(); ++i) {
                    if (code.at(i) == u'[') {
                        i = SqlText::closingBracket(code, i);
                    } else if (code.at(i) == u';') {
                        current += code.mid(start, i - start);
                        statements << current.trimmed();
                        current.clear();
                        start = i + 1;
                    }
                }
                current += code.mid(start);
            },
            [&](const QString &verbatim) { current += verbatim; });
    statements << current.trimmed();
    statements.removeAll(QString());
    return statements;
}

QRegularExpression statement(const char *pattern)
{
    return QRegularExpression(QString::fromLatin1(pattern),
                              QRegularExpression::CaseInsensitiveOption
                                      | QRegularExpression::DotMatchesEverythingOption);
}

// A T-SQL name: bracketed with "]]" for "]", or a plain word.
QString unbracketed(const QString &name)
{
    if (name.startsWith(u'[') && name.endsWith(u']'))
        return name.mid(1, name.size() - 2).replace(QStringLiteral("]]"), QStringLiteral("]"));
    return name;
}

Column describe(sqlite3_stmt *stmt, int index, const QList<QVariantList> &rows)
{
    Column column;
    column.name = QString::fromUtf8(sqlite3_column_name(stmt, index));
    const QString declared = QString::fromUtf8(sqlite3_column_decltype(stmt, index)).toUpper();
    static const QRegularExpression widths(QStringLiteral(R"(\(\s*(\d+)\s*(?:,\s*(\d+)\s*)?\))"));
    const auto match = widths.match(declared);
    const int width = match.hasMatch() ? match.captured(1).toInt() : 0;
    bool anyText = false, anyReal = false, anyInteger = false, anyLarge = false;
    for (const QVariantList &row : rows) {
        const QVariant &value = row.at(index);
        anyInteger |= value.metaType() == QMetaType::fromType<qlonglong>();
        anyText |= value.metaType() == QMetaType::fromType<QString>();
        anyReal |= value.metaType() == QMetaType::fromType<double>();
        anyLarge |= value.metaType() == QMetaType::fromType<qlonglong>()
                && (value.toLongLong() > std::numeric_limits<qint32>::max()
                    || value.toLongLong() < std::numeric_limits<qint32>::min());
    }
    if (declared.contains(QStringLiteral("CHAR")) || declared.contains(QStringLiteral("TEXT"))) {
        const bool wide = declared.startsWith(u'N');
        column.type = wide ? NVarChar : BigVarChar;
        column.size = width > 0 ? (wide ? 2 * width : width) : 8000;
    } else if (declared.contains(QStringLiteral("INT"))) {
        column.type = IntN;
        column.size = declared.contains(QStringLiteral("BIGINT")) || anyLarge ? 8 : 4;
    } else if (declared.startsWith(QStringLiteral("DATE"))) {
        column.type = DateTimN;
        column.size = 8;
    } else if (declared.startsWith(QStringLiteral("DECIMAL"))
               || declared.startsWith(QStringLiteral("NUMERIC"))) {
        column.type = DecimalN;
        column.size = 9;
        column.precision = qBound(1, width > 0 ? width : 18, 18);
        column.scale = match.hasMatch() ? match.captured(2).toInt() : 0;
    } else if (!declared.isEmpty() && !anyText) {
        column.type = FltN;
        column.size = 8;
    } else if (anyReal) {
        column.type = FltN;
        column.size = 8;
    } else if (anyInteger && !anyText) {
        column.type = IntN;
        column.size = anyLarge ? 8 : 4;
    } else {
        // An expression with no value to judge by is text, as a literal '' is.
        column.type = BigVarChar;
        column.size = 8000;
    }
    return column;
}

QVariant columnValue(sqlite3_stmt *stmt, int index)
{
    switch (sqlite3_column_type(stmt, index)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(stmt, index));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt, index);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, index)),
                          sqlite3_column_bytes(stmt, index));
    case SQLITE_NULL:
        return {};
    }
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, index)),
                             sqlite3_column_bytes(stmt, index));
}

bool bind(sqlite3_stmt *stmt, int index, const QVariant &given)
{
    const QVariant value = SqliteText::bindable(given);
    if (value.isNull())
        return sqlite3_bind_null(stmt, index) == SQLITE_OK;
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        return sqlite3_bind_int64(stmt, index, value.toLongLong()) == SQLITE_OK;
    case QMetaType::Double:
        return sqlite3_bind_double(stmt, index, value.toDouble()) == SQLITE_OK;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob(stmt, index, bytes.constData(), int(bytes.size()),
                                 SQLITE_TRANSIENT)
                == SQLITE_OK;
    }
    }
    const QByteArray text = value.toString().toUtf8();
    return sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT)
            == SQLITE_OK;
}

quint16 commandOf(const QString &statement)
{
    switch (SqlText::changeOf(statement).kind) {
    case SqlText::Change::Kind::Insert:
        return Reply::Insert;
    case SqlText::Change::Kind::Update:
        return Reply::Update;
    case SqlText::Change::Kind::Delete:
        return Reply::Delete;
    case SqlText::Change::Kind::None:
        break;
    }
    return Reply::NoCommand;
}

} // namespace

void Collations::set(const QString &database, int codePage)
{
    QMutexLocker lock(&m_mutex);
    m_codePages.insert(database, codePage);
}

int Collations::codePage(const QString &database) const
{
    QMutexLocker lock(&m_mutex);
    return m_codePages.value(database, Turkish);
}

Engine::Engine(const QString &folder, FaultPlan &faults, const Collations &collations)
    : m_folder(folder), m_faults(faults), m_collations(collations)
{
}

Engine::~Engine()
{
    if (m_db)
        sqlite3_close_v2(m_db);
}

bool Engine::login(const QString &database, Reply &reply)
{
    if (!open(database)) {
        reply.error(4060, 11,
                    QStringLiteral(
                            "Cannot open database \"%1\" requested by the login. The login failed.")
                            .arg(database));
        return false;
    }
    reply.databaseChanged(database, QStringLiteral("master"), codePage());
    return true;
}

bool Engine::open(const QString &database)
{
    const QString file = EmbeddedFolder::databaseFile(m_folder, database);
    if (!QFileInfo::exists(file))
        return false;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK) {
        sqlite3_close_v2(db);
        return false;
    }
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = db;
    m_database = database;
    m_attached.clear();
    sqlite3_busy_timeout(m_db, lockWaitMs);
    exec("PRAGMA synchronous=NORMAL");
    exec("PRAGMA temp_store=MEMORY");
    return true;
}

bool Engine::exec(const char *sql)
{
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

Engine::Outcome Engine::run(const QString &text, const QVariantMap &values, Reply &reply,
                            Reply::DoneToken token, RowSet *cursor)
{
    const QStringList statements = statementsOf(text);
    if (statements.isEmpty())
        reply.done(token, token == Reply::DoneInProc ? Reply::More : 0);
    for (qsizetype i = 0; i < statements.size(); ++i) {
        const bool last = i + 1 == statements.size();
        const quint16 more = !last || token == Reply::DoneInProc ? Reply::More : 0;
        const Outcome outcome = runStatement(statements.at(i), values, reply, more, token, cursor);
        if (outcome != Outcome::Done)
            return outcome;
    }
    return Outcome::Done;
}

Engine::Outcome Engine::runStatement(const QString &statement, const QVariantMap &values,
                                     Reply &reply, quint16 more, Reply::DoneToken token,
                                     RowSet *cursor)
{
    if (const auto fault = m_faults.take(statement)) {
        if (fault->drop)
            return Outcome::Dropped;
        QThread::msleep(fault->delayMs);
        if (fault->error) {
            reply.error(fault->error, fault->severity(), fault->text());
            if (fault->endsTransaction() && m_tranCount > 0) {
                exec("ROLLBACK");
                transactionEnded(reply);
            }
            reply.done(token, more | Reply::Failed);
            return Outcome::Failed;
        }
    }
    if (onStatement)
        onStatement(statement, m_database);
    bool handled = false;
    const bool ran = runControl(statement, reply, more, token, handled);
    if (handled)
        return ran ? Outcome::Done : Outcome::Failed;
    return runSql(asSqlite(statement), values, reply, more, token, cursor) ? Outcome::Done
                                                                           : Outcome::Failed;
}

// The server's backup folder is "Yedek" in the stand-in's folder, the data
// file the database's SQLite file; a backup is a copy of the current
// database's file, made as SQLite makes one online. A collation's code page
// is the one a test gave the current database. A temporary table made when
// it does not exist yet is SQLite's CREATE TABLE IF NOT EXISTS; its columns
// take SQLite's default collation.
QString Engine::asSqlite(const QString &statement) const
{
    static const QRegularExpression codePageProperty =
            tds::statement(R"(^SELECT\s.*COLLATIONPROPERTY\(.*'CodePage'\)\)\s+AS\s+(\w+)$)");
    static const QRegularExpression createTemporary = tds::statement(
            R"(^IF\s+OBJECT_ID\('tempdb\.\.(#\w+)'\)\s+IS\s+NULL\s+CREATE\s+TABLE\s+(#\w+)\s*\()");
    static const QRegularExpression databaseDefault =
            tds::statement(R"(\s+COLLATE\s+DATABASE_DEFAULT\b)");
    static const QRegularExpression tranCount = tds::statement(R"(@@TRANCOUNT)");
    if (tranCount.match(statement).hasMatch())
        return QString(statement).replace(tranCount, QString::number(m_tranCount));
    if (const auto match = createTemporary.match(statement);
        match.hasMatch() && match.captured(1) == match.captured(2)) {
        return QString(statement)
                .replace(match.capturedStart(), match.capturedLength(),
                         QStringLiteral("CREATE TABLE IF NOT EXISTS %1(").arg(match.captured(2)))
                .remove(databaseDefault);
    }
    static const QRegularExpression folders =
            tds::statement(R"(SERVERPROPERTY\('InstanceDefaultBackupPath'\))");
    static const QRegularExpression backup =
            tds::statement(R"(^BACKUP\s+DATABASE\s+@\w+\s+TO\s+DISK\s*=\s*(@\w+)\s+WITH\s)");
    const auto literal = [](QString text) {
        return u'\'' + text.replace(u'\'', QStringLiteral("''")) + u'\'';
    };
    if (const auto match = codePageProperty.match(statement); match.hasMatch())
        return QStringLiteral("SELECT %1 AS %2").arg(codePage()).arg(match.captured(1));
    if (folders.match(statement).hasMatch()) {
        const QString backupFolder = QDir(m_folder).filePath(QStringLiteral("Yedek"));
        QDir().mkpath(backupFolder);
        return QStringLiteral("SELECT %1 AS BACKUPFOLDER, %2 AS DATAFILE")
                .arg(literal(backupFolder),
                     literal(EmbeddedFolder::databaseFile(m_folder, m_database)));
    }
    if (const auto match = backup.match(statement); match.hasMatch())
        return QStringLiteral("VACUUM main INTO %1").arg(match.captured(1));
    return statement;
}

bool Engine::runControl(const QString &statement, Reply &reply, quint16 more,
                        Reply::DoneToken token, bool &handled)
{
    static const QRegularExpression useDatabase =
            tds::statement(R"(^USE\s+(\[(?:[^\]]|\]\])*\]|\S+)$)");
    static const QRegularExpression beginTran =
            tds::statement(R"(^BEGIN\s+TRAN(?:SACTION)?(?:\s+\S+)?$)");
    static const QRegularExpression commitTran =
            tds::statement(R"(^COMMIT(?:\s+(?:TRAN(?:SACTION)?|WORK))?(?:\s+\S+)?$)");
    static const QRegularExpression rollbackTran = tds::statement(
            R"(^ROLLBACK(?:\s+(?:TRAN(?:SACTION)?|WORK))?(?:\s+(\[(?:[^\]]|\]\])*\]|\S+))?$)");
    static const QRegularExpression saveTran =
            tds::statement(R"(^SAVE\s+TRAN(?:SACTION)?\s+(\[(?:[^\]]|\]\])*\]|\S+)$)");
    static const QRegularExpression ifTranCount =
            tds::statement(R"(^IF\s+@@TRANCOUNT\s*>\s*0\s+(.+)$)");
    static const QRegularExpression setNoCount = tds::statement(R"(^SET\s+NOCOUNT\s+(ON|OFF)$)");
    static const QRegularExpression setOption = tds::statement(R"(^SET\s+\w+)");

    handled = true;
    bool ran = true;
    if (const auto match = useDatabase.match(statement); match.hasMatch()) {
        ran = use(unbracketed(match.captured(1)), reply);
    } else if (beginTran.match(statement).hasMatch()) {
        ran = begin(reply);
    } else if (commitTran.match(statement).hasMatch()) {
        ran = commit(reply);
    } else if (const auto match = rollbackTran.match(statement); match.hasMatch()) {
        ran = match.hasCaptured(1) ? rollbackTo(unbracketed(match.captured(1)), reply)
                                   : rollback(reply);
    } else if (const auto match = saveTran.match(statement); match.hasMatch()) {
        ran = save(unbracketed(match.captured(1)), reply);
    } else if (const auto match = ifTranCount.match(statement); match.hasMatch()) {
        if (m_tranCount == 0) {
            reply.done(token, more);
            return true;
        }
        const QString then = match.captured(1).trimmed();
        const bool thenRan = runControl(then, reply, more, token, handled);
        if (handled)
            return thenRan;
        handled = true;
        return runSql(then, {}, reply, more, token, nullptr);
    } else if (const auto match = setNoCount.match(statement); match.hasMatch()) {
        m_noCount = match.captured(1).compare(QStringLiteral("ON"), Qt::CaseInsensitive) == 0;
    } else if (!setOption.match(statement).hasMatch()) {
        handled = false;
        return false;
    }
    reply.done(token, more | (ran ? 0 : Reply::Failed));
    return ran;
}

bool Engine::runSql(const QString &statement, const QVariantMap &values, Reply &reply, quint16 more,
                    Reply::DoneToken token, RowSet *cursor)
{
    const auto adapted = SqliteText::adapt(statement, m_database);
    if (!attach(adapted.databases, reply)) {
        reply.done(token, more | Reply::Failed);
        return false;
    }
    const QByteArray utf8 = adapted.text.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK) {
        failed(reply, statement);
        reply.done(token, more | Reply::Failed);
        return false;
    }
    for (int i = 1; i <= sqlite3_bind_parameter_count(stmt); ++i) {
        const QString name = QString::fromUtf8(sqlite3_bind_parameter_name(stmt, i));
        if (!values.contains(name)) {
            sqlite3_finalize(stmt);
            reply.error(8178, 16,
                        QStringLiteral("The parameterized query expects the parameter '%1', which "
                                       "was not supplied.")
                                .arg(name));
            reply.done(token, more | Reply::Failed);
            return false;
        }
        bind(stmt, i, values.value(name));
    }
    const int columnCount = sqlite3_column_count(stmt);
    QList<QVariantList> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        QVariantList row;
        row.reserve(columnCount);
        for (int i = 0; i < columnCount; ++i)
            row << columnValue(stmt, i);
        rows << row;
    }
    if (rc != SQLITE_DONE) {
        sqlite3_finalize(stmt);
        failed(reply, statement);
        reply.done(token, more | Reply::Failed);
        return false;
    }
    if (columnCount > 0) {
        QList<Column> columns;
        for (int i = 0; i < columnCount; ++i) {
            columns << describe(stmt, i, rows);
            columns.last().codePage = codePage();
        }
        for (QVariantList &row : rows) {
            for (int i = 0; i < columnCount; ++i) {
                if (columns.at(i).type == DateTimN && !row.at(i).isNull())
                    row[i] = SqliteText::storedDateTime(row.at(i).toString());
            }
        }
        reply.columns(columns);
        if (cursor)
            *cursor = { columns, rows };
        else
            for (const QVariantList &row : rows)
                reply.row(columns, row);
        reply.done(token, more | counted(), Reply::Select, cursor ? 0 : rows.size());
    } else {
        const quint16 command = commandOf(statement);
        if (command == Reply::NoCommand)
            reply.done(token, more);
        else
            reply.done(token, more | counted(), command, sqlite3_changes(m_db));
    }
    sqlite3_finalize(stmt);
    return true;
}

bool Engine::attach(const QStringList &databases, Reply &reply)
{
    for (const QString &database : databases) {
        if (m_attached.contains(database))
            continue;
        const QString file = EmbeddedFolder::databaseFile(m_folder, database);
        const QByteArray sql = QStringLiteral("ATTACH DATABASE '%1' AS %2")
                                       .arg(QString(file).replace(u'\'', QStringLiteral("''")),
                                            SqliteText::quotedName(database))
                                       .toUtf8();
        if (!QFileInfo::exists(file) || !exec(sql.constData())) {
            reply.error(208, 16, QStringLiteral("Invalid object name '%1.dbo'.").arg(database));
            return false;
        }
        m_attached.insert(database);
    }
    return true;
}

bool Engine::use(const QString &database, Reply &reply)
{
    if (m_tranCount > 0) {
        reply.error(
                50000, 16,
                QStringLiteral("The stand-in does not change the database inside a transaction."));
        return false;
    }
    const QString from = m_database;
    if (!open(database)) {
        reply.error(911, 16,
                    QStringLiteral("Database '%1' does not exist. Make sure that the name is "
                                   "entered correctly.")
                            .arg(database));
        return false;
    }
    reply.databaseChanged(database, from, codePage());
    return true;
}

bool Engine::begin(Reply &reply)
{
    if (m_tranCount == 0) {
        if (!exec("BEGIN")) {
            failed(reply);
            return false;
        }
        reply.transactionBegun(++m_descriptor);
    }
    ++m_tranCount;
    return true;
}

bool Engine::commit(Reply &reply)
{
    if (m_tranCount == 0) {
        reply.error(
                3902, 16,
                QStringLiteral(
                        "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."));
        return false;
    }
    if (m_tranCount > 1) {
        --m_tranCount;
        return true;
    }
    if (!exec("COMMIT")) {
        failed(reply);
        return false;
    }
    m_tranCount = 0;
    reply.transactionCommitted(m_descriptor);
    return true;
}

bool Engine::rollback(Reply &reply)
{
    if (m_tranCount == 0) {
        reply.error(3903, 16,
                    QStringLiteral("The ROLLBACK TRANSACTION request has no corresponding BEGIN "
                                   "TRANSACTION."));
        return false;
    }
    exec("ROLLBACK");
    transactionEnded(reply);
    return true;
}

bool Engine::save(const QString &name, Reply &reply)
{
    if (m_tranCount == 0) {
        reply.error(628, 16,
                    QStringLiteral(
                            "Cannot issue SAVE TRANSACTION when there is no active transaction."));
        return false;
    }
    const QByteArray sql = (QStringLiteral("SAVEPOINT ") + SqliteText::quotedName(name)).toUtf8();
    if (!exec(sql.constData())) {
        failed(reply);
        return false;
    }
    return true;
}

bool Engine::rollbackTo(const QString &name, Reply &reply)
{
    const QByteArray sql =
            (QStringLiteral("ROLLBACK TO SAVEPOINT ") + SqliteText::quotedName(name)).toUtf8();
    if (m_tranCount == 0 || !exec(sql.constData())) {
        reply.error(
                6401, 16,
                QStringLiteral(
                        "Cannot roll back %1. No transaction or savepoint of that name was found.")
                        .arg(name));
        return false;
    }
    return true;
}

void Engine::transactionRequest(const Request &request, Reply &reply)
{
    bool ran = true;
    switch (request.transactionRequest) {
    case Request::Begin:
        ran = begin(reply);
        break;
    case Request::Commit:
        if (m_tranCount > 0) {
            m_tranCount = 1;
            ran = commit(reply);
        }
        break;
    case Request::Rollback:
        // Like SQL Server, a rollback after the server ended the
        // transaction itself (a deadlock, a trigger) finds none: 3903.
        ran = request.transactionName.isEmpty() ? rollback(reply)
                                                : rollbackTo(request.transactionName, reply);
        break;
    case Request::Save:
        ran = save(request.transactionName, reply);
        break;
    }
    if (ran && request.beginsNext)
        ran = begin(reply);
    reply.done(Reply::Done, ran ? 0 : Reply::Failed);
}

void Engine::failed(Reply &reply, const QString &statement)
{
    const int code = sqlite3_extended_errcode(m_db);
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    static const QRegularExpression missing(QStringLiteral(R"(^no such (table|column): (.*)$)"));
    // The check the fixtures add to every VARCHAR(n) column.
    static const QRegularExpression overlong(
            QStringLiteral(R"((\w+) en çok \d+ karakter olabilir)"));
    if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY)
        reply.error(2627, 14,
                    QStringLiteral(
                            "Violation of UNIQUE KEY constraint. Cannot insert duplicate key (%1).")
                            .arg(message));
    else if (code == SQLITE_CONSTRAINT_FOREIGNKEY)
        reply.error(547, 16,
                    QStringLiteral("The statement conflicted with the FOREIGN KEY constraint (%1).")
                            .arg(message));
    else if (const auto width = overlong.match(message);
             code == SQLITE_CONSTRAINT_CHECK && width.hasMatch())
        reply.error(
                2628, 16,
                QStringLiteral("String or binary data would be truncated in table '%1.dbo.%2', "
                               "column '%3'.")
                        .arg(m_database, SqlText::changeOf(statement).table, width.captured(1)));
    else if (code == SQLITE_CONSTRAINT_CHECK)
        reply.error(547, 16,
                    QStringLiteral("The statement conflicted with the CHECK constraint (%1).")
                            .arg(message));
    else if (code == SQLITE_CONSTRAINT_NOTNULL)
        reply.error(515, 16,
                    QStringLiteral("Cannot insert the value NULL into column (%1).").arg(message));
    else if ((code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED)
        reply.error(1222, 16, QStringLiteral("Lock request time out period exceeded."));
    else if (const auto match = missing.match(message); match.hasMatch())
        reply.error(match.captured(1) == u"table" ? 208 : 207, 16,
                    (match.captured(1) == u"table" ? QStringLiteral("Invalid object name '%1'.")
                                                   : QStringLiteral("Invalid column name '%1'."))
                            .arg(match.captured(2)));
    else if (message.contains(QStringLiteral("syntax error")))
        reply.error(102, 15, QStringLiteral("Incorrect syntax (%1).").arg(message));
    else
        reply.error(50000, 16, message);
    if (m_tranCount > 0 && sqlite3_get_autocommit(m_db))
        transactionEnded(reply);
}

void Engine::transactionEnded(Reply &reply)
{
    m_tranCount = 0;
    reply.transactionRolledBack(m_descriptor);
}

} // namespace zym::test::tds
