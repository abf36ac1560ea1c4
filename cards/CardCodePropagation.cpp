#include "CardCodePropagation.h"

#include "db/Session.h"

#include <QStringList>

namespace zym {

namespace {

constexpr qsizetype cardRowSteps = 3;

CardCodePropagation::Step rename(const char *table, const char *column, const char *sql)
{
    return {QLatin1String(table), QLatin1String(column), {}, QLatin1String(sql), &Session::ADOQuery4};
}

// The probe of one table: a row that `scope` would rename carrying :pKod.
QString takenProbe(const CardCodePropagation::Step &step)
{
    QString probe = QStringLiteral("EXISTS(SELECT 1 FROM %1 WHERE %2=:pKod").arg(step.table, step.column);
    if (!step.moduleColumn.isEmpty())
        probe += QStringLiteral(" AND (%1 IS NULL OR %1<>8)").arg(step.moduleColumn);
    return probe + u')';
}

// One statement that answers for every table of the scope in a single trip.
QString takenQuery(qsizetype count)
{
    QStringList probes;
    for (qsizetype i = 0; i < count; ++i)
        probes << takenProbe(CardCodePropagation::steps().at(i));
    return QStringLiteral("SELECT CASE WHEN %1 THEN 1 ELSE 0 END AS TAKEN").arg(probes.join(QStringLiteral(" OR ")));
}

} // namespace

const QList<CardCodePropagation::Step> &CardCodePropagation::steps()
{
    static const QList<Step> list{
        {QStringLiteral("CARKART"), QStringLiteral("CARKOD"), {},
         QStringLiteral("UPDATE CARKART SET CARKOD=:pKod WHERE CARKOD=:pCarKod;"), &Session::ADOQuery2},
        {QStringLiteral("KIMLIKLER"), QStringLiteral("KIMKOD"), QStringLiteral("KIMMODUL"),
         QStringLiteral("UPDATE KIMLIKLER SET KIMKOD=:pKod WHERE KIMKOD=:pCarKod AND (KIMMODUL IS NULL OR KIMMODUL<>8);"),
         &Session::ADOQuery3},
        {QStringLiteral("ADRESLER"), QStringLiteral("ADRKOD1"), QStringLiteral("ADRMODUL"),
         QStringLiteral("UPDATE ADRESLER SET ADRKOD1=:pKod WHERE ADRKOD1=:pCarKod AND (ADRMODUL IS NULL OR ADRMODUL<>8);"),
         &Session::ADOQuery4},
        rename("CARFIS", "CARFISCARKOD", "UPDATE CARFIS SET CARFISCARKOD=:pKod WHERE CARFISCARKOD=:pCarKod;"),
        rename("CARHAR", "CARHARCARKOD", "UPDATE CARHAR SET CARHARCARKOD=:pKod WHERE CARHARCARKOD=:pCarKod;"),
        rename("CARMIZDEGER", "CARKOD", "UPDATE CARMIZDEGER SET CARKOD=:pKod WHERE CARKOD=:pCarKod;"),
        rename("BANKAHAR", "BANHARKARKOD", "UPDATE BANKAHAR SET BANHARKARKOD=:pKod WHERE BANHARKARKOD=:pCarKod;"),
        rename("CSNFIS", "CSNFISKARTKOD", "UPDATE CSNFIS SET CSNFISKARTKOD=:pKod WHERE CSNFISKARTKOD=:pCarKod;"),
        rename("CSNHAR", "CSNHARKARTKOD", "UPDATE CSNHAR SET CSNHARKARTKOD=:pKod WHERE CSNHARKARTKOD=:pCarKod;"),
        rename("FATFIS", "FATFISCARKOD", "UPDATE FATFIS SET FATFISCARKOD=:pKod WHERE FATFISCARKOD=:pCarKod;"),
        rename("FATHAR", "FATHARCARKOD", "UPDATE FATHAR SET FATHARCARKOD=:pKod WHERE FATHARCARKOD=:pCarKod;"),
        rename("IRSFIS", "IRSFISCARKOD", "UPDATE IRSFIS SET IRSFISCARKOD=:pKod WHERE IRSFISCARKOD=:pCarKod;"),
        rename("IRSHAR", "IRSHARCARKOD", "UPDATE IRSHAR SET IRSHARCARKOD=:pKod WHERE IRSHARCARKOD=:pCarKod;"),
        rename("KASAHAR", "KASHARCARKOD", "UPDATE KASAHAR SET KASHARCARKOD=:pKod WHERE KASHARCARKOD=:pCarKod;"),
        rename("SATFIS", "SATFISKARTKOD", "UPDATE SATFIS SET SATFISKARTKOD=:pKod WHERE SATFISKARTKOD=:pCarKod;"),
        rename("SATHAR", "SATHARKARTKOD", "UPDATE SATHAR SET SATHARKARTKOD=:pKod WHERE SATHARKARTKOD=:pCarKod;"),
        rename("SIPFIS", "SIPFISCARKOD", "UPDATE SIPFIS SET SIPFISCARKOD=:pKod WHERE SIPFISCARKOD=:pCarKod;"),
        rename("SIPHAR", "SIPHARCARKOD", "UPDATE SIPHAR SET SIPHARCARKOD=:pKod WHERE SIPHARCARKOD=:pCarKod;"),
        rename("STKFIS", "STKFISCARKOD", "UPDATE STKFIS SET STKFISCARKOD=:pKod WHERE STKFISCARKOD=:pCarKod;"),
        rename("STKHAR", "STKHARCARKOD", "UPDATE STKHAR SET STKHARCARKOD=:pKod WHERE STKHARCARKOD=:pCarKod;"),
    };
    return list;
}

qsizetype CardCodePropagation::stepCount(Scope scope)
{
    return scope == Scope::CardRows ? cardRowSteps : steps().size();
}

void CardCodePropagation::run(Scope scope, const QString &newCode, const QString &oldCode)
{
    for (qsizetype i = 0; i < stepCount(scope); ++i) {
        const Step &step = steps().at(i);
        Statement &statement = m_session.*step.statement;
        statement.setText(step.sql);
        statement.bindText(QStringLiteral("pKod"), newCode);
        statement.bindText(QStringLiteral("pCarKod"), oldCode);
        statement.execute();
    }
}

bool CardCodePropagation::codeTaken(Scope scope, const QString &newCode)
{
    static const QString cardRowsQuery = takenQuery(cardRowSteps);
    static const QString allTablesQuery = takenQuery(steps().size());
    Statement &probe = m_session.ADOQuery6;
    probe.setText(scope == Scope::CardRows ? cardRowsQuery : allTablesQuery);
    probe.bindText(QStringLiteral("pKod"), newCode);
    probe.open();
    const bool taken = probe.readInteger(QStringLiteral("TAKEN")) != 0;
    probe.close();
    return taken;
}

} // namespace zym
