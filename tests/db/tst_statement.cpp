#include "CompanyTest.h"
#include "ErrorRaised.h"
#include "SqliteFaults.h"

#include "db/Command.h"
#include "db/Error.h"
#include "db/UnitOfWork.h"
#include "ops/IntegerText.h"

#include <QSignalSpy>
#include <QTest>

using namespace zym;
using zym::test::errorRaisedBy;
using zym::test::TestBackend;
using zym::test::TestServer;

// The lists' and the commands' contracts, and the unit of work, on the
// embedded backend.
class TestStatement : public zym::test::CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        m_server->db().insert(QStringLiteral("CARKART"),
                              { QStringLiteral("CARKOD"), QStringLiteral("CARUNVAN"),
                                QStringLiteral("CARMUHTIPI") },
                              { { QStringLiteral("C1"), QStringLiteral("Bir"), 1 },
                                { QStringLiteral("C2"), QStringLiteral("İki"), QVariant() },
                                { QStringLiteral("C3"), QString(), 3 } });
        m_server->connect(*m_session);
    }

    void cleanup() { stopServer(); }

    void listKeepsParameterValuesAcrossTexts()
    {
        Statement &list = m_session->journalLines;
        list.setText(
                QStringLiteral("SELECT CARKOD FROM CARKART WHERE CARUNVAN=:pAdi OR CARKOD=:pKod"));
        list.bindText(QStringLiteral("pKod"), QStringLiteral("C1"));
        list.bindText(QStringLiteral("pAdi"), QStringLiteral("İki"));
        list.setText(QStringLiteral("SELECT CARKOD FROM CARKART WHERE CARMUHTIPI=:pTip OR "
                                    "CARKOD=:pKod ORDER BY CARKOD"));
        QCOMPARE(list.parameterNames(),
                 (QStringList{ QStringLiteral("pTip"), QStringLiteral("pKod") }));
        QVERIFY(list.isBound(QStringLiteral("pKod")));
        QVERIFY(!list.isBound(QStringLiteral("pTip")));
        QVERIFY(!errorRaisedBy([&] { list.open(); }).isNull());
        list.bindInteger(QStringLiteral("pTip"), 3);
        list.open();
        QCOMPARE(list.rowCount(), 2);
        QCOMPARE(list.readText(QStringLiteral("CARKOD")), QStringLiteral("C1"));
        // pAdi was dropped by the text that does not name it: it starts unbound again.
        list.setText(QStringLiteral("SELECT CARKOD FROM CARKART WHERE CARUNVAN=:pAdi"));
        QVERIFY(!list.isBound(QStringLiteral("pAdi")));
        QVERIFY(!errorRaisedBy([&] {
                     list.bindText(QStringLiteral("pYok"), QStringLiteral("x"));
                 }).isNull());
    }

    // A command binds every parameter at each run: a missing or an extra
    // name is refused before anything reaches the server.
    void commandTakesExactlyItsParameters_data()
    {
        QTest::addColumn<QVariantMap>("values");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("all") << QVariantMap{ { "pAdi", "Yeni" }, { "pKod", "C1" } } << true;
        QTest::newRow("one missing") << QVariantMap{ { "pKod", "C1" } } << false;
        QTest::newRow("one extra")
                << QVariantMap{ { "pAdi", "Yeni" }, { "pKod", "C1" }, { "pTip", 2 } } << false;
        QTest::newRow("none") << QVariantMap() << false;
    }

    void commandTakesExactlyItsParameters()
    {
        QFETCH(QVariantMap, values);
        QFETCH(bool, accepted);
        const Command rename(
                m_session->connection,
                QStringLiteral("UPDATE CARKART SET CARUNVAN=:pAdi WHERE CARKOD=:pKod"));
        rename.execute({ { QStringLiteral("pAdi"), QStringLiteral("Önceki") },
                         { QStringLiteral("pKod"), QStringLiteral("C1") } });
        if (accepted) {
            QCOMPARE(rename.execute(values), 1);
        } else {
            const QString error = errorRaisedBy([&] { rename.execute(values); });
            QVERIFY2(error.contains(QStringLiteral("parametreleri")), qPrintable(error));
        }
        QCOMPARE(title(QStringLiteral("C1")),
                 accepted ? QStringLiteral("Yeni") : QStringLiteral("Önceki"));
    }

    void rowsAffected_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("affected");
        QTest::newRow("one") << "UPDATE CARKART SET CARUNVAN='x' WHERE CARKOD='C1'" << 1;
        QTest::newRow("all") << "UPDATE CARKART SET CARUNVAN='x'" << 3;
        QTest::newRow("none") << "DELETE FROM CARKART WHERE CARKOD='YOK'" << 0;
        QTest::newRow("insert")
                << "INSERT INTO MUHHESAP([MUHKOD],[MUHADI1],[MUHCALFLAG])VALUES(RTRIM('120 1  "
                   "'),'a',1);"
                << 1;
    }

    void rowsAffected()
    {
        QFETCH(QString, sql);
        QFETCH(int, affected);
        QCOMPARE(Command(m_session->connection, sql).execute(), affected);
    }

    void oneRowCheck_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("count not reported") << -1 << "kaç satırı değiştirdiğini bildirmedi: 'K1'";
        QTest::newRow("no row") << 0 << "";
        QTest::newRow("one row") << 1 << "";
        QTest::newRow("alike codes") << 2 << "birden fazla kayda uyuyor: 'K1' (2 satır)";
    }

    // What a statement for one record may report: none or one row; an
    // unknown count tells neither.
    void oneRowCheck()
    {
        QFETCH(int, rows);
        QFETCH(QString, refusal);
        const QString error =
                errorRaisedBy([&] { Command::requireOneRow(rows, QStringLiteral("K1")); });
        QVERIFY2(refusal.isEmpty() ? error.isNull() : error.contains(refusal), qPrintable(error));
    }

    void openedListIsASnapshotWithACursor()
    {
        Statement &list = m_session->cardList;
        QVERIFY(list.atEnd()); // never opened
        list.setText(
                QStringLiteral("SELECT CARKOD,CARUNVAN,CARMUHTIPI FROM CARKART ORDER BY CARKOD"));
        list.open();
        QCOMPARE(list.rowCount(), 3);
        QCOMPARE(list.currentRow(), 0);

        QCOMPARE(Command(m_session->connection,
                         QStringLiteral("UPDATE CARKART SET CARMUHTIPI=9, CARUNVAN='Değişti'"))
                         .execute(),
                 3);

        QStringList codes;
        QList<qint32> types;
        for (; !list.atEnd(); list.next()) {
            codes << list.readText(QStringLiteral("CARKOD"));
            types << readInteger(list, QStringLiteral("carmuhtipi"));
        }
        QCOMPARE(codes,
                 (QStringList{ QStringLiteral("C1"), QStringLiteral("C2"), QStringLiteral("C3") }));
        QCOMPARE(types, (QList<qint32>{ 1, 0, 3 })); // an empty value reads as 0
        QCOMPARE(list.currentRow(), 3);
        list.next(); // stays past the end
        QCOMPARE(list.currentRow(), 3);
        QVERIFY(!errorRaisedBy([&] { list.readText(QStringLiteral("CARKOD")); }).isNull());

        list.close();
        QVERIFY(list.atEnd());
        QCOMPARE(list.rowCount(), 0);
    }

    void emptyResultIsAtItsEnd()
    {
        Statement &list = m_session->cardList;
        list.setText(QStringLiteral("SELECT CARKOD FROM CARKART WHERE 1=0"));
        list.open();
        QVERIFY(list.isOpen());
        QVERIFY(list.atEnd());
    }

    void settingTextClosesAndSignalsTheGrid()
    {
        Statement &list = m_session->cardList;
        list.setText(QStringLiteral("SELECT CARKOD FROM CARKART"));
        list.open();
        list.setCurrentRow(2);
        QSignalSpy resets(&list, &Statement::reset);
        list.setText(QStringLiteral("SELECT CARUNVAN FROM CARKART"));
        QVERIFY(!list.isOpen());
        QCOMPARE(resets.count(), 1);
    }

    // Held controls hear of no cursor move, new rows still reach them, and
    // when the last hold ends they learn where the cursor is, once.
    void heldControlsAreToldOnRelease()
    {
        Statement &list = m_session->voucherList;
        list.setText(QStringLiteral("SELECT CARKOD FROM CARKART ORDER BY CARKOD"));
        list.open();
        QSignalSpy moves(&list, &Statement::currentRowChanged);
        QSignalSpy resets(&list, &Statement::reset);
        {
            const Statement::ControlsHold outer(list);
            {
                const Statement::ControlsHold inner(list);
                list.next();
                list.open();
                list.next();
            }
            list.next();
            QVERIFY(list.controlsHeld());
        }
        QVERIFY(!list.controlsHeld());
        QVERIFY(!resets.isEmpty());
        QCOMPARE(moves.count(), 1);
        QCOMPARE(moves.first().first().toInt(), 2);
        list.next();
        QCOMPARE(moves.count(), 2);
    }

    void holdEndsWhenAnErrorPasses()
    {
        Statement &list = m_session->voucherList;
        list.setText(QStringLiteral("SELECT CARKOD FROM CARKART ORDER BY CARKOD"));
        list.open();
        QSignalSpy moves(&list, &Statement::currentRowChanged);
        try {
            const Statement::ControlsHold hold(list);
            list.next();
            throw Error(QStringLiteral("hata"));
        } catch (const Error &) {
        }
        QVERIFY(!list.controlsHeld());
        QCOMPARE(moves.count(), 1);
        QCOMPARE(moves.first().first().toInt(), 1);
    }

    void readingUnknownColumnFails()
    {
        Statement &list = m_session->cardList;
        list.setText(QStringLiteral("SELECT CARKOD FROM CARKART"));
        list.open();
        const QString error = errorRaisedBy([&] { list.readText(QStringLiteral("CARUNVAN")); });
        QVERIFY(error.contains(QStringLiteral("CARUNVAN")));
    }

    void errorsCarryTheServerText_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing table") << "UPDATE YOKTABLO SET A=1"
                                       << "no such table: YOKTABLO";
        QTest::newRow("syntax") << "SELEC 1"
                                << "syntax error";
        QTest::newRow("unique key") << "INSERT INTO CARKART(CARKOD) VALUES('C1')"
                                    << "UNIQUE constraint failed";
        // Qt's SQLite driver refuses this itself; SQLite's own text then is "not an error".
        QTest::newRow("two statements")
                << "UPDATE CARKART SET CARUNVAN='a'; UPDATE CARKART SET CARUNVAN='b'"
                << "statement";
    }

    void errorsCarryTheServerText()
    {
        if (!m_server->isEmbedded())
            QSKIP("the texts are SQLite's");
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        const QString error = errorRaisedBy([&] { Command(m_session->connection, sql).execute(); });
        QVERIFY2(error.contains(expected), qPrintable(error));
    }

    // Qt's ODBC driver sends each ":name" as its own positional marker: a
    // name used twice is bound at both places, whatever its kind.
    void parameterUsedTwiceBindsBothPlaces_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("integer") << "MUHHAR"
                                 << "MUHHARREFNO"
                                 << "MUHHARSIRANO" << QVariant(-2147483647);
        QTest::newRow("Turkish text")
                << "MUHHAR"
                << "MUHHARACIKLAMA1"
                << "MUHHARACIKLAMA2" << QVariant(QStringLiteral("İĞÜŞÖÇ ığüşöç"));
        // No column of the product is that wide: a table of the test's own.
        QTest::newRow("text past 127 characters")
                << "UZUNMETIN"
                << "A"
                << "B" << QVariant(QString(80, u'ş') + QString(80, u'I'));
        QTest::newRow("date-time")
                << "MUHHAR"
                << "MUHHARTAR"
                << "MUHHARTAR" << QVariant(QDateTime(QDate(2023, 12, 31), QTime(23, 59, 59)));
    }

    void parameterUsedTwiceBindsBothPlaces()
    {
        QFETCH(QString, table);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QVariant, value);
        Connection &connection = m_session->connection;
        if (table == QStringLiteral("UZUNMETIN"))
            Command(connection,
                    QStringLiteral("CREATE TABLE UZUNMETIN (A VARCHAR(200), B VARCHAR(200))"))
                    .execute();
        const QString columns = first == second ? first : first + u',' + second;
        const QString marks =
                first == second ? QStringLiteral(":pDeger") : QStringLiteral(":pDeger,:pDeger");
        QCOMPARE(Command(connection,
                         QStringLiteral("INSERT INTO %1(%2) VALUES(%3)").arg(table, columns, marks))
                         .execute({ { QStringLiteral("pDeger"), value } }),
                 1);
        const ResultSet found =
                Command(connection,
                        QStringLiteral("SELECT %2 FROM %1 WHERE %2=:pDeger AND %3=:pDeger")
                                .arg(table, first, second))
                        .fetch({ { QStringLiteral("pDeger"), value } });
        QCOMPARE(found.rows.size(), 1);
        QCOMPARE(found.rows.first().first(), value);
    }

    // Whichever driver reads them, values come back as the production
    // driver gives them: of their column's type, NULL as a null of it.
    void valuesReadBackAsTheirColumnsType_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QVariant>("expected");
        const QDateTime written(QDate(2024, 1, 5), QTime(10, 30, 15));
        QTest::newRow("text") << "MUHHARMUHKOD" << QVariant(QStringLiteral("120 01"));
        QTest::newRow("empty text") << "MUHHARACIKLAMA1" << QVariant(QStringLiteral(""));
        QTest::newRow("null text") << "MUHHARACIKLAMA2" << QVariant(QMetaType::fromType<QString>());
        QTest::newRow("integer") << "MUHHARREFNO" << QVariant(7);
        QTest::newRow("null integer") << "MUHHARSIRANO" << QVariant(QMetaType::fromType<int>());
        QTest::newRow("date-time") << "MUHHARTAR" << QVariant(written);
        QTest::newRow("null date-time")
                << "MUHHARTAR" << QVariant(QMetaType::fromType<QDateTime>());
        QTest::newRow("count") << "COUNT(*)" << QVariant(1);
        QTest::newRow("text or empty")
                << "ISNULL(MUHHARACIKLAMA2,'')" << QVariant(QStringLiteral(""));
        QTest::newRow("integer or zero") << "ISNULL(MUHHARSIRANO,0)" << QVariant(0);
    }

    void valuesReadBackAsTheirColumnsType()
    {
        QFETCH(QString, expression);
        QFETCH(QVariant, expected);
        const bool nullDate = QTest::currentDataTag() == QByteArray("null date-time");
        m_server->db().insert(
                QStringLiteral("MUHHAR"),
                { QStringLiteral("MUHHARREFNO"), QStringLiteral("MUHHARMUHKOD"),
                  QStringLiteral("MUHHARACIKLAMA1"), QStringLiteral("MUHHARACIKLAMA2"),
                  QStringLiteral("MUHHARSIRANO"), QStringLiteral("MUHHARTAR") },
                { { 7, QStringLiteral("120 01"), QStringLiteral(""), QVariant(), QVariant(),
                    nullDate ? QVariant()
                             : QVariant(QDateTime(QDate(2024, 1, 5), QTime(10, 30, 15))) } });
        const ResultSet result =
                Command(m_session->connection,
                        QStringLiteral("SELECT %1 AS X FROM MUHHAR").arg(expression))
                        .fetch();
        QCOMPARE(result.rows.size(), 1);
        const QVariant &value = result.rows.first().first();
        QCOMPARE(result.types.first(), expected.metaType());
        QCOMPARE(value.metaType(), expected.metaType());
        QCOMPARE(value.isNull(), expected.isNull());
        QCOMPARE(value, expected);
    }

    // A Turkish title as long as its column is longer than it in UTF-8,
    // the form FreeTDS hands it over in.
    void titleAsLongAsItsColumnReadsBackWhole()
    {
        const QString title =
                QStringLiteral(
                        "ŞİŞLİ ÇİÇEKÇİLİK ÖZEL GÜVENLİK İNŞAAT SANAYİ VE TİCARET LİMİTED ŞİRKETİ ")
                        .leftJustified(80, u'Ğ');
        Connection &connection = m_session->connection;
        QCOMPARE(Command(connection,
                         QStringLiteral("UPDATE CARKART SET CARUNVAN=:pAdi WHERE CARKOD='C1'"))
                         .execute({ { QStringLiteral("pAdi"), title } }),
                 1);
        const QString query = QStringLiteral("SELECT CARUNVAN FROM CARKART WHERE CARKOD='C1'");
        QCOMPARE(Command(connection, query).fetch().rows.value(0).value(0), QVariant(title));
        QCOMPARE(m_server->db().scalar(query), QVariant(title));
    }

    void nullTextBindsAsEmptyText()
    {
        Command(m_session->connection,
                QStringLiteral("UPDATE CARKART SET CARUNVAN=:pAdi WHERE CARKOD='C1'"))
                .execute({ { QStringLiteral("pAdi"), QString() } });
        QCOMPARE(m_server->db()
                         .scalar(QStringLiteral("SELECT COUNT(*) FROM CARKART WHERE CARKOD='C1' "
                                                "AND CARUNVAN IS NULL"))
                         .toInt(),
                 0);
    }

    void unitOfWorkCommitsOrRollsBack()
    {
        Connection &connection = m_session->connection;
        {
            UnitOfWork unit(connection);
            Command(connection,
                    QStringLiteral("UPDATE CARKART SET CARUNVAN='Birinci' WHERE CARKOD='C1'"))
                    .execute();
            unit.commit();
        }
        const QString error = errorRaisedBy([&] {
            UnitOfWork unit(connection);
            Command(connection,
                    QStringLiteral("UPDATE CARKART SET CARUNVAN='İkinci' WHERE CARKOD='C1'"))
                    .execute();
            Command(connection, QStringLiteral("UPDATE YOKTABLO SET A=1")).execute();
            unit.commit();
        });
        QVERIFY2(error.contains(QStringLiteral("YOKTABLO")), qPrintable(error));
        QVERIFY(!connection.inUnit());
        QVERIFY(connection.isOpen());
        QCOMPARE(title(QStringLiteral("C1")), QStringLiteral("Birinci"));
    }

    void refusedCommitLeavesTheUnitRolledBack()
    {
        if (!m_server->hasFiles())
            QSKIP("the refusal is SQLite's");
        Connection &connection = m_session->connection;
        zym::test::CommitRefusal refusal(connection,
                                         [](const QString &, const QVariantMap &) { return true; });
        UnitOfWork unit(connection);
        Command(connection, QStringLiteral("UPDATE CARKART SET CARUNVAN='Yeni' WHERE CARKOD='C1'"))
                .execute();
        QVERIFY(!errorRaisedBy([&] { unit.commit(); }).isNull());
        QVERIFY(!connection.inUnit());
        QVERIFY(connection.isOpen());
        QCOMPARE(title(QStringLiteral("C1")), QStringLiteral("Bir"));
    }

    // A rollback that fails leaves the unit in a state no one knows: the
    // connection is closed, and the error names the cause and the driver's text.
    void failedRollbackClosesTheConnection()
    {
        if (!m_server->isEmbedded())
            QSKIP("the failing rollback is SQLite's");
        Connection &connection = m_session->connection;
        QSignalSpy disconnected(&connection, &Connection::disconnected);
        const QString error = errorRaisedBy([&] {
            UnitOfWork unit(connection);
            // Ends the transaction behind the connection's back.
            Command(connection, QStringLiteral("COMMIT")).execute();
            unit.rollbackAfter(QStringLiteral("Birimin hatası"));
        });
        QVERIFY2(error.startsWith(QStringLiteral("Birimin hatası\n")), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("bağlantı kapatıldı")), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("no transaction is active")), qPrintable(error));
        QVERIFY(!connection.isOpen());
        QVERIFY(!connection.inUnit());
        QCOMPARE(disconnected.count(), 1);
    }

    // Every connection object has a name of its own: a second one leaves
    // the first working.
    void connectionsDoNotShareAName()
    {
        {
            Session second;
            m_server->connect(second);
            QCOMPARE(Command(second.connection, QStringLiteral("SELECT COUNT(*) FROM CARKART"))
                             .fetch()
                             .rows.size(),
                     1);
        }
        QVERIFY(m_session->connection.isOpen());
        QCOMPARE(Command(m_session->connection,
                         QStringLiteral("UPDATE CARKART SET CARUNVAN='x' WHERE CARKOD='C2'"))
                         .execute(),
                 1);
    }

private:
    QString title(const QString &code)
    {
        return m_server->db()
                .scalar(QStringLiteral("SELECT CARUNVAN FROM CARKART WHERE CARKOD='%1'").arg(code))
                .toString();
    }
};

QTEST_GUILESS_MAIN(TestStatement)
#include "tst_statement.moc"
