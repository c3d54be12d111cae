// The report module: its settings, the project read from RPT/VELIX6.rav,
// running reports into the preview and the printer setup.

#include "recordingmodal.h"
#include "reportfixtures.h"
#include "report/uRM.h"
#include "tempfolders.h"

#include <QFile>
#include <QtTest>

using namespace velix;

namespace {

struct Fixture {
    test::TempFolders folders;
    test::RecordingModal modal;
    report::MemoryConnection dadosGer{test::columnsOf("DADOSGER")};
    report::MemoryConnection velix6{test::columnsOf("VELIX6")};
    RMInstance rm;

    Fixture()
    {
        installDefinition();
        dadosGer.append(test::demoDadosGer());
        for (const QVariantList &row : test::demoBookRows())
            velix6.append(row);
        rm->rvdsDadosGer.DataSet = &dadosGer;
        rm->rvdsVELIX6.DataSet = &velix6;
    }

    void installDefinition(const QByteArray &bytes = {}) const
    {
        QFile shipped(test::shippedDefinition());
        folders.writeFile(QStringLiteral("root/RPT/VELIX6.rav"),
                          bytes.isEmpty() && shipped.open(QIODevice::ReadOnly) ? shipped.readAll() : bytes);
    }
};

} // namespace

class TestRM : public QObject {
    Q_OBJECT
private slots:
    void reportSystemSettings()
    {
        Fixture f;
        const TRvSystem &s = f.rm->rvsystm1;
        QCOMPARE(s.TitleSetup, QStringLiteral("Output Options"));
        QCOMPARE(s.TitleStatus, QStringLiteral("Report Status"));
        QCOMPARE(s.TitlePreview, QStringLiteral("Report Preview"));
        QCOMPARE(s.StatusFormat, QStringLiteral("Generating page %p"));
        QCOMPARE(s.StatusPrintFormat, QStringLiteral("Printing page %p"));
        QCOMPARE(s.JobTitle, QStringLiteral("ReportPrinter Report"));
        QCOMPARE(s.DefaultDest, TRvSystem::Destination::Preview);
        QVERIFY(s.PreviewModal && s.AllowPrintFromPreview && s.PreviewMaximized);
        QCOMPARE(s.PreviewZoom, 100);
        QCOMPARE(f.rm->rvprjct1.ProjectFile, f.folders.root() + QStringLiteral("/RPT/VELIX6.rav"));
        QCOMPARE(f.rm->rvdsVELIX6.name(), QStringLiteral("rvdsVELIX6"));
        QCOMPARE(f.rm->rvdsVELIX6.fieldNames().size(), 14);
        QCOMPARE(f.rm->rvdsDadosGer.name(), QStringLiteral("rvdsDadosGer"));
        QCOMPARE(f.rm->rvdsDadosGer.fieldNames().size(), 45);
        QCOMPARE(f.rm->rpdf1.displayName, QStringLiteral("Adobe Acrobat (PDF)"));
        QCOMPARE(f.rm->rpdf1.fileExtension, QStringLiteral("*.pdf"));
        QCOMPARE(f.rm->rhtml1.displayName, QStringLiteral("Web Page (HTML)"));
        QCOMPARE(f.rm->rhtml1.fileExtension, QStringLiteral("*.html;*.htm"));
        QVERIFY(!s.renderObject());
        f.rm->rvsystm1.setRenderObject(&f.rm->rpdf1);
        QCOMPARE(f.rm->rvsystm1.renderObject(), &f.rm->rpdf1);
    }

    void executeShowsThePreview()
    {
        Fixture f;
        f.modal.saveEachPreviewTo = f.folders.base() + QStringLiteral("/livro.pdf");
        QStringList status;
        f.rm->rvsystm1.onStatus = [&](const QString &s) { status << s; };
        QVERIFY(f.rm->rvprjct1.execute(QStringLiteral("rptOficial")));
        QCOMPARE(f.modal.previews, QStringList{QStringLiteral("rptOficial")});
        QCOMPARE(status, QStringList{QStringLiteral("Generating page 1")});
        const QString text = test::pdfText(f.modal.saveEachPreviewTo);
        QVERIFY2(text.contains(QStringLiteral("Cloridrato de sibutramina")), qPrintable(text));
        QVERIFY(f.modal.errors.isEmpty() && f.modal.messages.isEmpty());
        // The book's rows are back on their first row.
        QVERIFY(!f.velix6.eof());
        QCOMPARE(f.velix6.value(QStringLiteral("DCB")).toString(), QStringLiteral("00733"));
    }

    void statusWindowWhileTheBookIsGenerated_data()
    {
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("interval");
        QTest::addColumn<QString>("shown");   // "all" pages, "first" page only, "none"
        QTest::newRow("every page") << 0 << 0 << QStringLiteral("all");
        QTest::newRow("a few times a second") << 0 << 60000 << QStringLiteral("first");
        QTest::newRow("too quick to be seen") << 60000 << 0 << QStringLiteral("none");
    }

