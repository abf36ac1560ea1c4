#include "CompanyTest.h"

#include "db/Error.h"
#include "db/UnitOfWork.h"

#include <QSignalSpy>
#include <QTest>

using namespace zym;
using zym::test::TestServer;

// The statement object's contract on the embedded backend.
class TestStatement : public zym::test::CompanyTest
{
    Q_OBJECT

private slots:
    void init()
    {
        startServer();
        m_server->db().insert(QStringLiteral("CARKART"),
                              {QStringLiteral("CARKOD"), QStringLiteral("CARUNVAN"), QStringLiteral("CARMUHTIPI")},
                              {{QStringLiteral("C1"), QStringLiteral("Bir"), 1},
                               {QStringLiteral("C2"), QStringLiteral("İki"), QVariant()},
                               {QStringLiteral("C3"), QString(), 3}});
        m_server->connect(*m_session);
    }

    void cleanup()
    {
        stopServer();
    }

    void parameterKeepsValueAcrossTexts()
    {
        Statement &s = m_session->ADOQuery2;
        s.setText(QStringLiteral("UPDATE CARKART SET CARUNVAN=:pAdi WHERE CARKOD=:pKod"));
        s.bindText(QStringLiteral("pKod"), QStringLiteral("C1"));
        s.bindText(QStringLiteral("pAdi"), QStringLiteral("Yeni"));
        s.setText(QStringLiteral("UPDATE CARKART SET CARMUHTIPI=:pTip WHERE CARKOD=:pKod"));
        QCOMPARE(s.parameterNames(), (QStringList{QStringLiteral("pTip"), QStringLiteral("pKod")}));
        QVERIFY(s.isBound(QStringLiteral("pKod")));
        QVERIFY(!s.isBound(QStringLiteral("pTip")));
        s.bindInteger(QStringLiteral("pTip"), 2);
        QCOMPARE(s.execute(), 1);
        QCOMPARE(m_server->db().scalar(QStringLiteral("SELECT CARMUHTIPI FROM CARKART WHERE CARKOD='C1'")).toInt(), 2);
        // pAdi was dropped by the text that does not name it: it starts unbound again.
        s.setText(QStringLiteral("UPDATE CARKART SET CARUNVAN=:pAdi WHERE CARKOD=:pKod"));
        QVERIFY(!s.isBound(QStringLiteral("pAdi")));
    }

    void unboundPlaceholderIsRefused()
    {
        Statement &s = m_session->ADOQuery2;
        s.setText(QStringLiteral("UPDATE CARKART SET CARUNVAN=:pAdi WHERE CARKOD=:pKod"));
        s.bindText(QStringLiteral("pKod"), QStringLiteral("C1"));
        QVERIFY_THROWS_EXCEPTION(Error, s.execute());
        QCOMPARE(m_server->db().scalar(QStringLiteral("SELECT CARUNVAN FROM CARKART WHERE CARKOD='C1'")).toString(),
                 QStringLiteral("Bir"));
        QVERIFY_THROWS_EXCEPTION(Error, s.bindText(QStringLiteral("pYok"), QStringLiteral("x")));
    }

