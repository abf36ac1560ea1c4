#pragma once

#include "InjectedFailure.h"
#include "TestServer.h"

#include "cards/CardCodePropagation.h"
#include "db/Tables.h"

#include <QMap>
#include <QStringList>

namespace zym::test {

// The twenty tables that carry a card code, the card rows first, in the
// order a re-coding renames them; read off the table descriptions, not the
// renames under test.
inline const QList<CodeColumn> &cardCodeCarriers()
{
    static const QList<CodeColumn> carriers = [] {
        QList<CodeColumn> list{ { QStringLiteral("CARKART"), QStringLiteral("CARKOD") } };
        return list + Tables::sharedTables() + Tables::movementTables();
    }();
    return carriers;
}

struct CardRow
{
    QString code;
    QString title;
    int type;
    QString specialCode = QStringLiteral("");
};

// Seeds cards into a company file, each with one identity row, one address
// row and one row in every movement table, plus rows of a card "DIGER" the
// operations must never touch.
inline void seedCards(DatabaseSeeder &db, const QList<CardRow> &cards)
{
    QList<QVariantList> cardRows;
    for (const CardRow &card : cards) {
        cardRows << QVariantList{ card.code,        card.title,  card.type,
                                  card.specialCode, QString(""), QString("") };
        db.insert(QStringLiteral("KIMLIKLER"),
                  { QStringLiteral("KIMKOD"), QStringLiteral("KIMMERNISNO"),
                    QStringLiteral("KIMMODUL") },
                  { { card.code, QStringLiteral("TC-") + card.code, 1 } });
    }
    db.insert(QStringLiteral("CARKART"),
              { QStringLiteral("CARKOD"), QStringLiteral("CARUNVAN"), QStringLiteral("CARMUHTIPI"),
                QStringLiteral("CAROZKOD3"), QStringLiteral("CARMUHKODU"),
                QStringLiteral("CAREKCHAR1") },
              cardRows);
    const auto &steps = cardCodeCarriers();
    for (qsizetype i = 1; i < steps.size(); ++i) { // the card rows are above
        QList<QVariantList> rows{ { QStringLiteral("DIGER") } };
        for (const CardRow &card : cards) {
            if (steps.at(i).table != QStringLiteral("KIMLIKLER"))
                rows << QVariantList{ card.code };
        }
        db.insert(steps.at(i).table, { steps.at(i).column }, rows);
    }
}

// Gives `code` an identity row and an address row of the payroll module,
// which share the card's code and must keep it.
inline void seedPayrollRows(DatabaseSeeder &db, const QString &code)
{
    db.insert(QStringLiteral("KIMLIKLER"), { QStringLiteral("KIMKOD"), QStringLiteral("KIMMODUL") },
              { { code, Tables::payrollModule } });
    db.insert(QStringLiteral("ADRESLER"), { QStringLiteral("ADRKOD1"), QStringLiteral("ADRMODUL") },
              { { code, Tables::payrollModule } });
}

// How many identity and address rows of the payroll module carry `code`.
inline QList<int> payrollRowsOf(DatabaseSeeder &db, const QString &code)
{
    const auto count = [&](const QString &table, const QString &codeColumn,
                           const QString &moduleColumn) {
        return db
                .scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2='%3' AND %4=%5")
                                .arg(table, codeColumn, code, moduleColumn)
                                .arg(Tables::payrollModule))
                .toInt();
    };
    return {
        count(QStringLiteral("KIMLIKLER"), QStringLiteral("KIMKOD"), QStringLiteral("KIMMODUL")),
        count(QStringLiteral("ADRESLER"), QStringLiteral("ADRKOD1"), QStringLiteral("ADRMODUL"))
    };
}

// Makes the server refuse, with InjectedFailure's text, the rename of the
// step's rows to `code` (an SQLite trigger).
inline void failWhenRenamedTo(DatabaseSeeder &db, const CodeColumn &step, const QString &code)
{
    db.exec(QStringLiteral("CREATE TRIGGER kilit BEFORE UPDATE OF %2 ON %1 WHEN NEW.%2='%3' "
                           "BEGIN SELECT RAISE(ABORT,'%4'); END")
                    .arg(step.table, step.column, code, InjectedFailure::message));
}

// The codes a table's code column holds, sorted.
inline QStringList codesIn(DatabaseSeeder &db, const QString &table, const QString &column)
{
    QStringList codes;
    for (const auto &row :
         db.select(QStringLiteral("SELECT %2 FROM %1 ORDER BY %2").arg(table, column)))
        codes << row.first().toString();
    return codes;
}

// Whether every table of the first `steps` renames carries `code` and,
// unless the two are the same, none `old`.
inline bool renamedEverywhere(DatabaseSeeder &db, const QString &old, const QString &code,
                              qsizetype steps)
{
    for (qsizetype i = 0; i < steps; ++i) {
        const auto &step = cardCodeCarriers().at(i);
        const QStringList codes = codesIn(db, step.table, step.column);
        if ((old != code && codes.contains(old)) || !codes.contains(code))
            return false;
    }
    return true;
}

// Card code -> (CARMUHKODU, CAREKCHAR1) as the card rows hold them.
inline QMap<QString, QStringList> cardAccounts(DatabaseSeeder &db)
{
    QMap<QString, QStringList> accounts;
    for (const auto &row :
         db.select(QStringLiteral("SELECT CARKOD, CARMUHKODU, CAREKCHAR1 FROM CARKART")))
        accounts.insert(row.at(0).toString(), { row.at(1).toString(), row.at(2).toString() });
    return accounts;
}

// Account code -> name, for every account row.
inline QMap<QString, QString> chart(DatabaseSeeder &db)
{
    QMap<QString, QString> accounts;
    for (const auto &row : db.select(QStringLiteral("SELECT MUHKOD, MUHADI1 FROM MUHHESAP")))
        accounts.insert(row.at(0).toString(), row.at(1).toString());
    return accounts;
}

} // namespace zym::test
