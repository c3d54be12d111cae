// The preview window, without showing it to anyone.

#include "reportfixtures.h"
#include "report/reportdialogs.h"
#include "report/reportlayout.h"
#include "report/reportrender.h"

#include <QPrintPreviewWidget>
#include <QtTest>

using namespace velix;
using namespace velix::report;

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

        QTest::keyClick(&dialog, Qt::Key_PageDown);
        QTest::keyClick(&dialog, Qt::Key_PageDown);
        QCOMPARE(view->currentPage(), 3);
        QTest::keyClick(&dialog, Qt::Key_PageUp);
        QCOMPARE(view->currentPage(), 2);

        QTest::keyClick(&dialog, Qt::Key_Plus);
        QVERIFY(view->zoomFactor() > 1.0);
        QTest::keyClick(&dialog, Qt::Key_Minus);
        QTest::keyClick(&dialog, Qt::Key_Minus);
        QVERIFY(view->zoomFactor() < 1.0);

        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
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