    void rowsAffected_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("affected");
        QTest::newRow("one") << "UPDATE CARKART SET CARUNVAN='x' WHERE CARKOD='C1'" << 1;
        QTest::newRow("all") << "UPDATE CARKART SET CARUNVAN='x'" << 3;
        QTest::newRow("none") << "DELETE FROM CARKART WHERE CARKOD='YOK'" << 0;
        QTest::newRow("insert") << "INSERT INTO MUHHESAP([MUHKOD],[MUHADI1],[MUHCALFLAG])VALUES(RTRIM('120 1  '),'a',1);" << 1;
    }

    void rowsAffected()
    {
        QFETCH(QString, sql);
        QFETCH(int, affected);
        m_session->ADOQuery2.setText(sql);
        QCOMPARE(m_session->ADOQuery2.execute(), affected);
    }

    void openedResultIsASnapshotWithACursor()
    {
        Statement &list = m_session->ADOQuery1;
        QVERIFY(list.atEnd()); // never opened
        list.setText(QStringLiteral("SELECT CARKOD,CARUNVAN,CARMUHTIPI FROM CARKART ORDER BY CARKOD"));
        list.open();
        QCOMPARE(list.rowCount(), 3);
        QCOMPARE(list.currentRow(), 0);

        m_session->ADOQuery2.setText(QStringLiteral("UPDATE CARKART SET CARKOD=CARKOD||'X', CARUNVAN='Değişti'"));
        QCOMPARE(m_session->ADOQuery2.execute(), 3);

        QStringList codes;
        QList<qint32> types;
        for (; !list.atEnd(); list.next()) {
            codes << list.readText(QStringLiteral("CARKOD"));
            types << list.readInteger(QStringLiteral("carmuhtipi"));
        }
        QCOMPARE(codes, (QStringList{QStringLiteral("C1"), QStringLiteral("C2"), QStringLiteral("C3")}));
        QCOMPARE(types, (QList<qint32>{1, 0, 3})); // an empty value reads as 0
        QCOMPARE(list.currentRow(), 3);
        list.next(); // stays past the end
        QCOMPARE(list.currentRow(), 3);
        QVERIFY_THROWS_EXCEPTION(Error, list.readText(QStringLiteral("CARKOD")));

        list.close();
        QVERIFY(list.atEnd());
        QCOMPARE(list.rowCount(), 0);
    }

    void emptyResultIsAtItsEnd()
    {
        Statement &list = m_session->ADOQuery1;
        list.setText(QStringLiteral("SELECT CARKOD FROM CARKART WHERE 1=0"));
        list.open();
        QVERIFY(list.isOpen());
        QVERIFY(list.atEnd());
    }

    void settingTextClosesAndSignalsTheGrid()
    {
        Statement &list = m_session->ADOQuery1;
        list.setText(QStringLiteral("SELECT CARKOD FROM CARKART"));
        list.open();
        list.setCurrentRow(2);
        QSignalSpy resets(&list, &Statement::reset);
        list.setText(QStringLiteral("SELECT CARUNVAN FROM CARKART"));
        QVERIFY(!list.isOpen());
        QCOMPARE(resets.count(), 1);
    }

    void readingUnknownColumnFails()
    {
        Statement &list = m_session->ADOQuery1;
        list.setText(QStringLiteral("SELECT CARKOD FROM CARKART"));
        list.open();
        try {
            list.readText(QStringLiteral("CARUNVAN"));
            QFAIL("no error");
        } catch (const Error &error) {
            QVERIFY(error.text().contains(QStringLiteral("CARUNVAN")));
        }
    }

    void errorsCarryTheServerText_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing table") << "UPDATE YOKTABLO SET A=1" << "no such table: YOKTABLO";
        QTest::newRow("syntax") << "SELEC 1" << "syntax error";
        QTest::newRow("unique key") << "INSERT INTO CARKART(CARKOD) VALUES('C1')" << "UNIQUE constraint failed";
    }

    void errorsCarryTheServerText()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        m_session->ADOQuery2.setText(sql);
        try {
            m_session->ADOQuery2.execute();
            QFAIL("no error");
        } catch (const Error &error) {
            QVERIFY2(error.text().contains(expected), qPrintable(error.text()));
        }
    }

    void nullTextBindsAsEmptyText()
    {
        Statement &s = m_session->ADOQuery2;
        s.setText(QStringLiteral("UPDATE CARKART SET CARUNVAN=:pAdi WHERE CARKOD='C1'"));
        s.bindText(QStringLiteral("pAdi"), QString());
        s.execute();
        QCOMPARE(m_server->db().scalar(QStringLiteral("SELECT CARUNVAN IS NULL FROM CARKART WHERE CARKOD='C1'")).toInt(), 0);
    }

    void unitOfWorkCommitsOrRollsBack()
    {
        Statement &s = m_session->ADOQuery2;
        s.setText(QStringLiteral("UPDATE CARKART SET CARUNVAN='Birinci' WHERE CARKOD='C1'"));
        {
            UnitOfWork unit(m_session->connection);
            s.execute();
            unit.commit();
        }
        try {
            UnitOfWork unit(m_session->connection);
            s.setText(QStringLiteral("UPDATE CARKART SET CARUNVAN='İkinci' WHERE CARKOD='C1'"));
            s.execute();
            s.setText(QStringLiteral("UPDATE YOKTABLO SET A=1"));
            s.execute();
            unit.commit();
            QFAIL("no error");
        } catch (const Error &) {
        }
        QVERIFY(!m_session->connection.inUnit());
        QCOMPARE(m_server->db().scalar(QStringLiteral("SELECT CARUNVAN FROM CARKART WHERE CARKOD='C1'")).toString(),
                 QStringLiteral("Birinci"));
    }

};

QTEST_GUILESS_MAIN(TestStatement)
#include "tst_statement.moc"