    void statusWindowWhileTheBookIsGenerated()
    {
        QFETCH(int, delay);
        QFETCH(int, interval);
        QFETCH(QString, shown);
        Fixture f;
        // A book of many pages.
        const QList<QVariantList> rows = test::demoBookRows();
        for (int i = 0; i < 300; ++i)
            f.velix6.append(rows.at(i % rows.size()));
        f.rm->rvsystm1.StatusDelayMs = delay;
        f.rm->rvsystm1.StatusIntervalMs = interval;
        bool openDuringPreview = true;
        f.modal.onPreview = [&](const ReportDocument &) { openDuringPreview = f.modal.statusOpen; };
        QVERIFY(f.rm->rvprjct1.execute(QStringLiteral("rptOficial")));
        const int pages = f.modal.previewPages.value(0);
        QVERIFY(pages > 5);
        QStringList all;
        for (int p = 1; p <= pages; ++p)
            all << QStringLiteral("Generating page %1").arg(p);
        if (shown == QLatin1String("none")) {
            QVERIFY(f.modal.statusTitles.isEmpty());
            QVERIFY(f.modal.statusTexts.isEmpty());
        } else {
            QCOMPARE(f.modal.statusTitles, QStringList{QStringLiteral("Report Status")});
            QCOMPARE(f.modal.statusTexts, shown == QLatin1String("all") ? all : all.mid(0, 1));
        }
        // Closed before the preview opens.
        QVERIFY(!openDuringPreview);
        QVERIFY(!f.modal.statusOpen);
        QVERIFY(!f.rm->rvsystm1.generating());
    }

    void unknownReportPrintsNothingAndSaysNothing()
    {
        Fixture f;
        QVERIFY(!f.rm->rvprjct1.execute(QStringLiteral("rptMensal")));
        QVERIFY(f.modal.previews.isEmpty());
        QVERIFY(f.modal.messages.isEmpty() && f.modal.errors.isEmpty());
    }

    void missingDefinitionFile()
    {
        Fixture f;
        QFile::remove(f.rm->rvprjct1.ProjectFile);
        const bool ok = guarded(QStringLiteral("LivroOficial1Click"),
                                [&] { f.rm->rvprjct1.execute(QStringLiteral("rptOficial")); });
        QVERIFY(!ok);
        QCOMPARE(f.modal.errors.size(), 1);
        QCOMPARE(f.modal.errors.first().message, QStringLiteral("The following reporting project does not exist:\n\"")
                                                     + f.rm->rvprjct1.ProjectFile + QStringLiteral("\""));
        QVERIFY(f.modal.previews.isEmpty());
        QVERIFY(!f.rm->rvprjct1.isOpen());
    }

    void malformedDefinitionFileNamesItself()
    {
        Fixture f;
        f.installDefinition("{\"format\": \"VELIX6 report definition\", \"reports\": [{\"name\": \"rptOficial\", "
                            "\"bands\": [{\"kind\": \"cabecalho\", \"height\": 1}]}]}");
        guarded(QStringLiteral("LivroOficial1Click"), [&] { f.rm->rvprjct1.execute(QStringLiteral("rptOficial")); });
        QCOMPARE(f.modal.errors.size(), 1);
        QCOMPARE(f.modal.errors.first().message,
                 QStringLiteral("Report definition file \"%1\": unknown band kind \"cabecalho\" in report \"rptOficial\", band 1")
                     .arg(f.rm->rvprjct1.ProjectFile));
    }

    // An open project keeps the reports it read; close() makes the next
    // execution read the file again.
    void closeRereadsTheFile()
    {
        Fixture f;
        f.rm->rvprjct1.open();
        f.installDefinition("{\"format\": \"VELIX6 report definition\", \"reports\": []}");
        QVERIFY(f.rm->rvprjct1.execute(QStringLiteral("vazio")));
        f.rm->rvprjct1.close();
        f.rm->rvprjct1.close();
        QVERIFY(!f.rm->rvprjct1.execute(QStringLiteral("vazio")));
        QCOMPARE(f.modal.previews, QStringList{QStringLiteral("vazio")});
    }

    void printerSetupKeepsTheChoiceForTheRun()
    {
        Fixture f;
        PrinterChoice chosen;
        chosen.printerName = QStringLiteral("Balcao-HP");
        chosen.copies = 2;
        f.modal.printerAnswer = chosen;
        QVERIFY(f.rm->rvsystm1.printerSetup());

        f.modal.printerAnswer.reset();   // cancelled
        QVERIFY(!f.rm->rvsystm1.printerSetup());
        QCOMPARE(f.modal.printerSetups, 2);
        QCOMPARE(f.rm->rvsystm1.Printer.printerName, QStringLiteral("Balcao-HP"));

        f.rm->rvprjct1.execute(QStringLiteral("rptOficial"));
        QCOMPARE(f.modal.previewPrinters.size(), 1);
        QCOMPARE(f.modal.previewPrinters.first().printerName, QStringLiteral("Balcao-HP"));
        QCOMPARE(f.modal.previewPrinters.first().copies, 2);
    }
};

QTEST_MAIN(TestRM)
#include "test_rm.moc"
