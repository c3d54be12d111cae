// The data layer on real embedded Firebird databases in temporary folders:
// connections, cached datasets, write-back, the DM / DM2 modules and their events.

#include "data/dataset.h"
#include "data/firebird.h"
#include "data/sqltext.h"
#include "data/udm.h"
#include "data/udm2.h"
#include "fbfixture.h"
#include "platform/cp1252.h"
#include "platform/programa.h"
#include "recordingmodal.h"
#include "tempfolders.h"
#include "textbytes.h"

#include <QtTest>

using namespace velix;
using namespace velix::test;

namespace {

// One row of table T as text, read through a connection of its own.
QString cell(const FbFixture &db, const QString &sql)
{
    const QueryResult r = db.pharmacyQuery(sql);
    if (r.rows.empty() || r.rows[0][0].isNull())
        return QStringLiteral("<null>");
    const Value &v = r.rows[0][0];
    switch (v.kind()) {
    case Value::Kind::Text: return v.textValue();
    case Value::Kind::Integer: return QString::number(v.integerValue());
    case Value::Kind::Decimal: return v.decimalValue().toString();
    default: return QStringLiteral("<other>");
    }
}

} // namespace

class TestDataset : public QObject {
    Q_OBJECT
    // One database for the rows of textFieldReaders.
    std::unique_ptr<TempFolders> m_readerFolders;
    std::unique_ptr<FbFixture> m_readers;

private slots:
    void initTestCase() { AssignColumnLists(); }
    void cleanup() { CNPJLoja.clear(); qunsetenv("KORVANTE_SERVER_DIR"); }

