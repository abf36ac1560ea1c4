#pragma once

#include "db/DatabaseSeeder.h"
#include "payroll/RegistryCodePropagation.h"

#include <QStringList>

namespace zym::test {

struct Employee
{
    QString code;
    int leaving = 0; // BORSCLISCIKKOD; 0 while at work
    QVariant workplace = QStringLiteral("MERKEZ");
};

// A module other than payroll, whose rows in the shared tables may carry an
// employee's code.
constexpr int otherModule = 1;

// Seeds registry rows, each employee with one row in every payroll table and
// a payroll row (module 8) in each shared table. The shared tables also hold,
// under each employee's code, a row of another module and one of no module,
// and every table but the registry a row of "DIGER", which no employee has:
// the operations must leave these alone.
inline void seedRegistry(DatabaseSeeder &db, const QList<Employee> &employees)
{
    QList<QVariantList> registry;
    for (const Employee &employee : employees)
        registry << QVariantList{ employee.code, employee.leaving, employee.workplace };
    db.insert(QStringLiteral("BORSICIL"),
              { QStringLiteral("BORSCLKOD"), QStringLiteral("BORSCLISCIKKOD"),
                QStringLiteral("BORSCLISYKODU") },
              registry);
    const auto &steps = RegistryCodePropagation::steps();
    for (qsizetype i = 1; i < steps.size(); ++i) {
        const auto &step = steps.at(i);
        if (step.moduleColumn.isEmpty()) {
            QList<QVariantList> rows{ { QStringLiteral("DIGER") } };
            for (const Employee &employee : employees)
                rows << QVariantList{ employee.code };
            db.insert(step.table, { step.column }, rows);
            continue;
        }
        QList<QVariantList> rows{ { QStringLiteral("DIGER"), Tables::payrollModule } };
        for (const Employee &employee : employees) {
            rows << QVariantList{ employee.code, Tables::payrollModule }
                 << QVariantList{ employee.code, otherModule }
                 << QVariantList{ employee.code, QVariant() };
        }
        db.insert(step.table, { step.column, step.moduleColumn }, rows);
    }
}

inline QStringList firstColumn(DatabaseSeeder &db, const QString &sql)
{
    QStringList values;
    for (const auto &row : db.select(sql))
        values << row.first().toString();
    return values;
}

// The codes of the rows a step renames, sorted.
inline QStringList payrollCodes(DatabaseSeeder &db, const RegistryCodePropagation::Step &step)
{
    const QString payrollRows = step.moduleColumn.isEmpty()
            ? QString()
            : QStringLiteral(" WHERE %1=%2").arg(step.moduleColumn).arg(Tables::payrollModule);
    return firstColumn(db,
                       QStringLiteral("SELECT %2 FROM %1%3 ORDER BY %2")
                               .arg(step.table, step.column, payrollRows));
}

// The codes of the rows of other modules, or of none, in a shared table, sorted.
inline QStringList otherModuleCodes(DatabaseSeeder &db, const RegistryCodePropagation::Step &step)
{
    return firstColumn(db,
                       QStringLiteral("SELECT %2 FROM %1 WHERE %3 IS NULL OR %3<>%4 ORDER BY %2")
                               .arg(step.table, step.column, step.moduleColumn)
                               .arg(Tables::payrollModule));
}

// The registry codes, sorted.
inline QStringList registryCodes(DatabaseSeeder &db)
{
    return firstColumn(db, QStringLiteral("SELECT BORSCLKOD FROM BORSICIL ORDER BY BORSCLKOD"));
}

// Whether every payroll table carries `code` in place of `old`.
inline bool renamedEverywhere(DatabaseSeeder &db, const QString &old, const QString &code)
{
    for (const auto &step : RegistryCodePropagation::steps()) {
        const QStringList codes = payrollCodes(db, step);
        if ((old != code && codes.contains(old)) || !codes.contains(code))
            return false;
    }
    return true;
}

} // namespace zym::test
