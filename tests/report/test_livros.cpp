// The book commands on the demo pharmacy's real (embedded Firebird) database.

#include "fakelivroview.h"
#include "fbfixture.h"
#include "recordingmodal.h"
#include "reportfixtures.h"
#include "data/udm.h"
#include "platform/programa.h"
#include "report/livros.h"
#include "report/uRM.h"
#include "tempfolders.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace velix;

namespace {

const QString demoCnpj = QStringLiteral("12345678000195");

// The demo pharmacy with its report definition installed, the modules
// created and the window's side recorded.
struct Pharmacy {
    test::TempFolders folders;
    test::FbFixture db{folders, test::FbFixture::Demo};
    test::RecordingModal modal;
    TDM dm;
    RMInstance rm;
    test::FakeLivroView janela;

    Pharmacy()
    {
        QFile shipped(test::shippedDefinition());
        shipped.open(QIODevice::ReadOnly);
        folders.writeFile(QStringLiteral("root/RPT/VELIX6.rav"), shipped.readAll());
        CNPJLoja = demoCnpj;
        modal.saveEachPreviewTo = folders.base() + QStringLiteral("/livro.pdf");
    }

    void replaceBook(const QStringList &rows) const
    {
        db.pharmacySql(QStringLiteral("DELETE FROM VELIX6"));
        for (const QString &row : rows)
            db.pharmacySql(QStringLiteral("INSERT INTO VELIX6 (DCB, DESCRICAO, NUMERONOTIFICACAO, CNPJ) VALUES (")
                           + row + QStringLiteral(")"));
    }

    QStringList bookColumn(const char *field)
    {
        QStringList values;
        for (dm.VELIX6.first(); !dm.VELIX6.eof(); dm.VELIX6.next())
            values << dm.VELIX6.fieldByName(QLatin1String(field)).asString();
        return values;
    }

    QString pdf() const { return test::pdfText(modal.saveEachPreviewTo); }
};

} // namespace

