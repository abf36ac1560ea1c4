#include "RunReport.h"

#include <QDir>

#include <algorithm>

namespace zym {

namespace {

QString verb(SqlText::Change::Kind kind)
{
    switch (kind) {
    case SqlText::Change::Kind::Insert:
        return QStringLiteral("INSERT");
    case SqlText::Change::Kind::Update:
        return QStringLiteral("UPDATE");
    case SqlText::Change::Kind::Delete:
        return QStringLiteral("DELETE");
    case SqlText::Change::Kind::None:
        break;
    }
    return QString();
}

QString rowNumber(int row)
{
    return row < 0 ? QString() : QString::number(row + 1);
}

QString reasonText(RunEnd::Reason reason)
{
    switch (reason) {
    case RunEnd::Reason::End:
        return QStringLiteral("Tamamlandı");
    case RunEnd::Reason::Cancelled:
        return QStringLiteral("İptal edildi");
    case RunEnd::Reason::Conflict:
        return QStringLiteral("Çakışma");
    case RunEnd::Reason::Error:
        return QStringLiteral("Hata");
    }
    return QString();
}

} // namespace

bool UnitRecord::changedNothing() const
{
    return std::all_of(statements.cbegin(), statements.cend(),
                       [](const StatementEffect &s) { return s.rows == 0; });
}

qsizetype RunReport::unchangedUnits() const
{
    return std::count_if(units.cbegin(), units.cend(),
                         [](const UnitRecord &unit) { return unit.changedNothing(); });
}

QString RunReport::title() const
{
    switch (kind) {
    case Kind::Preview:
        return QStringLiteral("Önizleme: hiçbir değişiklik kaydedilmedi");
    case Kind::Audit:
        return QStringLiteral("Denetim");
    case Kind::Run:
        break;
    }
    return QStringLiteral("Rapor: kaydedilen değişiklikler");
}

QList<TableTotal> RunReport::totals() const
{
    QList<TableTotal> totals;
    for (const UnitRecord &unit : units) {
        for (const StatementEffect &statement : unit.statements) {
            auto total = std::find_if(totals.begin(), totals.end(), [&](const TableTotal &t) {
                return t.table == statement.table;
            });
            if (total == totals.end())
                total = totals.insert(totals.end(), TableTotal{ statement.table });
            switch (statement.kind) {
            case SqlText::Change::Kind::Insert:
                total->inserted += statement.rows;
                break;
            case SqlText::Change::Kind::Update:
                total->updated += statement.rows;
                break;
            case SqlText::Change::Kind::Delete:
                total->deleted += statement.rows;
                break;
            case SqlText::Change::Kind::None:
                break;
            }
        }
    }
    return totals;
}

TextTable RunReport::unitTable() const
{
    if (listing)
        return listing->summary;
    TextTable table{ { QStringLiteral("Satır"), QStringLiteral("Kod"), QStringLiteral("Yeni Kod"),
                       QStringLiteral("Açılan Hesaplar"), QStringLiteral("Değişiklikler") },
                     {} };
    table.countColumns = { 0 };
    table.rows.reserve(units.size());
    for (const UnitRecord &unit : units) {
        if (unit.changedNothing())
            continue;
        QStringList statements;
        for (const StatementEffect &statement : unit.statements)
            statements << QStringLiteral("%1 %2 %3")
                                  .arg(verb(statement.kind), statement.table)
                                  .arg(statement.rows);
        table.rows << QStringList{ rowNumber(unit.row), unit.note.key, unit.note.newCode,
                                   unit.note.accounts.join(QStringLiteral(", ")),
                                   statements.join(QStringLiteral(", ")) };
    }
    return table;
}

TextTable RunReport::totalTable() const
{
    if (listing)
        return listing->rows;
    TextTable table{ { QStringLiteral("Tablo"), QStringLiteral("Eklenen"),
                       QStringLiteral("Güncellenen"), QStringLiteral("Silinen") },
                     {} };
    table.countColumns = { 1, 2, 3 };
    for (const TableTotal &total : totals()) {
        table.rows << QStringList{ total.table, QString::number(total.inserted),
                                   QString::number(total.updated), QString::number(total.deleted) };
    }
    return table;
}

QString RunReport::endText() const
{
    QString text = reasonText(end.reason);
    if (end.row >= 0)
        text += QStringLiteral(", satır ") + rowNumber(end.row);
    // A notice may break its line with a bare CR.
    const QString said = end.text.simplified();
    if (!said.isEmpty())
        text += QStringLiteral(": ") + said;
    if (const qsizetype unchanged = unchangedUnits(); unchanged > 0)
        text += QStringLiteral(" (değişiklik yapmayan %1 satır listelenmedi)").arg(unchanged);
    return text;
}

QString RunHeading::currentUser()
{
    for (const char *name : { "USERNAME", "USER", "LOGNAME" }) {
        const QString user = qEnvironmentVariable(name);
        if (!user.isEmpty())
            return user;
    }
    // Started with none of them set (by a service, say): the home folder's name.
    return QDir::home().dirName();
}

QString RunReport::kindText() const
{
    switch (kind) {
    case Kind::Run:
        return QStringLiteral("Gerçek çalıştırma");
    case Kind::Preview:
        return QStringLiteral("Önizleme");
    case Kind::Audit:
        return QStringLiteral("Denetim (veri değiştirmez)");
    }
    return QString();
}

QList<std::pair<QString, QString>> RunReport::headingFields() const
{
    return {
        { QStringLiteral("İşlem"), heading.operation },
        { QStringLiteral("Sunucu"), heading.server },
        { QStringLiteral("Firma"), heading.database },
        { QStringLiteral("Tarih"), heading.at.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) },
        { QStringLiteral("Kullanıcı"), heading.user },
        { QStringLiteral("Tür"), kindText() },
        { QStringLiteral("Yedek"), heading.backup },
        { QStringLiteral("Sonuç"), endText() },
    };
}

} // namespace zym
