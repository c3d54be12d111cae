// The central-server route: a Firebird server started by the test on
// 127.0.0.1:3050, databases of its own, and the data modules reaching them as
// "host:path" (open, read, write back, errors). The suite fails when the
// server cannot be started.

#include "data/udm.h"
#include "data/udm2.h"
#include "fbfixture.h"
#include "fbserver.h"
#include "platform/programa.h"
#include "tempfolders.h"
#include "textbytes.h"

#include <QtTest>

using namespace velix;
using namespace velix::test;

class TestServer : public QObject {
    Q_OBJECT
    FbServer server;
    std::unique_ptr<TempFolders> folders;
    QString host = QStringLiteral("127.0.0.1");

private slots:
    void initTestCase()
    {
        qunsetenv("ISC_USER");
        qunsetenv("ISC_PASSWORD");
        QVERIFY2(server.start(), qPrintable(server.error()));
        AssignColumnLists();
        // The pharmacy's databases, created and filled through the server.
        folders = std::make_unique<TempFolders>();
        qputenv("KORVANTE_SERVER_DIR", QFile::encodeName(server.dataDir()));
        const QString pharmacy = host + QLatin1Char(':') + server.dataDir() + QStringLiteral("/dados/korvante.bd");
        const QString interface = host + QLatin1Char(':') + server.dataDir() + QStringLiteral("/interfac01/korvante.bd");
        createDatabase(pharmacy, DbKind::Pharmacy);
        createDatabase(interface, DbKind::Interface);
        runScript(pharmacy, sourceDir() + QStringLiteral("/tools/demo/pharmacy.sql"));
        runScript(interface, sourceDir() + QStringLiteral("/tools/demo/interface.sql"));
    }

    void cleanupTestCase()
    {
        folders.reset();
        qunsetenv("KORVANTE_SERVER_DIR");
        QVERIFY(server.stop());
        QVERIFY(!portOpen(FbServer::port));
    }

    void cleanup()
    {
        qunsetenv("ISC_USER");
        qunsetenv("ISC_PASSWORD");
        CNPJLoja.clear();
    }

    void locationsNameTheServer()
    {
        TDM dm(host);
        TDM2 dm2(host);
        dm2.setStation(QStringLiteral("01"));
        QCOMPARE(dm.sqlcon1.database(), host + QLatin1Char(':') + server.dataDir() + QStringLiteral("/dados/korvante.bd"));
        QCOMPARE(dm2.SQLConnection1.database(),
                 host + QLatin1Char(':') + server.dataDir() + QStringLiteral("/interfac01/korvante.bd"));
    }

    void readAndWriteBackThroughTheServer()
    {
        CNPJLoja = QStringLiteral("12345678000195");
        TDM dm(host);
        QCOMPARE(dm.PegaLaboratorio(CNPJLoja), QStringLiteral("Matriz"));
        QVERIFY(dm.sqlcon1.connected());

        dm.SQLDS_VELIX6.setCommandText(QStringLiteral("select ") + Campos_VELIX6
                                       + QStringLiteral(" from VELIX6 where CNPJ = '") + CNPJLoja + QStringLiteral("'"));
        dm.VELIX6.open();
        const int before = dm.VELIX6.recordCount();
        dm.VELIX6.append();
        dm.VELIX6.fieldByName(QStringLiteral("MEDICO")).setAsString(QStringLiteral("Dra. Conceição D'Ávila"));
        dm.VELIX6.fieldByName(QStringLiteral("DATA")).setAsDate(QDate(2026, 11, 30));
        dm.VELIX6.post();
        QCOMPARE(dm.VELIX6.recordCount(), before + 1);
        dm.VELIX6.last();
        QCOMPARE(dm.VELIX6.fieldByName(QStringLiteral("MEDICO")).asString(), QStringLiteral("Dra. Conceição D'Ávila"));

        // Found by all old values, accented texts and decimals among them.
        dm.SQLDS_DadosGer.setCommandText(QStringLiteral("select ") + Campos_DADOSGER
                                         + QStringLiteral(" from DADOSGER where CGC = '") + CNPJLoja + QStringLiteral("'"));
        dm.DadosGer.open();
        dm.DadosGer.edit();
        dm.DadosGer.fieldByName(QStringLiteral("MES")).setAsString(QStringLiteral("MARÇO"));
        dm.DadosGer.post();
        QCOMPARE(dm.DadosGer.changeCount(), 0);
        dm.DadosGer.close();
        dm.DadosGer.open();
        QCOMPARE(dm.DadosGer.fieldByName(QStringLiteral("MES")).asString(), QStringLiteral("MARÇO"));

        TDM2 dm2(host);
        dm2.setStation(QStringLiteral("01"));
        dm2.Periodo.open();
        dm2.Periodo.edit();
        dm2.Periodo.fieldByName(QStringLiteral("DATAFINAL")).setAsDate(QDate(2026, 3, 31));
        dm2.Periodo.post();
        QCOMPARE(dm2.Periodo.fieldByName(QStringLiteral("DATAFINAL")).asDate(), QDate(2026, 3, 31));
    }

