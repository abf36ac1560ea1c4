#pragma once

#include "ResultSet.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace zym {

class Connection;

// One of the lists the operator sees (the card list, the voucher list, the
// journal lines, the payroll registry): its text is replaced as a whole, its
// parameters are bound by name, and it is opened.
//
// Opening holds the whole result in memory with a cursor on it: the current
// row, an end test and a step forward. Values read from it are those of the
// moment it was opened. A statement never opened, or closed, is at its end.
//
// Parameters are the ":name" placeholders of the text. Replacing the text
// keeps the value of every parameter the new text names too; the others start
// unbound, and executing or opening with one unbound raises an error.
class Statement : public QObject
{
    Q_OBJECT

public:
    Statement(Connection &connection, const QString &name);

    void setText(const QString &sql);
    QString text() const { return m_text; }
    QStringList parameterNames() const { return m_parameters; }
    bool isBound(const QString &parameter) const { return m_values.contains(parameter); }

    // A null text binds as empty text, never as NULL.
    void bindText(const QString &parameter, const QString &value);
    void bindInteger(const QString &parameter, qint32 value);
    void bindDateTime(const QString &parameter, const QDateTime &value);

    void open();
    void close();
    bool isOpen() const { return m_open; }

    bool atEnd() const { return !m_open || m_row >= m_result.rows.size(); }
    void next();
    int rowCount() const { return m_open ? int(m_result.rows.size()) : 0; }
    int currentRow() const { return m_row; }
    // Moves the cursor to `row` (0 to rowCount(); rowCount() is past the end).
    void setCurrentRow(int row);

    // A column of the current row, as it was when the list was opened.
    const QVariant &value(const QString &column) const;
    // The same as text; an empty value reads as empty text.
    QString readText(const QString &column) const;
    // The key `column` holds on the current row, by which statements reach
    // that row's records. A NULL key reaches nothing (it is no '' code): it
    // raises, naming the list row.
    const QVariant &keyValue(const QString &column) const;
    QString readKey(const QString &column) const { return keyValue(column).toString(); }

    const ResultSet &result() const { return m_result; }

    // Everything the statement holds: text, values, rows and cursor.
    class Snapshot
    {
        friend class Statement;
        QString text;
        QStringList parameters;
        QVariantMap values;
        ResultSet result;
        bool open = false;
        int row = 0;
    };
    Snapshot snapshot() const;
    // Puts back what `snapshot` held; the bound controls see new rows.
    void restore(const Snapshot &snapshot);

    // Keeps the controls bound to the statement (its grid) where they are
    // while a long walk moves the cursor, so they do not repaint for every
    // row: while any hold lasts, cursor moves are not signalled; when the
    // last hold ends, however it ends, the controls are told where the
    // cursor is. New or gone rows are always signalled.
    class ControlsHold
    {
    public:
        explicit ControlsHold(Statement &statement);
        ~ControlsHold();
        ControlsHold(const ControlsHold &) = delete;
        ControlsHold &operator=(const ControlsHold &) = delete;

    private:
        Statement &m_statement;
    };

    bool controlsHeld() const { return m_holds > 0; }

signals:
    // The statement was opened or closed: its rows are new or gone.
    void reset();
    // For the bound controls; held by a ControlsHold.
    void currentRowChanged(int row);

private:
    void bind(const QString &parameter, const QVariant &value);
    QVariantMap boundValues() const;
    void signalCurrentRow();

    Connection &m_connection;
    QString m_text;
    QStringList m_parameters;
    QVariantMap m_values;
    ResultSet m_result;
    bool m_open = false;
    int m_row = 0;
    int m_holds = 0;
};

} // namespace zym