    // ---- quoting ------------------------------------------------------------
    void sqlQuote_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << "Matriz" << "Matriz";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("one") << "D'Ávila" << "D''Ávila";
        QTest::newRow("only apostrophes") << "'''" << "''''''";
        QTest::newRow("injection") << "x' OR '1'='1" << "x'' OR ''1''=''1";
        QTest::newRow("statement end") << "'; DELETE FROM TABLAB; --" << "''; DELETE FROM TABLAB; --";
    }
    void sqlQuote()
    {
        QFETCH(QString, value);
        QFETCH(QString, quoted);
        QCOMPARE(velix::sqlQuote(value), quoted);
    }

    // A hostile store key finds its own row and nothing else, and breaks nothing.
    void hostileValuesInStatements_data()
    {
        QTest::addColumn<QString>("loja");
        QTest::newRow("apostrophe") << "12'34";
        QTest::newRow("injection") << "x' OR '1'='1";
        QTest::newRow("statement end") << "';DELETE FROM";
    }
    void hostileValuesInStatements()
    {
        QFETCH(QString, loja);
        TempFolders folders;
        FbFixture db(folders);
        db.pharmacySql(QStringLiteral("INSERT INTO TABLAB (LABORATORIO, LOJA) VALUES ('Outro', '1');"
                                      "INSERT INTO TABLAB (LABORATORIO, LOJA) VALUES ('Lab ''X''', '")
                       + velix::sqlQuote(loja) + QStringLiteral("')"));
        TDM dm;
        QCOMPARE(dm.PegaLaboratorio(loja), QStringLiteral("Lab 'X'"));
        QCOMPARE(cell(db, QStringLiteral("select count(*) from TABLAB")), QStringLiteral("2"));
        QVERIFY(!dm.TabLab.isOpen());
    }

    // ---- client library and locations ----------------------------------------
    void clientLibraryFile_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("library");
        QTest::newRow("missing") << false << QByteArray() << "libfbclient.so.2";
        QTest::newRow("empty") << true << QByteArray() << "libfbclient.so.2";
        QTest::newRow("empty first line") << true << QByteArray("\r\n/opt/fb\r\n") << "libfbclient.so.2";
        QTest::newRow("folder") << true << QByteArray("/usr/lib/x86_64-linux-gnu") << "/usr/lib/x86_64-linux-gnu/libfbclient.so.2";
        QTest::newRow("folder with slash") << true << QByteArray("/opt/fb/\r\nignored") << "/opt/fb/libfbclient.so.2";
        QTest::newRow("windows folder") << true << QByteArray("D:\\Cliente") << "D:\\Cliente/libfbclient.so.2";
        QTest::newRow("windows folder with backslash") << true << QByteArray("D:\\Cliente\\") << "D:\\Cliente\\libfbclient.so.2";
        QTest::newRow("long line cut at 100") << true << QByteArray("/" + QByteArray(120, 'a'))
                                              << "/" + QString(99, QLatin1Char('a')) + "/libfbclient.so.2";
        QTest::newRow("accented folder") << true << QByteArray("/opt/Jo\xE3o") << QString::fromUtf8("/opt/João/libfbclient.so.2");
    }
    void clientLibraryFile()
    {
        QFETCH(bool, present);
        QFETCH(QByteArray, content);
        QFETCH(QString, library);
        TempFolders folders;
        if (present)
            folders.writeFile(QStringLiteral("root/CaminhoGDS.txt"), content);
        QCOMPARE(clientLibraryFromFile(), library);
        TDM dm;
        TDM2 dm2;
        QCOMPARE(dm.sqlcon1.libraryName(), library);
        QCOMPARE(dm2.SQLConnection1.libraryName(), library);
    }

    // The named library is the one loaded; a folder without it fails at the first open.
    void clientLibraryIsLoaded()
    {
        TempFolders folders;
        FbFixture db(folders);
        folders.writeFile(QStringLiteral("root/CaminhoGDS.txt"), "/usr/lib/x86_64-linux-gnu\r\n");
        {
            TDM dm;
            dm.Usuarios.open();
            QVERIFY(dm.sqlcon1.connected());
        }
        folders.writeFile(QStringLiteral("root/CaminhoGDS.txt"), QByteArray(QFile::encodeName(folders.base())));
        TDM dm;
        QVERIFY(!dm.sqlcon1.connected());
        try {
            dm.Usuarios.open();
            QFAIL("opened without a client library");
        } catch (const DatabaseError &e) {
            QVERIFY2(e.message().contains(folders.base() + QStringLiteral("/libfbclient.so.2")), qPrintable(e.message()));
        }
        QVERIFY(!dm.Usuarios.isOpen());
    }

    void locations_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("serverDir");
        QTest::addColumn<QString>("pharmacy");   // {root} stands for the root folder
        QTest::addColumn<QString>("interface");
        QTest::newRow("embedded") << "" << "" << "{root}/dados/korvante.bd" << "{root}/interfac07/korvante.bd";
        QTest::newRow("server, same root") << "192.168.0.10" << ""
                                           << "192.168.0.10:{root}/dados/korvante.bd"
                                           << "192.168.0.10:{root}/interfac07/korvante.bd";
        QTest::newRow("server root") << "192.168.0.10" << "C:\\korvante"
                                     << "192.168.0.10:C:\\korvante/dados/korvante.bd"
                                     << "192.168.0.10:C:\\korvante/interfac07/korvante.bd";
        QTest::newRow("server root with slash") << "srv" << "/srv/korvante/" << "srv:/srv/korvante/dados/korvante.bd"
                                                << "srv:/srv/korvante/interfac07/korvante.bd";
    }
    void locations()
    {
        QFETCH(QString, ip);
        QFETCH(QString, serverDir);
        QFETCH(QString, pharmacy);
        QFETCH(QString, interface);
        TempFolders folders;
        if (!serverDir.isEmpty())
            qputenv("KORVANTE_SERVER_DIR", serverDir.toUtf8());
        pharmacy.replace(QStringLiteral("{root}"), folders.root());
        interface.replace(QStringLiteral("{root}"), folders.root());
        TDM dm(ip);
        TDM2 dm2(ip);
        QCOMPARE(dm.sqlcon1.database(), pharmacy);
        dm2.setStation(QStringLiteral("07"));
        QCOMPARE(dm2.SQLConnection1.database(), interface);
        QVERIFY(!dm.sqlcon1.connected());
        QVERIFY(!dm2.SQLConnection1.connected());
    }

    // ---- datasets and columns -------------------------------------------------
    // Every dataset opens with its table's column list, and its initial statement.
    void everyDatasetOpensWithItsColumnList()
    {
        TempFolders folders;
        FbFixture db(folders, FbFixture::Demo);
        TDM dm;
        TDM2 dm2;
        dm2.setStation(QStringLiteral("01"));
        std::vector<ClientDataSet *> all = {&dm.cdsPedidos, &dm.cdsPediform, &dm.cdsCompedid, &dm.cdsEntregar,
                                            &dm.cdsItens, &dm.DadosGer, &dm.Componen, &dm.DCB, &dm.VELIX6,
                                            &dm.Usuarios, &dm.Estacoes, &dm.TabLab, &dm2.Periodo};
        QCOMPARE(all.size(), allTables().size());
        for (ClientDataSet *ds : all) {
            ds->afterScroll = nullptr;   // the cascades are tested below
            const QString table = QLatin1String(ds->table().name);
            ds->open();   // the initial statement
            QVERIFY2(ds->isOpen(), qPrintable(ds->name()));
            ds->close();
            ds->setCommandText(QStringLiteral("select ") + columnList(table) + QStringLiteral(" from ") + table);
            ds->open();
            QCOMPARE(ds->fieldCount(), int(ds->table().columns.size()));
            const QueryResult count = (table == QLatin1String("PERIODO") ? db.interfaceQuery(QStringLiteral("select count(*) from PERIODO"))
                                                                        : db.pharmacyQuery(QStringLiteral("select count(*) from ") + table));
            QCOMPARE(qint64(ds->recordCount()), count.rows[0][0].decimalValue().units());
            ds->close();
        }
        QVERIFY(dm.Componen.fieldByName(QStringLiteral("codigo")).fieldName() == QLatin1String("CODIGO"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, dm.Componen.fieldByName(QStringLiteral("NOPE")));
    }

    void otherColumnsMakeTheOpenFail_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::newRow("missing column") << "select DCB from DCB";
        QTest::newRow("extra column") << "select DCB, DESCRICAO, DCB as X from DCB";
        QTest::newRow("other order") << "select DESCRICAO, DCB from DCB";
        QTest::newRow("other kind") << "select DCB, 1 as DESCRICAO from DCB";
        QTest::newRow("unknown table") << "select DCB, DESCRICAO from NOTABLE";
    }
    void otherColumnsMakeTheOpenFail()
    {
        QFETCH(QString, statement);
        TempFolders folders;
        FbFixture db(folders, FbFixture::Demo);
        TDM dm;
        dm.SQLDS_DCB.setCommandText(statement);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, dm.DCB.open());
        QVERIFY(!dm.DCB.isOpen());
    }

    // A statement dataset keeps its last statement: opening again repeats it.
    void reopenRepeatsTheLastStatement()
    {
        TempFolders folders;
        FbFixture db(folders, FbFixture::Demo);
        TDM dm;
        dm.SQLDS_DCB.setCommandText(QStringLiteral("Select DCB, DESCRICAO from DCB where DCB = '05635'"));
        dm.DCB.open();
        dm.DCB.close();
        dm.DCB.open();
        QCOMPARE(dm.DCB.recordCount(), 1);
        QCOMPARE(dm.DCB.fieldByName(QStringLiteral("DESCRICAO")).asString(), QStringLiteral("Mazindol"));
    }

    // ---- values ---------------------------------------------------------------
    // Every Windows-1252 byte is read and written back unchanged, whatever the
    // database's default character set; text the code page lacks and NUL are
    // refused.
    void textBytesRoundTrip_data()
    {
        QTest::addColumn<QString>("charset");
        QTest::newRow("WIN1252") << "WIN1252";
        QTest::newRow("NONE") << "NONE";
        QTest::newRow("ISO8859_1") << "ISO8859_1";
        QTest::newRow("UTF8") << "UTF8";
    }
    void textBytesRoundTrip()
    {
        QFETCH(QString, charset);
        TempFolders folders;
        FbFixture db(folders, FbFixture::Empty, charset);
        QCOMPARE(cell(db, QStringLiteral("select trim(RDB$CHARACTER_SET_NAME) from RDB$DATABASE")), charset);
        TDM dm;
        const QString problem = velix::test::textBytesRoundTrip(dm, charset);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // The interface database's texts likewise: rows another program stored with
    // every byte are read, found again by all their columns and written back
    // with other bytes, in one sending.
    void interfaceTextBytes_data() { textBytesRoundTrip_data(); }
    void interfaceTextBytes()
    {
        QFETCH(QString, charset);
        TempFolders folders;
        FbFixture db(folders, FbFixture::Empty, charset);
        const auto byte = [](int b) { return QByteArray(1, char(b)); };
        {
            SQLConnection other(QStringLiteral("other"));
            other.setDatabase(db.interfaceDb());
            TransactionScope t(other);
            for (int b = 0x20; b <= 0xFF; ++b)
                other.executeDirect(QStringLiteral("INSERT INTO PERIODO (CHAVE, NPEDIDO) VALUES (x'%1', %2)")
                                        .arg(QString::fromLatin1(storedBytes(byte(b), charset).toHex()))
                                        .arg(b));
            t.commit();
        }
        TDM2 dm2;
        dm2.setStation(QStringLiteral("01"));
        dm2.SQLDS_Periodo.setCommandText(dm2.SQLDS_Periodo.commandText() + QStringLiteral(" order by NPEDIDO"));
        dm2.Periodo.afterPost = nullptr;
        dm2.Periodo.open();
        QCOMPARE(dm2.Periodo.recordCount(), 0xE0);
        for (dm2.Periodo.first(); !dm2.Periodo.eof(); dm2.Periodo.next()) {
            const int b = dm2.Periodo.fieldByName(QStringLiteral("NPEDIDO")).asInteger();
            QCOMPARE(dm2.Periodo.fieldByName(QStringLiteral("CHAVE")).asBytes(), byte(b));
            dm2.Periodo.edit();
            dm2.Periodo.fieldByName(QStringLiteral("CHAVE")).setAsBytes(byte(0x20 + 0xFF - b));
            dm2.Periodo.fieldByName(QStringLiteral("NPEDIDO")).setAsInteger(b + 1000);
            dm2.Periodo.post();
        }
        QCOMPARE(dm2.Periodo.applyUpdates(), 0);
        const QueryResult raw = db.interfaceQuery(
            QStringLiteral("select cast(CHAVE as varchar(4) character set octets), NPEDIDO from PERIODO order by NPEDIDO"));
        QCOMPARE(int(raw.rows.size()), 0xE0);
        for (const auto &row : raw.rows) {
            const int b = row[1].integerValue() - 1000;
            QCOMPARE(toCp1252(row[0].textValue()), storedBytes(byte(0x20 + 0xFF - b), charset));
        }
    }

    // A statement is sent whole, its length given: a NUL in a value cannot cut
    // it, and is refused with a clear error before anything runs.
    void nulInAValueIsRefused()
    {
        TempFolders folders;
        FbFixture db(folders);
        db.pharmacySql(QStringLiteral("INSERT INTO TABLAB (LABORATORIO, LOJA) VALUES ('Matriz', '1')"));
        TDM dm;
        const QString loja = QStringLiteral("1") + QChar(0) + QStringLiteral("' OR ''='");
        try {
            dm.sqlcon1.executeDirect(QStringLiteral("DELETE FROM TABLAB where LOJA = '") + loja + QStringLiteral("'"));
            QFAIL("a statement holding NUL was run");
        } catch (const ConvertError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("NUL")), qPrintable(e.message()));
        }
        QVERIFY_THROWS_EXCEPTION(ConvertError, velix::sqlQuote(loja));
        QVERIFY_THROWS_EXCEPTION(ConvertError, dm.PegaLaboratorio(loja));
        QVERIFY_THROWS_EXCEPTION(ConvertError,
                                 dm.sqlcon1.execute(QStringLiteral("DELETE FROM TABLAB where LOJA = ?"), {Value::text(loja)}));
        QCOMPARE(cell(db, QStringLiteral("select count(*) from TABLAB")), QStringLiteral("1"));
        // Text after what used to end the statement is part of it.
        QCOMPARE(dm.sqlcon1.select(QStringLiteral("select LABORATORIO from TABLAB where LOJA = '1' -- ") + QString(300, QLatin1Char('x')))
                     .rows.size(),
                 size_t(1));
    }

    // Times and timestamps keep Firebird's fourth decimal through read, compare
    // and write-back: a row is found again by all its columns.
    void timesKeepTheirFourthDecimal()
    {
        TempFolders folders;
        FbFixture db(folders);
        db.interfaceSql(QStringLiteral("INSERT INTO PERIODO (DATAINICIAL, DATAFINAL, HORAINICIAL, HORAFINAL, CHAVE) "
                                       "VALUES ('2026-03-01', '2026-03-31', '10:11:12.3456', '23:59:59.9999', '1')"));
        db.pharmacySql(QStringLiteral("INSERT INTO PEDIDOS (ESTACAO, NPEDIDO, HORAPEDIDO, HORAENTREGA) "
                                      "VALUES ('01', 1, '08:00:00.0001', '18:30:15.1235');"
                                      "INSERT INTO COMPONEN (CODIGO, VALIDADE) VALUES ('1', '2026-11-02 13:45:10.1234')"));
        TDM2 dm2;
        dm2.setStation(QStringLiteral("01"));
        dm2.Periodo.open();
        const Value start = dm2.Periodo.fieldByName(QStringLiteral("HORAINICIAL")).value();
        QCOMPARE(start.timeValue(), QTime(10, 11, 12, 345));
        QCOMPARE(start.subMillisecond(), 6);
        QVERIFY(!(start == Value::time(QTime(10, 11, 12, 345))));
        dm2.Periodo.edit();
        dm2.Periodo.fieldByName(QStringLiteral("DATAFINAL")).setAsDate(QDate(2026, 4, 30));
        dm2.Periodo.post();
        QCOMPARE(dm2.Periodo.changeCount(), 0);
        const QueryResult p = db.interfaceQuery(QStringLiteral(
            "select DATAFINAL, cast(HORAINICIAL as varchar(20)), cast(HORAFINAL as varchar(20)) from PERIODO"));
        QCOMPARE(p.rows.at(0).at(0).dateValue(), QDate(2026, 4, 30));
        QCOMPARE(p.rows.at(0).at(1).textValue(), QStringLiteral("10:11:12.3456"));
        QCOMPARE(p.rows.at(0).at(2).textValue(), QStringLiteral("23:59:59.9999"));

        // An order found by all its columns, and its time copied to a new row.
        TDM dm;
        dm.sqldsPedidos.setCommandText(QStringLiteral("Select ") + Campos_PEDIDOS + QStringLiteral(" from PEDIDOS"));
        dm.cdsPedidos.afterScroll = nullptr;
        dm.cdsPedidos.open();
        dm.cdsPedidos.edit();
        dm.cdsPedidos.fieldByName(QStringLiteral("NOME")).setAsString(QStringLiteral("Maria"));
        dm.cdsPedidos.post();
        QCOMPARE(dm.cdsPedidos.changeCount(), 0);
        const Value hora = dm.cdsPedidos.fieldByName(QStringLiteral("HORAENTREGA")).value();
        dm.cdsPedidos.append();
        dm.cdsPedidos.fieldByName(QStringLiteral("ESTACAO")).setAsString(QStringLiteral("01"));
        dm.cdsPedidos.fieldByName(QStringLiteral("NPEDIDO")).setAsInteger(2);
        dm.cdsPedidos.fieldByName(QStringLiteral("HORAPEDIDO")).setValue(hora);
        dm.cdsPedidos.post();
        QCOMPARE(dm.cdsPedidos.changeCount(), 0);
        QCOMPARE(cell(db, QStringLiteral("select NOME from PEDIDOS where NPEDIDO = 1")), QStringLiteral("Maria"));
        QCOMPARE(cell(db, QStringLiteral("select cast(HORAPEDIDO as varchar(20)) from PEDIDOS where NPEDIDO = 1")),
                 QStringLiteral("08:00:00.0001"));
        QCOMPARE(cell(db, QStringLiteral("select cast(HORAPEDIDO as varchar(20)) from PEDIDOS where NPEDIDO = 2")),
                 QStringLiteral("18:30:15.1235"));

        // A timestamp likewise.
        dm.SQLDS_Componen.setCommandText(QStringLiteral("select ") + Campos_COMPONEN + QStringLiteral(" from COMPONEN"));
        dm.Componen.open();
        const Value validade = dm.Componen.fieldByName(QStringLiteral("VALIDADE")).value();
        QCOMPARE(validade.subMillisecond(), 4);
        QCOMPARE(dm.Componen.fieldByName(QStringLiteral("VALIDADE")).asDateTime(), QDateTime(QDate(2026, 11, 2), QTime(13, 45, 10, 123)));
        dm.Componen.append();
        dm.Componen.fieldByName(QStringLiteral("CODIGO")).setAsString(QStringLiteral("2"));
        dm.Componen.fieldByName(QStringLiteral("VALIDADE")).setValue(validade);
        dm.Componen.post();
        QCOMPARE(cell(db, QStringLiteral("select cast(VALIDADE as varchar(30)) from COMPONEN where CODIGO = '2'")),
                 QStringLiteral("2026-11-02 13:45:10.1234"));
    }

    // Every number and date reader of a text field, on null, empty, blank, not a
    // number and a good text: a text that is not a number or date is a
    // conversion error, never a foreign exception, a 0 or an invalid date.
    void textFieldReaders_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<bool>("null");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");   // the value read, or the ConvertError's message
        const struct {
            const char *reader, *good, *read, *what;
        } readers[] = {
            {"asInteger", " 42 ", "42", "integer value"},
            {"asFloat", "2,5", "2.5", "floating point value"},
            {"asDecimal", "12,50", "12.50", "number"},
            {"asDate", "02/11/2026", "02/11/2026", "date"},
            {"asTime", "13:45:10", "13:45:10", "time"},
            {"asDateTime", "02/11/2026 13:45:10", "02/11/2026 13:45:10", "date and time"},
        };
        for (const auto &r : readers) {
            const QString what = QLatin1String(r.what);
            QTest::addRow("%s null", r.reader) << r.reader << true << "" << "'' is not a valid " + what;
            QTest::addRow("%s empty", r.reader) << r.reader << false << "" << "'' is not a valid " + what;
            QTest::addRow("%s blanks", r.reader) << r.reader << false << "   " << "'   ' is not a valid " + what;
            QTest::addRow("%s garbage", r.reader) << r.reader << false << "x1" << "'x1' is not a valid " + what;
            QTest::addRow("%s good", r.reader) << r.reader << false << r.good << r.read;
        }
    }
    void textFieldReaders()
    {
        QFETCH(QString, reader);
        QFETCH(bool, null);
        QFETCH(QString, text);
        QFETCH(QString, result);
        if (!m_readers) {
            m_readerFolders = std::make_unique<TempFolders>();
            m_readers = std::make_unique<FbFixture>(*m_readerFolders);
        }
        m_readers->pharmacySql(QStringLiteral("DELETE FROM DCB"));
        TDM dm;
        dm.DCB.open();
        dm.DCB.append();
        dm.DCB.fieldByName(QStringLiteral("DCB")).setAsString(QStringLiteral("1"));
        if (!null)
            dm.DCB.fieldByName(QStringLiteral("DESCRICAO")).setAsString(text);
        dm.DCB.post();
        dm.DCB.close();
        dm.DCB.open();
        const Field &f = dm.DCB.fieldByName(QStringLiteral("DESCRICAO"));
        QCOMPARE(f.isNull(), null);
        QString got;
        try {
            if (reader == QLatin1String("asInteger"))
                got = QString::number(f.asInteger());
            else if (reader == QLatin1String("asFloat"))
                got = QString::number(f.asFloat());
            else if (reader == QLatin1String("asDecimal"))
                got = f.asDecimal().toString();
            else if (reader == QLatin1String("asDate"))
                got = f.asDate().toString(QStringLiteral("dd/MM/yyyy"));
            else if (reader == QLatin1String("asTime"))
                got = f.asTime().toString(QStringLiteral("hh:mm:ss"));
            else
                got = f.asDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
        } catch (const ConvertError &e) {
            got = e.message();
        }
        QCOMPARE(got, result);
    }
    void cleanupTestCase()
    {
        m_readers.reset();
        m_readerFolders.reset();
    }

    // DECIMAL(15,2), DECIMAL(15,8), doubles and padded fixed-length text survive a
    // write-back that finds the row by all its old values.
    void exactValuesFindTheRowByAllColumns_data()
    {
        QTest::addColumn<QString>("valor");        // COMPEDID.VALOR decimal(15,8)
        QTest::addColumn<QString>("custo");        // COMPEDID.CUSTO decimal(15,2)
        QTest::addColumn<double>("qde");           // COMPEDID.QDE double
        QTest::newRow("large") << "9999999.99999999" << "9999999999999.99" << 0.1;
        QTest::newRow("negative") << "-1234567.12345678" << "-0.01" << 1.0 / 3.0;
        QTest::newRow("small") << "0.00000001" << "0.10" << 2.5e-9;
        QTest::newRow("zero") << "0.00000000" << "0.00" << 0.0;
    }
    void exactValuesFindTheRowByAllColumns()
    {
        QFETCH(QString, valor);
        QFETCH(QString, custo);
        QFETCH(double, qde);
        TempFolders folders;
        FbFixture db(folders);
        TDM dm;
        // A row written through the dataset...
        dm.sqldsCompedid.setCommandText(QStringLiteral("Select ") + Campos_COMPEDID + QStringLiteral(" from COMPEDID"));
        dm.cdsCompedid.open();
        dm.cdsCompedid.append();
        dm.cdsCompedid.fieldByName(QStringLiteral("ESTACAO")).setAsString(QStringLiteral("01"));
        dm.cdsCompedid.fieldByName(QStringLiteral("NPEDIDO")).setAsInteger(1);
        dm.cdsCompedid.fieldByName(QStringLiteral("NFORMULA")).setAsInteger(1);
        dm.cdsCompedid.fieldByName(QStringLiteral("COMPONENTE")).setAsString(QStringLiteral("AÇÚCAR"));
        dm.cdsCompedid.fieldByName(QStringLiteral("VALOR")).setAsString(valor);
        dm.cdsCompedid.fieldByName(QStringLiteral("CUSTO")).setAsDecimal(Decimal::fromString(custo, 2));
        dm.cdsCompedid.fieldByName(QStringLiteral("QDE")).setAsFloat(qde);
        dm.cdsCompedid.post();
        QCOMPARE(dm.cdsCompedid.changeCount(), 0);
        QCOMPARE(cell(db, QStringLiteral("select VALOR from COMPEDID")), valor);
        QCOMPARE(cell(db, QStringLiteral("select CUSTO from COMPEDID")), custo);
        QCOMPARE(dm.cdsCompedid.fieldByName(QStringLiteral("VALOR")).asDecimal().toString(), valor);
        QCOMPARE(dm.cdsCompedid.fieldByName(QStringLiteral("QDE")).asFloat(), qde);
        // ...is found again by all its values and changed.
        dm.cdsCompedid.edit();
        dm.cdsCompedid.fieldByName(QStringLiteral("GRUPO")).setAsString(QStringLiteral("MP"));
        dm.cdsCompedid.post();
        QCOMPARE(dm.cdsCompedid.changeCount(), 0);
        QCOMPARE(cell(db, QStringLiteral("select GRUPO from COMPEDID")), QStringLiteral("MP"));

        // Fixed-length text comes back padded and still finds its row.
        db.pharmacySql(QStringLiteral("INSERT INTO PEDIFORM (ESTACAO, NPEDIDO, NFORMULA, PRONTO, PRECOFORMULA, VOLUMETOTAL) "
                                      "VALUES ('01', 1, 1, '', ") + custo + QStringLiteral(", 12.5)"));
        dm.sqldsPediform.setCommandText(QStringLiteral("Select ") + Campos_PEDIFORM + QStringLiteral(" from PEDIFORM"));
        dm.cdsPediform.afterScroll = nullptr;   // no order is open
        dm.cdsPediform.open();
        QCOMPARE(dm.cdsPediform.fieldByName(QStringLiteral("PRONTO")).asString(), QStringLiteral(" "));
        QCOMPARE(dm.cdsPediform.fieldByName(QStringLiteral("PRECOFORMULA")).asDecimal().toString(), custo);
        QCOMPARE(dm.cdsPediform.fieldByName(QStringLiteral("VOLUMETOTAL")).asString(), QStringLiteral("12,5"));
        dm.cdsPediform.edit();
        dm.cdsPediform.fieldByName(QStringLiteral("QDE_CAPS_PRESCRITA")).setAsInteger(30);
        dm.cdsPediform.post();
        QCOMPARE(dm.cdsPediform.changeCount(), 0);
        QCOMPARE(cell(db, QStringLiteral("select QDE_CAPS_PRESCRITA from PEDIFORM")), QStringLiteral("30"));
    }

    void fieldConversions()
    {
        TempFolders folders;
        FbFixture db(folders);
        db.pharmacySql(QStringLiteral("INSERT INTO COMPONEN (CODIGO, COMPONENTE, VALIDADE, TEMPOMANIP, DENSIDADE) "
                                      "VALUES ('1', 'A', '2026-11-02 13:45:10', 15, 1.5)"));
        TDM dm;
        dm.SQLDS_Componen.setCommandText(QStringLiteral("select ") + Campos_COMPONEN + QStringLiteral(" from COMPONEN"));
        dm.Componen.open();
        QCOMPARE(dm.Componen.fieldByName(QStringLiteral("VALIDADE")).asString(), QStringLiteral("02/11/2026 13:45:10"));
        QCOMPARE(dm.Componen.fieldByName(QStringLiteral("VALIDADE")).asDate(), QDate(2026, 11, 2));
        QCOMPARE(dm.Componen.fieldByName(QStringLiteral("TEMPOMANIP")).asString(), QStringLiteral("15"));
        QCOMPARE(dm.Componen.fieldByName(QStringLiteral("DENSIDADE")).asString(), QStringLiteral("1,5"));
        QCOMPARE(dm.Componen.fieldByName(QStringLiteral("DENSIDADE")).asDecimal().toString(), QStringLiteral("1.50000000"));
        QVERIFY(dm.Componen.fieldByName(QStringLiteral("LISTA")).isNull());
        QCOMPARE(dm.Componen.fieldByName(QStringLiteral("LISTA")).asString(), QString());
        QCOMPARE(dm.Componen.fieldByName(QStringLiteral("CUSTOFIXO")).asInteger(), 0);
        QVERIFY_THROWS_EXCEPTION(ConvertError, dm.Componen.fieldByName(QStringLiteral("LISTA")).asDate());
        QVERIFY_THROWS_EXCEPTION(ConvertError, dm.Componen.fieldByName(QStringLiteral("LISTA")).asInteger());
        QVERIFY_THROWS_EXCEPTION(ConvertError, dm.Componen.fieldByName(QStringLiteral("COMPONENTE")).asInteger());
        // Not editing: setters refuse.
        QVERIFY_THROWS_EXCEPTION(DatabaseError, dm.Componen.fieldByName(QStringLiteral("LISTA")).setAsString(QStringLiteral("B2")));
        dm.Componen.edit();
        dm.Componen.fieldByName(QStringLiteral("LISTA")).setAsString(QStringLiteral("B2 and more"));   // text(2)
        QCOMPARE(dm.Componen.fieldByName(QStringLiteral("LISTA")).asString(), QStringLiteral("B2"));
        dm.Componen.fieldByName(QStringLiteral("TEMPOMANIP")).setAsString(QString());
        QVERIFY(dm.Componen.fieldByName(QStringLiteral("TEMPOMANIP")).isNull());
        dm.Componen.post();
        QCOMPARE(cell(db, QStringLiteral("select LISTA from COMPONEN")), QStringLiteral("B2"));
        QCOMPARE(cell(db, QStringLiteral("select TEMPOMANIP from COMPONEN")), QStringLiteral("<null>"));
    }

    // ---- after post -------------------------------------------------------------
    // A post is stored at once; the rows are read again and the cursor keeps its
    // position number.
    void afterPostRereadsAndKeepsThePosition()
    {
        TempFolders folders;
        FbFixture db(folders, FbFixture::Demo);
        TDM dm;
        dm.SQLDS_DCB.setCommandText(QStringLiteral("select DCB, DESCRICAO from DCB order by DESCRICAO"));
        dm.DCB.open();
        dm.DCB.setRecNo(3);
        const QString code = dm.DCB.fieldByName(QStringLiteral("DCB")).asString();
        // Another program adds a row that sorts first.
        db.pharmacySql(QStringLiteral("INSERT INTO DCB (DCB, DESCRICAO) VALUES ('00001', 'Aaa')"));
        dm.DCB.edit();
        dm.DCB.fieldByName(QStringLiteral("DESCRICAO")).setAsString(QStringLiteral("Zzz"));
        dm.DCB.post();
        QCOMPARE(cell(db, QStringLiteral("select DESCRICAO from DCB where DCB = '") + code + QStringLiteral("'")),
                 QStringLiteral("Zzz"));
        QCOMPARE(dm.DCB.recNo(), 3);
        QCOMPARE(dm.DCB.recordCount(), 6);
        // The third row of the re-read rows.
        const QueryResult again = db.pharmacyQuery(QStringLiteral("select DCB from DCB order by DESCRICAO"));
        QCOMPARE(dm.DCB.fieldByName(QStringLiteral("DCB")).asString(), again.rows[2][0].textValue());
        dm.DCB.first();
        QCOMPARE(dm.DCB.fieldByName(QStringLiteral("DESCRICAO")).asString(), QStringLiteral("Aaa"));
        dm.DCB.last();
        QCOMPARE(dm.DCB.fieldByName(QStringLiteral("DESCRICAO")).asString(), QStringLiteral("Zzz"));
    }

    // A change the database rejects stays pending; the refresh then fails.
    void rejectedChangeStaysPending()
    {
        TempFolders folders;
        FbFixture db(folders, FbFixture::Demo);
        TDM dm;
        dm.SQLDS_DCB.setCommandText(QStringLiteral("select DCB, DESCRICAO from DCB order by DCB"));
        dm.DCB.open();
        dm.DCB.append();
        dm.DCB.fieldByName(QStringLiteral("DCB")).setAsString(QStringLiteral("00733"));   // key exists
        try {
            dm.DCB.post();
            QFAIL("a duplicate key was accepted");
        } catch (const DatabaseError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Must apply updates before refreshing data\n")), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QStringLiteral("PRIMARY")), qPrintable(e.message()));
        }
        QCOMPARE(dm.DCB.changeCount(), 1);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, dm.DCB.refresh());
        dm.DCB.cancelUpdates();
        dm.DCB.refresh();
        QCOMPARE(dm.DCB.recordCount(), 5);

        // A row changed by someone else is no longer found by its old values.
        db.pharmacySql(QStringLiteral("INSERT INTO DADOSGER (FIRMA, CGC) VALUES ('Velha', '1')"));
        dm.DadosGer.open();
        db.pharmacySql(QStringLiteral("UPDATE DADOSGER SET FIRMA = 'Outra'"));
        dm.DadosGer.edit();
        dm.DadosGer.fieldByName(QStringLiteral("MES")).setAsString(QStringLiteral("MARÇO"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, dm.DadosGer.post());
        QCOMPARE(dm.DadosGer.changeCount(), 1);
        QCOMPARE(cell(db, QStringLiteral("select count(*) from DADOSGER where MES is null")), QStringLiteral("1"));
        // Closing discards the change.
        dm.DadosGer.close();
        dm.DadosGer.open();
        QCOMPARE(dm.DadosGer.fieldByName(QStringLiteral("FIRMA")).asString(), QStringLiteral("Outra"));

        // Book rows have no key: they can be added, never changed.
        dm.VELIX6.open();
        dm.VELIX6.edit();
        dm.VELIX6.fieldByName(QStringLiteral("CRM")).setAsString(QStringLiteral("1"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, dm.VELIX6.post());
        QCOMPARE(cell(db, QStringLiteral("select count(*) from VELIX6 where CRM = '1'")), QStringLiteral("0"));
    }

    // Two identical rows of a table without key: a change that would touch both is rejected.
    void changeFindingTwoRowsIsRejected()
    {
        TempFolders folders;
        FbFixture db(folders);
        db.pharmacySql(QStringLiteral("INSERT INTO TABLAB VALUES ('A', '1'); INSERT INTO TABLAB VALUES ('A', '1');"
                                      "INSERT INTO DADOSGER (FIRMA) VALUES ('x'); INSERT INTO DADOSGER (FIRMA) VALUES ('x')"));
        TDM dm;
        dm.DadosGer.open();
        dm.DadosGer.edit();
        dm.DadosGer.fieldByName(QStringLiteral("FIRMA")).setAsString(QStringLiteral("y"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, dm.DadosGer.post());
        QCOMPARE(cell(db, QStringLiteral("select count(*) from DADOSGER where FIRMA = 'x'")), QStringLiteral("2"));
    }

    // Found by key only, in a table without a primary key that holds two rows of
    // one key: the change (an UPDATE or a DELETE) would touch both, so it is
    // refused, stays pending, and leaves the database as it was; the other
    // changes of the same sending are stored.
    void keyOnlyChangeFindingTwoRowsIsRefused()
    {
        TempFolders folders;
        FbFixture db(folders);
        db.pharmacySql(QStringLiteral("ALTER TABLE DCB DROP CONSTRAINT PK_DCB"));
        db.pharmacySql(QStringLiteral("INSERT INTO DCB VALUES ('00733', 'Primeira'); INSERT INTO DCB VALUES ('00733', 'Segunda');"
                                      "INSERT INTO DCB VALUES ('00900', 'Outra')"));
        TDM dm;
        dm.SQLDS_DCB.setCommandText(QStringLiteral("select DCB, DESCRICAO from DCB order by DESCRICAO"));
        dm.DCB.open();   // Outra, Primeira, Segunda
        dm.DCB.setRecNo(2);
        dm.DCB.edit();
        dm.DCB.fieldByName(QStringLiteral("DESCRICAO")).setAsString(QStringLiteral("PRIMEIRA"));
        try {
            dm.DCB.post();   // sent at once, then the refresh fails
            QFAIL("a change of two rows was accepted");
        } catch (const DatabaseError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("2 rows")), qPrintable(e.message()));
        }
        QCOMPARE(dm.DCB.changeCount(), 1);
        const QueryResult after = db.pharmacyQuery(QStringLiteral("select DESCRICAO from DCB where DCB = '00733' order by 1"));
        QCOMPARE(int(after.rows.size()), 2);
        QCOMPARE(after.rows[0][0].textValue(), QStringLiteral("Primeira"));
        QCOMPARE(after.rows[1][0].textValue(), QStringLiteral("Segunda"));

        // One sending with a good change, the refused one and a deletion of two rows.
        dm.DCB.afterPost = nullptr;
        dm.DCB.first();
        dm.DCB.edit();
        dm.DCB.fieldByName(QStringLiteral("DESCRICAO")).setAsString(QStringLiteral("OUTRA"));
        dm.DCB.post();
        dm.DCB.last();
        dm.DCB.deleteRecord();
        QCOMPARE(dm.DCB.changeCount(), 3);
        QCOMPARE(dm.DCB.applyUpdates(), 2);
        QCOMPARE(dm.DCB.changeCount(), 2);
        QCOMPARE(cell(db, QStringLiteral("select DESCRICAO from DCB where DCB = '00900'")), QStringLiteral("OUTRA"));
        QCOMPARE(cell(db, QStringLiteral("select count(*) from DCB where DCB = '00733' and DESCRICAO in ('Primeira', 'Segunda')")),
                 QStringLiteral("2"));
        // Once the key is unique again, the pending change goes through.
        db.pharmacySql(QStringLiteral("UPDATE DCB SET DCB = '00734' WHERE DESCRICAO = 'Segunda'"));
        dm.DCB.cancelUpdates();
        dm.DCB.refresh();
        dm.DCB.setRecNo(2);
        QCOMPARE(dm.DCB.fieldByName(QStringLiteral("DESCRICAO")).asString(), QStringLiteral("Primeira"));
        dm.DCB.edit();
        dm.DCB.fieldByName(QStringLiteral("DESCRICAO")).setAsString(QStringLiteral("PRIMEIRA"));
        dm.DCB.post();
        QCOMPARE(dm.DCB.applyUpdates(), 0);
        QCOMPARE(cell(db, QStringLiteral("select DESCRICAO from DCB where DCB = '00733'")), QStringLiteral("PRIMEIRA"));
    }

    void deleteRecord()
    {
        TempFolders folders;
        FbFixture db(folders, FbFixture::Demo);
        TDM dm;
        dm.SQLDS_DCB.setCommandText(QStringLiteral("select DCB, DESCRICAO from DCB order by DCB"));
        dm.DCB.open();
        dm.DCB.setRecNo(2);
        dm.DCB.deleteRecord();
        TDM::applyAndRefresh(dm.DCB);
        QCOMPARE(dm.DCB.recordCount(), 4);
        QCOMPARE(cell(db, QStringLiteral("select count(*) from DCB where DCB = '02317'")), QStringLiteral("0"));
    }

    // ---- events -------------------------------------------------------------------
    void afterInsertSetsTheCnpj()
    {
        TempFolders folders;
        FbFixture db(folders);
        CNPJLoja = QStringLiteral("12345678000195");
        TDM dm;
        dm.VELIX6.open();
        dm.VELIX6.append();
        QCOMPARE(dm.VELIX6.fieldByName(QStringLiteral("CNPJ")).asString(), CNPJLoja);
        dm.VELIX6.fieldByName(QStringLiteral("DCB")).setAsString(QStringLiteral(" "));
        dm.VELIX6.post();
        QCOMPARE(cell(db, QStringLiteral("select CNPJ from VELIX6")), CNPJLoja);
        QCOMPARE(dm.VELIX6.recordCount(), 1);
    }

    // Opening the orders selects the first order's formulas of the store's
    // laboratory and the first formula's components; moving on re-selects them,
    // except for an order whose NPED is 0 or less or whose ESTACAO is empty.
    void afterScrollCascades_data()
    {
        QTest::addColumn<QString>("secondEstacao");
        QTest::addColumn<int>("secondNped");
        QTest::addColumn<bool>("reselects");
        QTest::newRow("NPED 1") << "02" << 1 << true;
        QTest::newRow("NPED 0") << "02" << 0 << false;
        QTest::newRow("NPED -1") << "02" << -1 << false;
        QTest::newRow("NPED null") << "02" << INT_MIN << false;
        QTest::newRow("ESTACAO empty") << "" << 5 << false;
    }
    void afterScrollCascades()
    {
        QFETCH(QString, secondEstacao);
        QFETCH(int, secondNped);
        QFETCH(bool, reselects);
        TempFolders folders;
        FbFixture db(folders);
        const QString nped = secondNped == INT_MIN ? QStringLiteral("NULL") : QString::number(secondNped);
        db.pharmacySql(QStringLiteral(
            "INSERT INTO TABLAB VALUES ('Matriz', '111');"
            "INSERT INTO PEDIDOS (ESTACAO, NPEDIDO, NPED) VALUES ('01', 10, 1);"
            "INSERT INTO PEDIDOS (ESTACAO, NPEDIDO, NPED) VALUES ('") + secondEstacao + QStringLiteral("', 20, ") + nped + QStringLiteral(");"
            "INSERT INTO PEDIFORM (ESTACAO, NPEDIDO, NFORMULA, LABORATORIO) VALUES ('01', 10, 1, 'Matriz');"
            "INSERT INTO PEDIFORM (ESTACAO, NPEDIDO, NFORMULA, LABORATORIO) VALUES ('01', 10, 2, 'Filial');"
            "INSERT INTO PEDIFORM (ESTACAO, NPEDIDO, NFORMULA, LABORATORIO) VALUES ('01', 10, 3, 'Matriz');"
            "INSERT INTO PEDIFORM (ESTACAO, NPEDIDO, NFORMULA, LABORATORIO) VALUES ('") + secondEstacao + QStringLiteral("', 20, 7, 'Matriz');"
            "INSERT INTO COMPEDID (ESTACAO, NPEDIDO, NFORMULA, COMPONENTE) VALUES ('01', 10, 1, 'A');"
            "INSERT INTO COMPEDID (ESTACAO, NPEDIDO, NFORMULA, COMPONENTE) VALUES ('01', 10, 1, 'B');"
            "INSERT INTO COMPEDID (ESTACAO, NPEDIDO, NFORMULA, COMPONENTE) VALUES ('01', 10, 3, 'C');"
            "INSERT INTO COMPEDID (ESTACAO, NPEDIDO, NFORMULA, COMPONENTE) VALUES ('") + secondEstacao + QStringLiteral("', 20, 7, 'D')"));
        CNPJLoja = QStringLiteral("111");
        RecordingModal modal;
        TDM dm;
        dm.sqldsPedidos.setCommandText(QStringLiteral("Select ") + Campos_PEDIDOS + QStringLiteral(" from PEDIDOS order by NPEDIDO"));
        dm.cdsPedidos.open();
        QCOMPARE(dm.sqldsPediform.commandText(),
                 QStringLiteral("Select ") + Campos_PEDIFORM
                     + QStringLiteral(" from PEDIFORM where ESTACAO = '01' and NPEDIDO = 10 and  LABORATORIO = 'Matriz'"));
        QCOMPARE(dm.cdsPediform.recordCount(), 2);   // formulas 1 and 3
        QCOMPARE(dm.cdsPediform.fieldByName(QStringLiteral("NFORMULA")).asInteger(), 1);
        QCOMPARE(dm.sqldsCompedid.commandText(),
                 QStringLiteral("Select ") + Campos_COMPEDID
                     + QStringLiteral(" from COMPEDID where ESTACAO = '01' and NPEDIDO = '10' and NFORMULA = '1'"));
        QCOMPARE(dm.cdsCompedid.recordCount(), 2);
        dm.cdsPediform.next();
        QCOMPARE(dm.cdsCompedid.recordCount(), 1);
        QCOMPARE(dm.cdsCompedid.fieldByName(QStringLiteral("COMPONENTE")).asString(), QStringLiteral("C"));

        dm.cdsPedidos.next();
        if (reselects) {
            QCOMPARE(dm.cdsPediform.recordCount(), 1);
            QCOMPARE(dm.cdsPediform.fieldByName(QStringLiteral("NFORMULA")).asInteger(), 7);
            QCOMPARE(dm.cdsCompedid.fieldByName(QStringLiteral("COMPONENTE")).asString(), QStringLiteral("D"));
        } else {
            QCOMPARE(dm.cdsPediform.recordCount(), 2);   // still the first order's formulas
            QCOMPARE(dm.cdsPediform.fieldByName(QStringLiteral("NFORMULA")).asInteger(), 3);
        }
        QCOMPARE(modal.messages, QStringList());
    }

    // A failing formulas statement is shown with the statement text and the
    // cursor move goes on; a failing components statement reaches the caller.
    void afterScrollFailures()
    {
        TempFolders folders;
        FbFixture db(folders);
        db.pharmacySql(QStringLiteral("INSERT INTO PEDIDOS (ESTACAO, NPEDIDO, NPED) VALUES ('01', 10, 1);"
                                      "INSERT INTO PEDIFORM (ESTACAO, NPEDIDO, NFORMULA) VALUES ('01', 10, 1);"
                                      "DROP TABLE TABLAB"));
        RecordingModal modal;
        TDM dm;
        const QString before = dm.sqldsPediform.commandText();
        dm.sqldsPedidos.setCommandText(QStringLiteral("Select ") + Campos_PEDIDOS + QStringLiteral(" from PEDIDOS"));
        dm.cdsPedidos.open();
        QCOMPARE(modal.messages, QStringList{QStringLiteral("Erro tentando abrir Pediform com ") + before});
        QVERIFY(dm.cdsPedidos.isOpen());
        QVERIFY(!dm.cdsPediform.isOpen());

        db.pharmacySql(QStringLiteral("DROP TABLE COMPEDID"));
        dm.sqldsPediform.setCommandText(QStringLiteral("Select ") + Campos_PEDIFORM + QStringLiteral(" from PEDIFORM"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, dm.cdsPediform.open());
    }

    // ---- laboratory lookup -----------------------------------------------------
    void pegaLaboratorio_data()
    {
        QTest::addColumn<QString>("rows");     // TABLAB rows "LAB|LOJA;LAB|LOJA", in insertion order
        QTest::addColumn<QString>("loja");
        QTest::addColumn<QString>("laboratorio");
        QTest::newRow("store with laboratory") << "Matriz|123" << "123" << "Matriz";
        QTest::newRow("store without row") << "Matriz|123" << "999" << "Almoxarifado";
        QTest::newRow("empty table") << "" << "123" << "Almoxarifado";
        QTest::newRow("empty key without row") << "Matriz|123" << "" << "";
        QTest::newRow("empty laboratory") << "|123" << "123" << "";
        QTest::newRow("two rows: the first") << "Primeiro|123;Segundo|123" << "123" << "Primeiro";
        QTest::newRow("other case") << "Matriz|abc" << "ABC" << "Almoxarifado";
        QTest::newRow("trailing blank in the row") << "Matriz|123 " << "123" << "Almoxarifado";
        QTest::newRow("accents") << "Laboratório São João|123" << "123" << "Laboratório São João";
    }
    void pegaLaboratorio()
    {
        QFETCH(QString, rows);
        QFETCH(QString, loja);
        QFETCH(QString, laboratorio);
        TempFolders folders;
        FbFixture db(folders);
        for (const QString &row : rows.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QStringList parts = row.split(QLatin1Char('|'));
            db.pharmacySql(QStringLiteral("INSERT INTO TABLAB (LABORATORIO, LOJA) VALUES ('%1', '%2')")
                               .arg(velix::sqlQuote(parts[0]), velix::sqlQuote(parts[1])));
        }
        TDM dm;
        QCOMPARE(dm.PegaLaboratorio(loja), laboratorio);
        QVERIFY(!dm.TabLab.isOpen());
        QCOMPARE(dm.SQLDS_TabLab.commandText(),
                 QStringLiteral("Select LABORATORIO, LOJA from TABLAB where LOJA = '") + velix::sqlQuote(loja) + QStringLiteral("'"));
    }

    void pegaLaboratorioErrorsReachTheCaller()
    {
        TempFolders folders;
        FbFixture db(folders);
        db.pharmacySql(QStringLiteral("DROP TABLE TABLAB"));
        TDM dm;
        try {
            dm.PegaLaboratorio(QStringLiteral("1"));
            QFAIL("no error");
        } catch (const DatabaseError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("TABLAB")), qPrintable(e.message()));
        }
    }

    // ---- errors ------------------------------------------------------------------
    void databaseErrorsCarryFirebirdsMessage_data()
    {
        QTest::addColumn<QString>("database");   // relative to the root; "" = the pharmacy database
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("fragment");
        QTest::newRow("missing file") << "nada/korvante.bd" << "select 1 from rdb$database" << "nada/korvante.bd";
        QTest::newRow("unknown table") << "" << "delete from NOTABLE" << "NOTABLE";
        QTest::newRow("syntax") << "" << "delet from VELIX6" << "Token unknown";
        QTest::newRow("not null") << "" << "insert into DCB (DESCRICAO) values ('x')" << "DCB";
    }
    void databaseErrorsCarryFirebirdsMessage()
    {
        QFETCH(QString, database);
        QFETCH(QString, statement);
        QFETCH(QString, fragment);
        TempFolders folders;
        FbFixture db(folders);
        SQLConnection con(QStringLiteral("test"));
        con.setDatabase(database.isEmpty() ? db.pharmacyDb() : folders.root() + QLatin1Char('/') + database);
        try {
            con.executeDirect(statement);
            QFAIL("no error");
        } catch (const DatabaseError &e) {
            QVERIFY2(e.message().contains(fragment), qPrintable(e.message()));
            QCOMPARE(e.className(), QStringLiteral("EDatabaseError"));
        }
    }

    // ---- transactions -------------------------------------------------------------
    void transactionScope_data()
    {
        QTest::addColumn<bool>("commit");
        QTest::newRow("committed") << true;
        QTest::newRow("rolled back") << false;
    }
    void transactionScope()
    {
        QFETCH(bool, commit);
        TempFolders folders;
        FbFixture db(folders, FbFixture::Demo);
        CNPJLoja = QStringLiteral("12345678000195");
        TDM dm;
        dm.VELIX6.open();
        {
            TransactionScope t(dm.sqlcon1);
            dm.sqlcon1.executeDirect(QStringLiteral("DELETE FROM VELIX6 where CNPJ = '") + CNPJLoja + QStringLiteral("'"));
            for (int i = 0; i < 3; ++i) {
                dm.VELIX6.append();
                dm.VELIX6.fieldByName(QStringLiteral("NPEDIDO")).setAsInteger(i);
                dm.VELIX6.post();
            }
            QCOMPARE(dm.VELIX6.recordCount(), 3);   // the refresh sees the scope's own work
            QVERIFY_THROWS_EXCEPTION(Error, TransactionScope(dm.sqlcon1));
            if (commit)
                t.commit();
        }
        QCOMPARE(cell(db, QStringLiteral("select count(*) from VELIX6")), commit ? QStringLiteral("3") : QStringLiteral("4"));
        // Afterwards each post is its own transaction again.
        dm.VELIX6.append();
        dm.VELIX6.post();
        QCOMPARE(cell(db, QStringLiteral("select count(*) from VELIX6")), commit ? QStringLiteral("4") : QStringLiteral("5"));
    }

    // An INSERT ... RETURNING prepared once gives each row's own values back;
    // a statement may also run without asking for its count.
    void insertReturningGivesTheStoredRow()
    {
        TempFolders folders;
        FbFixture db(folders, FbFixture::Demo);
        TDM dm;
        SQLConnection &con = dm.sqlcon1;
        TransactionScope t(con);
        const QString sql = QStringLiteral(
            "INSERT INTO VELIX6 (CNPJ, NPEDIDO, DATA) VALUES ('x''y', ?, ?) RETURNING RDB$DB_KEY, NPEDIDO, DATA");
        QHash<QString, QString> porChave;
        for (int i = 0; i < 3; ++i) {
            const std::vector<Value> r = con.executeReturning(sql, {Value::text(QString::number(7 - i)),
                                                                    i == 1 ? Value() : Value::date(QDate(2024, 2, 29))});
            QCOMPARE(r.size(), size_t(3));
            QCOMPARE(r[0].textValue().size(), 8);
            QCOMPARE(r[1].textValue(), QString::number(7 - i));
            QCOMPARE(r[2].isNull(), i == 1);
            porChave.insert(r[0].textValue(), r[1].textValue());
        }
        QCOMPARE(porChave.size(), 3);
        const QueryResult lidas = con.select(QStringLiteral("select RDB$DB_KEY, NPEDIDO from VELIX6 where CNPJ = 'x''y'"));
        QCOMPARE(lidas.rows.size(), size_t(3));
        for (const std::vector<Value> &row : lidas.rows)
            QCOMPARE(porChave.value(row[0].textValue()), row[1].textValue());
        // A statement run without its count of changed rows.
        con.executeOnly(QStringLiteral("UPDATE VELIX6 SET CRM = ? WHERE CNPJ = 'x''y' AND NPEDIDO = ?"),
                        {Value::text(QStringLiteral("D'Ávila")), Value::text(QStringLiteral("6"))});
        const QueryResult crm =
            con.select(QStringLiteral("select NPEDIDO, CRM from VELIX6 where CNPJ = 'x''y' and CRM is not null"));
        QCOMPARE(crm.rows.size(), size_t(1));
        QCOMPARE(crm.rows[0][1].textValue(), QStringLiteral("D'Ávila"));
    }

    // ---- the interface module ---------------------------------------------------------
    void periodoWriteBack()
    {
        TempFolders folders;
        FbFixture db(folders, FbFixture::Demo);
        TDM2 dm2;
        dm2.setStation(QStringLiteral("01"));
        dm2.Periodo.open();
        dm2.Periodo.edit();
        dm2.Periodo.fieldByName(QStringLiteral("DATAINICIAL")).setAsDate(QDate(2024, 2, 1));
        dm2.Periodo.fieldByName(QStringLiteral("DATAFINAL")).setAsDate(QDate(2024, 2, 29));
        dm2.Periodo.post();
        QCOMPARE(dm2.Periodo.fieldByName(QStringLiteral("DATAFINAL")).asDate(), QDate(2024, 2, 29));
        const QueryResult r = db.interfaceQuery(QStringLiteral("select DATAINICIAL, DATAFINAL, VALORTOTAL from PERIODO"));
        QCOMPARE(r.rows[0][0].dateValue(), QDate(2024, 2, 1));
        QCOMPARE(r.rows[0][1].dateValue(), QDate(2024, 2, 29));
    }
};

QTEST_GUILESS_MAIN(TestDataset)
#include "test_dataset.moc"