    // Every Windows-1252 byte through the server, read and written back, in
    // pharmacy databases of each default character set the family uses.
    void textBytesThroughTheServer_data()
    {
        QTest::addColumn<QString>("charset");
        QTest::newRow("WIN1252") << "WIN1252";
        QTest::newRow("NONE") << "NONE";
        QTest::newRow("ISO8859_1") << "ISO8859_1";
        QTest::newRow("UTF8") << "UTF8";
    }
    void textBytesThroughTheServer()
    {
        QFETCH(QString, charset);
        const QString location = host + QLatin1Char(':') + server.dataDir() + QStringLiteral("/cs_") + charset
                                 + QStringLiteral("/korvante.bd");
        createDatabase(location, DbKind::Pharmacy, charset);
        TDM dm(host);
        dm.sqlcon1.setDatabase(location);
        const QueryResult cs = dm.sqlcon1.select(QStringLiteral("select trim(RDB$CHARACTER_SET_NAME) from RDB$DATABASE"));
        QCOMPARE(cs.rows.at(0).at(0).textValue(), charset);
        const QString problem = textBytesRoundTrip(dm, charset);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void connectionFailuresCarryTheServersMessage_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QString>("database");   // relative to the server's folder; "" = the pharmacy database
        QTest::addColumn<QString>("fragment");
        QTest::newRow("wrong password") << "127.0.0.1" << QByteArray() << QByteArray("wrongpass") << ""
                                        << "user name and password are not defined";
        QTest::newRow("unknown user") << "127.0.0.1" << QByteArray("NOBODY") << QByteArray() << ""
                                      << "user name and password are not defined";
        QTest::newRow("connection refused") << "127.0.0.1/3059" << QByteArray() << QByteArray() << ""
                                            << "Unable to complete network request";
        QTest::newRow("missing database") << "127.0.0.1" << QByteArray() << QByteArray() << "nada/korvante.bd"
                                          << "nada/korvante.bd";
    }
    void connectionFailuresCarryTheServersMessage()
    {
        QFETCH(QString, ip);
        QFETCH(QByteArray, user);
        QFETCH(QByteArray, password);
        QFETCH(QString, database);
        QFETCH(QString, fragment);
        if (!user.isEmpty())
            qputenv("ISC_USER", user);
        if (!password.isEmpty())
            qputenv("ISC_PASSWORD", password);
        TDM dm(ip);
        if (!database.isEmpty())
            dm.sqlcon1.setDatabase(ip + QLatin1Char(':') + server.dataDir() + QLatin1Char('/') + database);
        try {
            dm.Usuarios.open();
            QFAIL("connected");
        } catch (const DatabaseError &e) {
            QVERIFY2(e.message().contains(fragment), qPrintable(e.message()));
        }
        QVERIFY(!dm.sqlcon1.connected());
        QVERIFY(!dm.Usuarios.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestServer)
#include "test_server.moc"
