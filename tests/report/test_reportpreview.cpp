// The preview window, without showing it to anyone.

#include "reportfixtures.h"
#include "report/printerdevice.h"
#include "report/reportdialogs.h"
#include "report/reportlayout.h"
#include "report/reportrender.h"

#include <QAction>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QToolBar>
#include <QPrinter>
#include <QProcess>
#include <QtTest>

#include "tempfolders.h"

using namespace velix;
using namespace velix::report;

namespace {

QPageLayout sheet(QPageSize::PageSizeId size, QPageLayout::Orientation orientation)
{
    return QPageLayout(QPageSize(size), orientation, QMarginsF());
}

PrinterChoice chosen(QPageSize::PageSizeId size, QPageLayout::Orientation orientation, int copies = 1)
{
    PrinterChoice c;
    c.pageLayout = sheet(size, orientation);
    c.copies = copies;
    return c;
}

} // namespace

class TestReportPreview : public QObject {
    Q_OBJECT

    static RenderedReport book(int extraRows)
    {
        MemoryConnection dadosGer(test::columnsOf("DADOSGER"));
        dadosGer.append(test::demoDadosGer());
        MemoryConnection velix6(test::columnsOf("VELIX6"));
        for (int i = 0; i < 4 + extraRows; ++i)
            velix6.append(test::demoBookRows().at(i % 4));
        const ReportProjectDef project = loadReportProject(test::shippedDefinition(), test::bookSchema());
        return RenderedReport(layoutReport(*project.find(QStringLiteral("rptOficial")),
                                           {{QStringLiteral("rvdsDadosGer"), &dadosGer},
                                            {QStringLiteral("rvdsVELIX6"), &velix6}}));
    }

private slots:
    void opensAsTheReportSystemSays()
    {
        const RenderedReport doc = book(80);
        QCOMPARE(doc.jobTitle(), QStringLiteral("ReportPrinter Report"));
        ReportPreviewDialog dialog(doc, PrinterChoice());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Report Preview"));
        QVERIFY(dialog.isModal());
        QVERIFY(dialog.windowState() & Qt::WindowMaximized);
        QCOMPARE(dialog.view()->zoomMode(), QPrintPreviewWidget::CustomZoom);
        QCOMPARE(dialog.view()->zoomFactor(), 1.0);
        QCOMPARE(dialog.view()->pageCount(), doc.pageCount());
        QVERIFY(doc.pageCount() >= 3);
    }

    void keys()
    {
        const RenderedReport doc = book(80);
        ReportPreviewDialog dialog(doc, PrinterChoice());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QPrintPreviewWidget *view = dialog.view();
        // With VELIX6_REPORT_OUTPUT set, a picture of the window to look at.
        if (const QString folder = qEnvironmentVariable("VELIX6_REPORT_OUTPUT"); !folder.isEmpty()) {
            dialog.resize(1400, 900);
            QTest::qWait(50);
            dialog.grab().save(folder + QStringLiteral("/preview.png"));
        }

        QStringList texts;
        for (QAction *a : dialog.findChild<QToolBar *>()->actions())
            if (!a->text().isEmpty())
                texts << a->text();
        QCOMPARE(texts, (QStringList{"Imprimir", "Salvar", "Ampliar", "Reduzir", "100 %", "Primeira", "Anterior",
                                     "Próxima", "Última", "Fechar"}));
        const auto pageLabel = [&dialog] {
            for (const QLabel *l : dialog.findChildren<QLabel *>())
                if (l->text().startsWith(QStringLiteral("Página")))
                    return l->text().section(QStringLiteral("  "), 0, 0);
            return QString();
        };
        const QString pages = QString::number(view->pageCount());
        QCOMPARE(pageLabel(), QStringLiteral("Página 1 de ") + pages);

        QTest::keyClick(&dialog, Qt::Key_PageDown);
        QTest::keyClick(&dialog, Qt::Key_PageDown);
        QCOMPARE(view->currentPage(), 3);
        QCOMPARE(pageLabel(), QStringLiteral("Página 3 de ") + pages);
        QTest::keyClick(&dialog, Qt::Key_PageUp);
        QCOMPARE(view->currentPage(), 2);
        QTest::keyClick(&dialog, Qt::Key_End);
        QCOMPARE(view->currentPage(), view->pageCount());
        QTest::keyClick(&dialog, Qt::Key_Home);
        QCOMPARE(view->currentPage(), 1);

        QTest::keyClick(&dialog, Qt::Key_Plus);
        QVERIFY(view->zoomFactor() > 1.0);
        QTest::keyClick(&dialog, Qt::Key_Minus);
        QTest::keyClick(&dialog, Qt::Key_Minus);
        QVERIFY(view->zoomFactor() < 1.0);

        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
    }

    // The preview's printer is the one chosen in "Configurar Impressora":
    // its paper, orientation and copies; the report's own page until then.
    void previewPrintsOnTheChoice()
    {
        const RenderedReport doc = book(0);
        {
            ReportPreviewDialog dialog(doc, PrinterChoice());
            QCOMPARE(dialog.printer().pageLayout().pageSize().id(), QPageSize::A4);
            QCOMPARE(dialog.printer().pageLayout().orientation(), QPageLayout::Landscape);
            QCOMPARE(dialog.printer().copyCount(), 1);
        }
        ReportPreviewDialog dialog(doc, chosen(QPageSize::Letter, QPageLayout::Portrait, 2));
        QCOMPARE(dialog.printer().pageLayout().pageSize().id(), QPageSize::Letter);
        QCOMPARE(dialog.printer().pageLayout().orientation(), QPageLayout::Portrait);
        QCOMPARE(dialog.view()->orientation(), QPageLayout::Portrait);
        QCOMPARE(dialog.printer().copyCount(), 2);
        QCOMPARE(dialog.view()->pageCount(), doc.pageCount());
    }

