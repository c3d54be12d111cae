// The book's period: the month table, the date conversion and the command
// "Preparar Livro" up to the preparation, on real (embedded Firebird)
// databases.

#include "book/periodo.h"
#include "data/tabelas.h"
#include "data/udm.h"
#include "data/udm2.h"
#include "fakelivroview.h"
#include "fbfixture.h"
#include "platform/programa.h"
#include "recordingmodal.h"
#include "report/uRM.h"
#include "tempfolders.h"

#include <QFile>
#include <QtTest>

#include <memory>

using namespace velix;

namespace {

const QString Cnpj = QStringLiteral("12345678000195");
const QString Aviso = QStringLiteral("Favor configurar o período do livro antes de continuar.");

} // namespace

class TestPeriodo : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempFolders> pastas;
    std::unique_ptr<test::FbFixture> db;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<TDM2> dm2;
    std::unique_ptr<RMInstance> rm;
    std::unique_ptr<test::RecordingModal> modal;

    void mesDoLivro(const QString &mes, const QString &ano)
    {
        const auto literal = [](const QString &v) {
            return v.isNull() ? QStringLiteral("NULL") : QLatin1Char('\'') + v + QLatin1Char('\'');
        };
        db->pharmacySql(QStringLiteral("UPDATE DADOSGER SET MES = %1, EXERCICIO = %2").arg(literal(mes), literal(ano)));
    }

    // PERIODO's rows as "DATAINICIAL DATAFINAL CHAVE NPEDIDO", in the order
    // the database returns them.
    QStringList periodos() const
    {
        QStringList l;
        const QueryResult r = db->interfaceQuery(
            QStringLiteral("SELECT DATAINICIAL, DATAFINAL, CHAVE, NPEDIDO FROM PERIODO"));
        for (const auto &row : r.rows) {
            QStringList campos;
            for (const Value &v : row)
                campos << (v.isNull()                        ? QStringLiteral("-")
                           : v.kind() == Value::Kind::Date   ? v.dateValue().toString(QStringLiteral("dd/MM/yyyy"))
                           : v.kind() == Value::Kind::Integer ? QString::number(v.integerValue())
                                                             : v.textValue());
            l << campos.join(QLatin1Char(' '));
        }
        return l;
    }

    // Runs the command; true when it went through the preparation to its end.
    bool prepara(test::FakeLivroView &janela)
    {
        try {
            actPrepararLivroExecute(janela);
            return true;
        } catch (const Error &e) {
            lastError = e.message();
            return false;
        }
    }
    QString lastError;