class TestLivros : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { AssignColumnLists(); }
    void cleanup() { CNPJLoja.clear(); }

    void bookOrder_data()
    {
        QTest::addColumn<QString>("ordem");
        QTest::addColumn<QStringList>("dcbs");
        const QStringList byDate{QStringLiteral("00733"), QStringLiteral("03853"), QStringLiteral("05635"),
                                 QStringLiteral("02317")};
        const QStringList byDcb{QStringLiteral("00733"), QStringLiteral("02317"), QStringLiteral("03853"),
                                QStringLiteral("05635")};
        QTest::newRow("Data") << QStringLiteral("Data") << byDate;
        QTest::newRow("DATA") << QStringLiteral("DATA") << byDate;
        QTest::newRow("data") << QStringLiteral("data") << byDate;
        QTest::newRow("DCB") << QStringLiteral("DCB") << byDcb;
        QTest::newRow("DATA and more words") << QStringLiteral("DATA, DCB") << byDcb;
        QTest::newRow("not set") << QString() << byDcb;
    }

    void bookOrder()
    {
        QFETCH(QString, ordem);
        QFETCH(QStringList, dcbs);
        Pharmacy p;
        p.janela.ordem = ordem;
        Abre_Livro(p.janela);
        QCOMPARE(p.dm.SQLDS_VELIX6.commandText(),
                 QStringLiteral("SELECT ") + Campos_VELIX6 + QStringLiteral(" FROM VELIX6 WHERE CNPJ = '12345678000195")
                     + (dcbs.at(1) == QStringLiteral("03853") ? QStringLiteral("' ORDER BY DATA")
                                                               : QStringLiteral("' ORDER BY DCB,DATA,NUMERONOTIFICACAO")));
        QCOMPARE(p.bookColumn("DCB"), dcbs);
        // The printed book follows the same order.
        LivroOficial1Click(p.janela);
        const QString text = p.pdf();
        qsizetype at = 0;
        for (const QString &dcb : dcbs) {
            const qsizetype next = text.indexOf(dcb, at);
            QVERIFY2(next > at, qPrintable(dcb + QStringLiteral(" out of order\n") + text));
            at = next;
        }
    }

    void apostropheInTheCnpjStaysAValue()
    {
        Pharmacy p;
        CNPJLoja = QStringLiteral("1' OR '1'='1");
        Abre_Livro(p.janela);
        QCOMPARE(p.dm.VELIX6.recordCount(), 0);
    }

    // The official book of the demo pharmacy: heading and rows on paper, only
    // the pharmacy's own rows.
    void demoOfficialBook()
    {
        Pharmacy p;
        p.db.pharmacySql(QStringLiteral(
            "INSERT INTO VELIX6 VALUES ('09999', 'Outra farmácia', '-', 'CAP', 'RJ0000001', '2026-11-03', 'Dr. Fulano', "
            "'11111', '10 CAP', '10 CAP', '02', '99', '1', '99999999000199')"));
        LivroOficial1Click(p.janela);
        QCOMPARE(p.modal.previews, QStringList{QStringLiteral("rptOficial")});
        QCOMPARE(p.janela.habilitaCalls, 1);
        QVERIFY(!p.dm.DadosGer.isOpen());
        QVERIFY(p.dm.VELIX6.isOpen());
        QCOMPARE(p.dm.VELIX6.recordCount(), 4);
        if (const QString folder = qEnvironmentVariable("VELIX6_REPORT_OUTPUT"); !folder.isEmpty()) {
            QFile::remove(folder + QStringLiteral("/demo-oficial.pdf"));
            QFile::copy(p.modal.saveEachPreviewTo, folder + QStringLiteral("/demo-oficial.pdf"));
        }
        const QString text = p.pdf();
        for (const QString &expected :
             {QStringLiteral("Secretaria Municipal de Saúde de São Paulo"), QStringLiteral("Farmácia Modelo de Manipulação Ltda"),
              QStringLiteral("12.345.678/0001-95"), QStringLiteral("NOVEMBRO / 2026"), QStringLiteral("Ana Luíza Conceição"),
              QStringLiteral("Página 1 de 1")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral("\n") + text));
        QVERIFY2(QRegularExpression(QStringLiteral("05635 +Mazindol .*10/11/2026 +Dr. João Araújo +45678 +90 CAP +90 CAP"))
                     .match(text)
                     .hasMatch(),
                 qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("Outra farmácia")));
        QVERIFY(!text.contains(QStringLiteral("RJ0000001")));
    }

    void officialBookChoosesTheReport_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("report");
        const QString cnpj = QStringLiteral(", '12345678000195'");
        QTest::newRow("blank DESCRICAO, empty DCB") << QStringList{QStringLiteral("NULL, '   ', ' '") + cnpj}
                                                    << QStringLiteral("vazio");
        QTest::newRow("the empty-book row") << QStringList{QStringLiteral("' ', ' ', ' '") + cnpj} << QStringLiteral("vazio");
        QTest::newRow("empty DESCRICAO, DCB with a letter") << QStringList{QStringLiteral("'A', '', ' '") + cnpj}
                                                            << QStringLiteral("rptOficial");
        QTest::newRow("two blank rows") << QStringList{QStringLiteral("' ', ' ', ' '") + cnpj,
                                                       QStringLiteral("' ', ' ', ' '") + cnpj}
                                        << QStringLiteral("rptOficial");
        QTest::newRow("no row") << QStringList() << QStringLiteral("rptOficial");
        QTest::newRow("one blank row of another pharmacy only")
            << QStringList{QStringLiteral("' ', ' ', ' ', '99999999000199'")} << QStringLiteral("rptOficial");
    }

    void officialBookChoosesTheReport()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, report);
        Pharmacy p;
        p.replaceBook(rows);
        LivroOficial1Click(p.janela);
        QCOMPARE(p.modal.previews, QStringList{report});
        QCOMPARE(p.janela.habilitaCalls, 1);
        // The menu command adds no placeholder row.
        QCOMPARE(p.db.pharmacyQuery(QStringLiteral("SELECT CAST(COUNT(*) AS INTEGER) FROM VELIX6"))
                     .rows.front().front().integerValue(),
                 int(rows.size()));
        if (report == QLatin1String("vazio"))
            QVERIFY(p.pdf().contains(QStringLiteral("SEM MOVIMENTO NO MÊS")));
    }

    void mostrarLivroIsTheOfficialBook()
    {
        Pharmacy p;
        p.replaceBook({QStringLiteral("' ', ' ', ' ', '12345678000195'")});
        MostrarLivro1Click(p.janela);
        QCOMPARE(p.modal.previews, QStringList{QStringLiteral("vazio")});
        QCOMPARE(p.janela.habilitaCalls, 1);
    }

    void detailedBook()
    {
        Pharmacy p;
        LivroNsdosPedidos1Click(p.janela);
        QCOMPARE(p.modal.previews, QStringList{QStringLiteral("rptDetalha")});
        QVERIFY2(QRegularExpression(QStringLiteral("Femproporex .*04/11/2026 .*30 CAP +30 CAP +01 +1202 +1"))
                     .match(p.pdf())
                     .hasMatch(),
                 qPrintable(p.pdf()));
        QVERIFY(!p.dm.DadosGer.isOpen());
        QCOMPARE(p.janela.habilitaCalls, 1);

        // Only the empty-book row: the detailed book with that one blank row.
        p.replaceBook({QStringLiteral("' ', ' ', ' ', '12345678000195'")});
        p.modal.clear();
        LivroNsdosPedidos1Click(p.janela);
        QCOMPARE(p.modal.previews, QStringList{QStringLiteral("rptDetalha")});
        QVERIFY(p.pdf().contains(QStringLiteral("Total de linhas: 1")));
    }

    void endOfPreparation_data()
    {
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QString>("report");
        QTest::newRow("month with rows") << false << QStringLiteral("rptOficial");
        QTest::newRow("month without rows") << true << QStringLiteral("vazio");
    }

    void endOfPreparation()
    {
        QFETCH(bool, empty);
        QFETCH(QString, report);
        Pharmacy p;
        if (empty)
            p.replaceBook({});
        ImprimeLivroPreparado(p.janela);
        QCOMPARE(p.modal.previews, QStringList{report});
        QVERIFY(p.dm.DadosGer.isOpen());
        QCOMPARE(p.janela.habilitaCalls, 0);
        if (empty) {
            const QueryResult stored = p.db.pharmacyQuery(
                QStringLiteral("SELECT DCB, DESCRICAO, NUMERONOTIFICACAO, CNPJ, MEDICO, DATA FROM VELIX6"));
            QCOMPARE(int(stored.rows.size()), 1);
            const auto &row = stored.rows.front();
            QCOMPARE(row.at(0).textValue(), QStringLiteral(" "));
            QCOMPARE(row.at(1).textValue(), QStringLiteral(" "));
            QCOMPARE(row.at(2).textValue(), QStringLiteral(" "));
            QCOMPARE(row.at(3).textValue(), demoCnpj);
            QVERIFY(row.at(4).isNull() && row.at(5).isNull());
            // Printed later from the menu, the same month is "vazio" again.
            p.modal.clear();
            LivroOficial1Click(p.janela);
            QCOMPARE(p.modal.previews, QStringList{QStringLiteral("vazio")});
        }
    }

    // The definition file is read again by every official book; a missing
    // file stops the command with the engine's error.
    void missingDefinitionFileStopsTheCommand()
    {
        Pharmacy p;
        LivroOficial1Click(p.janela);
        QFile::remove(RM->rvprjct1.ProjectFile);
        p.modal.clear();
        p.janela.habilitaCalls = 0;
        QVERIFY(!guarded(QStringLiteral("LivroOficial1Click"), [&p] { LivroOficial1Click(p.janela); }));
        QCOMPARE(p.modal.errors.size(), 1);
        QCOMPARE(p.modal.errors.first().message, QStringLiteral("The following reporting project does not exist:\n\"")
                                                     + p.folders.root() + QStringLiteral("/RPT/VELIX6.rav\""));
        QVERIFY(p.modal.previews.isEmpty());
        QCOMPARE(p.janela.habilitaCalls, 0);
        QVERIFY(p.dm.DadosGer.isOpen());
    }

    void printerSetup()
    {
        Pharmacy p;
        PrinterChoice choice;
        choice.printerName = QStringLiteral("Laser-Balcao");
        p.modal.printerAnswer = choice;
        actConfImpressoraExecute();
        p.modal.printerAnswer.reset();
        actConfImpressoraExecute();
        LivroOficial1Click(p.janela);
        QCOMPARE(p.modal.previewPrinters.first().printerName, QStringLiteral("Laser-Balcao"));
    }
};

QTEST_MAIN(TestLivros)
#include "test_livros.moc"