    // A report page lies on the sheet whole and centred: as it is on its own
    // paper, scaled down on a smaller or turned sheet, never enlarged.
    void placedOnTheSheet_data()
    {
        QTest::addColumn<QPageLayout>("paper");
        QTest::addColumn<QRectF>("placed");   // the A4 landscape page on it, points
        const double a4w = 841.889, a4h = 595.276;
        QTest::newRow("A4 landscape") << sheet(QPageSize::A4, QPageLayout::Landscape) << QRectF(0, 0, a4w, a4h);
        const double f = a4h / a4w;
        QTest::newRow("A4 portrait") << sheet(QPageSize::A4, QPageLayout::Portrait)
                                     << QRectF(0, (a4w - a4h * f) / 2, a4h, a4h * f);
        const double g = 792 / a4w;
        QTest::newRow("Letter landscape") << sheet(QPageSize::Letter, QPageLayout::Landscape)
                                          << QRectF(0, (612 - a4h * g) / 2, 792, a4h * g);
        QTest::newRow("Legal landscape") << sheet(QPageSize::Legal, QPageLayout::Landscape)
                                         << QRectF((1008 - a4w) / 2, (612 - a4h) / 2, a4w, a4h);
    }

    void placedOnTheSheet()
    {
        QFETCH(QPageLayout, paper);
        QFETCH(QRectF, placed);
        const QRectF page = velix::pageOnSheet(sheet(QPageSize::A4, QPageLayout::Landscape), paper)
                                .mapRect(QRectF(0, 0, 841.889, 595.276));
        const QRectF full = paper.fullRect(QPageLayout::Point);
        QVERIFY2(full.adjusted(-0.5, -0.5, 0.5, 0.5).contains(page), qPrintable(QStringLiteral("%1 %2 %3 %4")
                     .arg(page.x()).arg(page.y()).arg(page.width()).arg(page.height())));
        for (auto [got, want] : {std::pair{page.x(), placed.x()}, {page.y(), placed.y()},
                                 {page.width(), placed.width()}, {page.height(), placed.height()}})
            QVERIFY2(qAbs(got - want) < 0.5, qPrintable(QStringLiteral("%1 for %2").arg(got).arg(want)));
    }

    // Printed (to a PDF, no printer needed) on a portrait sheet: every page
    // on its own sheet of the chosen size, every row there.
    void printsOnTheChosenSheet()
    {
        test::TempFolders t;
        const RenderedReport doc = book(40);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = t.base() + QStringLiteral("/impresso.pdf");
        printer.setOutputFileName(pdf);
        applyPrinterChoice(printer, chosen(QPageSize::A4, QPageLayout::Portrait), doc.pageLayout());
        int started = 0;
        printReportDocument(doc, printer, [&](int page) { QCOMPARE(page, ++started); });
        QCOMPARE(started, doc.pageCount());
        if (const QString folder = qEnvironmentVariable("VELIX6_REPORT_OUTPUT"); !folder.isEmpty()) {
            QFile::remove(folder + QStringLiteral("/impresso-retrato.pdf"));
            QFile::copy(pdf, folder + QStringLiteral("/impresso-retrato.pdf"));
        }
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY(info.waitForFinished(60000));
        const QString facts = QString::fromUtf8(info.readAllStandardOutput());
        const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages: +(\\d+)")).match(facts);
        QCOMPARE(pages.captured(1).toInt(), doc.pageCount());
        QVERIFY2(facts.contains(QStringLiteral("Page size:       595")), qPrintable(facts));
        const QString text = test::pdfText(pdf);
        QCOMPARE(text.count(QStringLiteral("SP1234567")), 11);
        QVERIFY(text.contains(QStringLiteral("Página %1 de %1").arg(doc.pageCount())));
    }

    void saveFileName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("saved");
        const QString pdf = pdfRenderer().nameFilter(), html = htmlRenderer().nameFilter();
        QTest::newRow("pdf typed") << QStringLiteral("/t/livro.pdf") << html << QStringLiteral("/t/livro.pdf");
        QTest::newRow("html typed, pdf filter") << QStringLiteral("/t/livro.html") << pdf << QStringLiteral("/t/livro.html");
        QTest::newRow("htm typed") << QStringLiteral("/t/livro.HTM") << pdf << QStringLiteral("/t/livro.HTM");
        QTest::newRow("no extension, pdf filter") << QStringLiteral("/t/livro") << pdf << QStringLiteral("/t/livro.pdf");
        QTest::newRow("no extension, html filter") << QStringLiteral("/t/livro") << html << QStringLiteral("/t/livro.html");
        QTest::newRow("other extension") << QStringLiteral("/t/livro.nov") << pdf << QStringLiteral("/t/livro.nov.pdf");
    }

    void saveFileName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, saved);
        QCOMPARE(previewSaveFileName(typed, filter), saved);
    }
};

QTEST_MAIN(TestReportPreview)
#include "test_reportpreview.moc"