private slots:
    void initTestCase()
    {
        AssignColumnLists();
        pastas = std::make_unique<test::TempFolders>();
        db = std::make_unique<test::FbFixture>(*pastas, test::FbFixture::Demo);
        dm = std::make_unique<TDM>();
        dm2 = std::make_unique<TDM2>();
        dm2->setStation(QStringLiteral("01"));
        rm = std::make_unique<RMInstance>();
        QFile definicao(test::sourceDir() + QStringLiteral("/src/report/VELIX6.rav"));
        QVERIFY(definicao.open(QIODevice::ReadOnly));
        pastas->writeFile(QStringLiteral("root/RPT/VELIX6.rav"), definicao.readAll());
        modal = std::make_unique<test::RecordingModal>();
    }

    void init()
    {
        CNPJLoja = Cnpj;
        modal->clear();
        lastError.clear();
        dm2->Periodo.close();
        db->interfaceSql(QStringLiteral("DELETE FROM PERIODO"));
    }

    void cleanupTestCase()
    {
        CNPJLoja.clear();
        rm.reset();
        dm2.reset();
        dm.reset();
        db.reset();
        modal.reset();
        pastas.reset();
    }

    void monthTable_data()
    {
        QTest::addColumn<QString>("mes");
        QTest::addColumn<QString>("ano");
        QTest::addColumn<QString>("primeiro");
        QTest::addColumn<QString>("ultimo");
        QTest::newRow("FEVEREIRO 2024") << "FEVEREIRO" << "2024" << "01/02/2024" << "29/02/2024";
        QTest::newRow("FEVEREIRO 2023") << "FEVEREIRO" << "2023" << "01/02/2023" << "28/02/2023";
        QTest::newRow("FEVEREIRO 2000") << "FEVEREIRO" << "2000" << "01/02/2000" << "29/02/2000";
        QTest::newRow("FEVEREIRO 1900") << "FEVEREIRO" << "1900" << "01/02/1900" << "28/02/1900";
        QTest::newRow("MARÇO") << "MARÇO" << "2026" << "01/03/2026" << "31/03/2026";
        QTest::newRow("MARCO") << "MARCO" << "2026" << "01/03/2026" << "31/03/2026";
        QTest::newRow("JANEIRO") << "JANEIRO" << "2026" << "01/01/2026" << "31/01/2026";
        QTest::newRow("ABRIL") << "ABRIL" << "2026" << "01/04/2026" << "30/04/2026";
        QTest::newRow("MAIO") << "MAIO" << "2026" << "01/05/2026" << "31/05/2026";
        QTest::newRow("JUNHO") << "JUNHO" << "2026" << "01/06/2026" << "30/06/2026";
        QTest::newRow("JULHO") << "JULHO" << "2026" << "01/07/2026" << "31/07/2026";
        QTest::newRow("AGOSTO") << "AGOSTO" << "2026" << "01/08/2026" << "31/08/2026";
        QTest::newRow("SETEMBRO") << "SETEMBRO" << "2026" << "01/09/2026" << "30/09/2026";
        QTest::newRow("OUTUBRO") << "OUTUBRO" << "2026" << "01/10/2026" << "31/10/2026";
        QTest::newRow("NOVEMBRO") << "NOVEMBRO" << "2026" << "01/11/2026" << "30/11/2026";
        QTest::newRow("DEZEMBRO") << "DEZEMBRO" << "2026" << "01/12/2026" << "31/12/2026";
        QTest::newRow("small letters") << "janeiro" << "2026" << "" << "";
        QTest::newRow("Março") << "Março" << "2026" << "" << "";
        QTest::newRow("blank after the name") << "JANEIRO " << "2026" << "" << "";
        QTest::newRow("year as given") << "MAIO" << "26" << "01/05/26" << "31/05/26";
        QTest::newRow("year that is no year") << "FEVEREIRO" << "abcd" << "01/02/abcd" << "28/02/abcd";
    }

    void monthTable()
    {
        QFETCH(QString, mes);
        QFETCH(QString, ano);
        QFETCH(QString, primeiro);
        QFETCH(QString, ultimo);
        const DiasDoMes dias = diasDoMes(mes, ano);
        QCOMPARE(dias.primeiro, primeiro);
        QCOMPARE(dias.ultimo, ultimo);
    }

    void februaryAlwaysThe28th()
    {
        QCOMPARE(diasDoMes(QStringLiteral("FEVEREIRO"), QStringLiteral("2024"), Fevereiro::Dia28).ultimo,
                 QStringLiteral("28/02/2024"));
        QCOMPARE(diasDoMes(QStringLiteral("MARCO"), QStringLiteral("2024"), Fevereiro::Dia28).ultimo,
                 QStringLiteral("31/03/2024"));
    }

    void dateConversion_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QDate>("data");
        QTest::newRow("four-digit year") << "29/02/2024" << QDate(2024, 2, 29);
        QTest::newRow("one-digit day and month") << "1/3/2026" << QDate(2026, 3, 1);
        QTest::newRow("two-digit year") << "31/12/26" << QDate(2026, 12, 31);
        QTest::newRow("no 29 February") << "29/02/2023" << QDate();
        QTest::newRow("no 31 April") << "31/04/2026" << QDate();
        QTest::newRow("empty") << "" << QDate();
        QTest::newRow("letters") << "01/02/abcd" << QDate();
        QTest::newRow("month first") << "12/31/2026" << QDate();
        QTest::newRow("year 0") << "01/01/0000" << QDate();
    }

    void dateConversion()
    {
        QFETCH(QString, texto);
        QFETCH(QDate, data);
        if (data.isValid())
            QCOMPARE(converteData(texto), data);
        else
            QVERIFY_THROWS_EXCEPTION(ConvertError, converteData(texto));
    }

    // An unset period: the message and nothing else.
    void unsetPeriod_data()
    {
        QTest::addColumn<QString>("mes");
        QTest::addColumn<QString>("ano");
        QTest::addColumn<QString>("cnpj");
        QTest::newRow("empty year") << "NOVEMBRO" << "" << Cnpj;
        QTest::newRow("null year") << "NOVEMBRO" << QString() << Cnpj;
        QTest::newRow("empty month") << "" << "2026" << Cnpj;
        QTest::newRow("no registration row") << "NOVEMBRO" << "2026" << "99999999000199";
        QTest::newRow("before the login") << "NOVEMBRO" << "2026" << "";
    }

    void unsetPeriod()
    {
        QFETCH(QString, mes);
        QFETCH(QString, ano);
        QFETCH(QString, cnpj);
        mesDoLivro(mes, ano);
        CNPJLoja = cnpj;
        test::FakeLivroView janela;
        QVERIFY(prepara(janela));
        QCOMPARE(modal->messages, QStringList{Aviso});
        QCOMPARE(janela.habilitaCalls, 0);
        QVERIFY(periodos().isEmpty());
        QVERIFY(!dm2->Periodo.isOpen());
        QVERIFY(!dm->DadosGer.isOpen());
    }

    // A month not in the table ends with the date-conversion error before
    // anything is stored.
    void monthNotInTheTable_data()
    {
        QTest::addColumn<QString>("mes");
        QTest::addColumn<QString>("ano");
        QTest::newRow("small letters") << "novembro" << "2026";
        QTest::newRow("blank after the name") << "MAIO " << "2026";
        QTest::newRow("year that is no year") << "MAIO" << "20x6";
    }

    void monthNotInTheTable()
    {
        QFETCH(QString, mes);
        QFETCH(QString, ano);
        mesDoLivro(mes, ano);
        db->interfaceSql(QStringLiteral("INSERT INTO PERIODO (DATAINICIAL, DATAFINAL) VALUES ('2026-01-01', '2026-01-31')"));
        test::FakeLivroView janela;
        QVERIFY_THROWS_EXCEPTION(ConvertError, actPrepararLivroExecute(janela));
        QVERIFY(modal->messages.isEmpty());
        QCOMPARE(periodos(), QStringList{QStringLiteral("01/01/2026 31/01/2026 - -")});
        QCOMPARE(janela.habilitaCalls, 0);
    }

    // The period stored: an empty PERIODO gets one row holding only the two
    // dates; with rows, the first row's dates are overwritten and the rest
    // left alone. Then the preparation runs with those days.
    void periodStored_data()
    {
        QTest::addColumn<QStringList>("antes");
        QTest::addColumn<QStringList>("depois");
        QTest::newRow("no row") << QStringList() << QStringList{QStringLiteral("01/02/2024 29/02/2024 - -")};
        QTest::newRow("two rows")
            << QStringList{QStringLiteral("'2026-11-01', '2026-11-30', '1', 5"), QStringLiteral("NULL, NULL, '2', 6")}
            << QStringList{QStringLiteral("01/02/2024 29/02/2024 1 5"), QStringLiteral("- - 2 6")};
    }

    void periodStored()
    {
        QFETCH(QStringList, antes);
        QFETCH(QStringList, depois);
        for (const QString &linha : antes)
            db->interfaceSql(QStringLiteral("INSERT INTO PERIODO (DATAINICIAL, DATAFINAL, CHAVE, NPEDIDO) VALUES (")
                             + linha + QStringLiteral(")"));
        mesDoLivro(QStringLiteral("FEVEREIRO"), QStringLiteral("2024"));
        test::FakeLivroView janela;
        const bool terminou = prepara(janela);
        QCOMPARE(periodos(), depois);
        QVERIFY(modal->messages.isEmpty());
        if (terminou) {
            // The preparation ran for February 2024 and printed its book.
            QCOMPARE(modal->previews.size(), 1);
            QVERIFY(!dm2->Periodo.isOpen());
            QVERIFY(janela.habilitaCalls >= 1);
        } else {
            // The preparation's error ends the command: Periodo stays open
            // and the toolbar is left alone.
            QVERIFY2(!lastError.isEmpty(), qPrintable(lastError));
            QVERIFY(dm2->Periodo.isOpen());
            QCOMPARE(janela.habilitaCalls, 0);
        }
    }
};

QTEST_MAIN(TestPeriodo)
#include "test_periodo.moc"
