#include "Statement.h"

#include "Connection.h"
#include "Error.h"
#include "SqlText.h"

namespace zym {

Statement::Statement(Connection &connection, const QString &name) : m_connection(connection)
{
    setObjectName(name);
}

void Statement::setText(const QString &sql)
{
    close();
    m_text = sql;
    m_parameters = SqlText::parameterNames(sql);
    for (auto it = m_values.begin(); it != m_values.end();) {
        if (m_parameters.contains(it.key()))
            ++it;
        else
            it = m_values.erase(it);
    }
}

void Statement::bindText(const QString &parameter, const QString &value)
{
    bind(parameter, value);
}

void Statement::bindInteger(const QString &parameter, qint32 value)
{
    bind(parameter, value);
}

void Statement::bindDateTime(const QString &parameter, const QDateTime &value)
{
    bind(parameter, value);
}

void Statement::bind(const QString &parameter, const QVariant &value)
{
    if (!m_parameters.contains(parameter))
        throw Error(QStringLiteral("%1: '%2' parametresi bulunamadı").arg(objectName(), parameter));
    m_values.insert(parameter, value);
}

QVariantMap Statement::boundValues() const
{
    for (const QString &parameter : m_parameters) {
        if (!m_values.contains(parameter))
            throw Error(QStringLiteral("%1: '%2' parametresine değer verilmedi")
                                .arg(objectName(), parameter));
    }
    return m_values;
}

void Statement::open()
{
    close();
    m_result = m_connection.fetch(m_text, boundValues());
    m_open = true;
    m_row = 0;
    emit reset();
    signalCurrentRow();
}

void Statement::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_result = ResultSet();
    m_row = 0;
    emit reset();
}

Statement::Snapshot Statement::snapshot() const
{
    Snapshot held;
    held.text = m_text;
    held.parameters = m_parameters;
    held.values = m_values;
    held.result = m_result;
    held.open = m_open;
    held.row = m_row;
    return held;
}

void Statement::restore(const Snapshot &snapshot)
{
    m_text = snapshot.text;
    m_parameters = snapshot.parameters;
    m_values = snapshot.values;
    m_result = snapshot.result;
    m_open = snapshot.open;
    m_row = snapshot.row;
    emit reset();
    signalCurrentRow();
}

void Statement::next()
{
    if (!atEnd())
        setCurrentRow(m_row + 1);
}

void Statement::setCurrentRow(int row)
{
    const int bounded = qBound(0, row, rowCount());
    if (bounded == m_row)
        return;
    m_row = bounded;
    signalCurrentRow();
}

void Statement::signalCurrentRow()
{
    if (!controlsHeld())
        emit currentRowChanged(m_row);
}

Statement::ControlsHold::ControlsHold(Statement &statement) : m_statement(statement)
{
    ++m_statement.m_holds;
}

Statement::ControlsHold::~ControlsHold()
{
    --m_statement.m_holds;
    m_statement.signalCurrentRow();
}

const QVariant &Statement::value(const QString &column) const
{
    if (atEnd())
        throw Error(QStringLiteral("%1: kayıt yok").arg(objectName()));
    const qsizetype index = m_result.columnIndex(column);
    if (index < 0)
        throw Error(QStringLiteral("%1: '%2' alanı bulunamadı").arg(objectName(), column));
    return m_result.rows.at(m_row).at(index);
}

QString Statement::readText(const QString &column) const
{
    const QVariant &v = value(column);
    return v.isNull() ? QString() : v.toString();
}

const QVariant &Statement::keyValue(const QString &column) const
{
    const QVariant &v = value(column);
    if (v.isNull())
        throw Error(QStringLiteral("Liste satırı %1: %2 boş (NULL); kodu boş bir kayıt işlenemez.")
                            .arg(m_row + 1)
                            .arg(column));
    return v;
}

} // namespace zym
