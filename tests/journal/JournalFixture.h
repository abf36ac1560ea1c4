#pragma once

#include "db/DatabaseSeeder.h"

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QStringList>

namespace zym::test {

struct JournalLine
{
    int voucher;
    int line;
    int type;
    QVariant account;
    QDate date = QDate(2024, 3, 1);
    QString document = QStringLiteral("ESKI");
};

// Seeds voucher headers and their lines; every line starts with the
// descriptions "eski" and "eski2".
inline void seedJournal(DatabaseSeeder &db, const QList<int> &headers,
                        const QList<JournalLine> &lines)
{
    QList<QVariantList> headerRows;
    for (const int voucher : headers)
        headerRows << QVariantList{ voucher };
    db.insert(QStringLiteral("MUHFIS"), { QStringLiteral("MUHFISREFNO") }, headerRows);
    QList<QVariantList> lineRows;
    for (const JournalLine &line : lines)
        lineRows << QVariantList{ line.voucher,
                                  line.line,
                                  line.type,
                                  line.account,
                                  QStringLiteral("eski"),
                                  QStringLiteral("eski2"),
                                  QDateTime(line.date, QTime(10, 30)),
                                  line.document };
    db.insert(QStringLiteral("MUHHAR"),
              { QStringLiteral("MUHHARREFNO"), QStringLiteral("MUHHARSIRANO"),
                QStringLiteral("MUHHARBATIPI"), QStringLiteral("MUHHARMUHKOD"),
                QStringLiteral("MUHHARACIKLAMA1"), QStringLiteral("MUHHARACIKLAMA2"),
                QStringLiteral("MUHHARTAR"), QStringLiteral("MUHHAREVRAKNO") },
              lineRows);
}

inline void seedAccounts(DatabaseSeeder &db, const QMap<QString, QString> &names)
{
    QList<QVariantList> rows;
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        rows << QVariantList{ it.key(), it.value() };
    db.insert(QStringLiteral("MUHHESAP"), { QStringLiteral("MUHKOD"), QStringLiteral("MUHADI1") },
              rows);
}

// "line: description 1 / description 2" for each line of `voucher`, by line number.
inline QStringList descriptions(DatabaseSeeder &db, int voucher)
{
    QStringList lines;
    for (const auto &row : db.select(
                 QStringLiteral("SELECT MUHHARSIRANO, MUHHARACIKLAMA1, MUHHARACIKLAMA2 FROM MUHHAR "
                                "WHERE MUHHARREFNO=%1 ORDER BY MUHHARSIRANO")
                         .arg(voucher)))
        lines << QStringLiteral("%1: %2 / %3")
                         .arg(row.at(0).toString(), row.at(1).toString(), row.at(2).toString());
    return lines;
}

// Voucher -> the document numbers its lines carry, each once.
inline QMap<int, QStringList> documentNumbers(DatabaseSeeder &db)
{
    QMap<int, QStringList> numbers;
    for (const auto &row :
         db.select(QStringLiteral("SELECT DISTINCT MUHHARREFNO, MUHHAREVRAKNO FROM MUHHAR "
                                  "ORDER BY MUHHARREFNO, MUHHAREVRAKNO")))
        numbers[row.at(0).toInt()] << row.at(1).toString();
    return numbers;
}

} // namespace zym::test
