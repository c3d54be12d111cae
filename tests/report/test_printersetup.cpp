// "Configurar Impressora": the print-setup dialog, over made-up printers and
// over whatever this computer has installed (often none), and the choice
// reaching the next book's preview. No dialog waits for a user: each one is
// answered by a timer or driven while open non-modally.

#include "recordingmodal.h"
#include "reportfixtures.h"
#include "report/printersetup.h"
#include "report/reportdialogs.h"
#include "report/uRM.h"
#include "tempfolders.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

using namespace velix;

Q_DECLARE_METATYPE(velix::PrinterChoice)

namespace {

// Two printers: a label printer that takes no A4, and the default one.
QList<PrinterOption> twoPrinters()
{
    PrinterOption etiquetas;
    etiquetas.name = QStringLiteral("Etiquetas");
    etiquetas.description = QStringLiteral("Impressora de etiquetas");
    etiquetas.pageSizes = {QPageSize(QPageSize::Letter), QPageSize(QPageSize::Legal)};
    etiquetas.defaultPageSize = QPageSize(QPageSize::Legal);
    PrinterOption balcao;
    balcao.name = QStringLiteral("Laser-Balcao");
    balcao.pageSizes = {QPageSize(QPageSize::Letter), QPageSize(QPageSize::A4), QPageSize(QPageSize::A5)};
    balcao.defaultPageSize = QPageSize(QPageSize::Letter);
    balcao.isDefault = true;
    return {etiquetas, balcao};
}

PrinterChoice choiceOf(const QString &printer, QPageSize::PageSizeId paper = QPageSize::LastPageSize,
                       QPageLayout::Orientation orientation = QPageLayout::Landscape, int copies = 1)
{
    PrinterChoice c;
    c.printerName = printer;
    if (paper != QPageSize::LastPageSize)
        c.pageLayout = QPageLayout(QPageSize(paper), orientation, QMarginsF());
    c.copies = copies;
    return c;
}

// Runs `answer` on the print-setup dialog as soon as it is open.
void whenDialogOpens(const std::function<void(PrinterSetupDialog &)> &answer)
{
    QTimer::singleShot(0, qApp, [answer] {
        auto *dialog = qobject_cast<PrinterSetupDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(*dialog);
    });
}

// Sets the dialog to something other than what it opened with.
void changeEverything(PrinterSetupDialog &d)
{
    d.paperBox()->setCurrentIndex((d.paperBox()->currentIndex() + 1) % d.paperBox()->count());
    (d.portraitButton()->isChecked() ? d.landscapeButton() : d.portraitButton())->setChecked(true);
    d.copiesBox()->setValue(d.copiesBox()->value() + 2);
}

void sameChoice(const PrinterChoice &a, const PrinterChoice &b)
{
    QCOMPARE(a.printerName, b.printerName);
    QVERIFY2(a.pageLayout.isValid() == b.pageLayout.isValid()
                 && (!a.pageLayout.isValid() || a.pageLayout.isEquivalentTo(b.pageLayout)),
             qPrintable(a.pageLayout.pageSize().name() + QStringLiteral(" / ") + b.pageLayout.pageSize().name()));
    QCOMPARE(a.copies, b.copies);
    QCOMPARE(a.collate, b.collate);
}

// The window's seam: the real dialog for the printer setup.
class DialogModal : public test::RecordingModal {
public:
    bool printerSetup(PrinterChoice &printer) override
    {
        ++printerSetups;
        return execPrinterSetup(printer);
    }
};

} // namespace

class TestPrinterSetup : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheCurrentChoice_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<PrinterChoice>("current");
        QTest::addColumn<QString>("printer");
        QTest::addColumn<int>("paper");
        QTest::addColumn<bool>("portrait");
        QTest::addColumn<int>("copies");
        QTest::newRow("first time: default printer, A4, the books' landscape")
            << true << PrinterChoice() << QStringLiteral("Laser-Balcao") << int(QPageSize::A4) << false << 1;
        QTest::newRow("printer chosen before, without A4: its default paper")
            << true << choiceOf(QStringLiteral("Etiquetas")) << QStringLiteral("Etiquetas") << int(QPageSize::Legal)
            << false << 1;
        QTest::newRow("paper, orientation and copies chosen before")
            << true << choiceOf(QStringLiteral("Etiquetas"), QPageSize::Letter, QPageLayout::Portrait, 3)
            << QStringLiteral("Etiquetas") << int(QPageSize::Letter) << true << 3;
        QTest::newRow("paper the printer does not take: A4")
            << true << choiceOf(QStringLiteral("Laser-Balcao"), QPageSize::Legal) << QStringLiteral("Laser-Balcao")
            << int(QPageSize::A4) << false << 1;
        QTest::newRow("printer no longer installed: the default one")
            << true << choiceOf(QStringLiteral("Removida"), QPageSize::A5, QPageLayout::Portrait)
            << QStringLiteral("Laser-Balcao") << int(QPageSize::A5) << true << 1;
        QTest::newRow("no printer installed: the common papers")
            << false << choiceOf(QString(), QPageSize::Legal, QPageLayout::Portrait, 2) << QString()
            << int(QPageSize::Legal) << true << 2;
    }

    void opensOnTheCurrentChoice()
    {
        QFETCH(bool, installed);
        QFETCH(PrinterChoice, current);
        QFETCH(QString, printer);
        QFETCH(int, paper);
        QFETCH(bool, portrait);
        QFETCH(int, copies);
        PrinterSetupDialog d(current, installed ? twoPrinters() : QList<PrinterOption>());
        QCOMPARE(d.windowTitle(), QStringLiteral("Configurar Impressora"));
        QCOMPARE(d.printerBox()->isEnabled(), installed);
        if (!installed)
            QCOMPARE(d.paperBox()->count(), int(commonPageSizes().size()));
        QCOMPARE(d.paperBox()->currentText(), QPageSize::name(QPageSize::PageSizeId(paper)));
        QCOMPARE(d.portraitButton()->isChecked(), portrait);
        QCOMPARE(d.landscapeButton()->isChecked(), !portrait);
        QCOMPARE(d.copiesBox()->value(), copies);
        const PrinterChoice c = d.choice();
        QCOMPARE(c.printerName, installed ? printer : current.printerName);
        QCOMPARE(int(c.pageLayout.pageSize().id()), paper);
        QCOMPARE(c.pageLayout.orientation(), portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
        QCOMPARE(c.copies, copies);
    }

    // Each printer offers its own papers; the paper stays when the next
    // printer takes it, otherwise A4, otherwise the printer's default.
    void papersFollowThePrinter()
    {
        PrinterSetupDialog d(choiceOf(QStringLiteral("Laser-Balcao"), QPageSize::Letter), twoPrinters());
        QCOMPARE(d.printerBox()->itemText(1), QStringLiteral("Laser-Balcao (padrão)"));
        QCOMPARE(d.paperBox()->count(), 3);
        d.printerBox()->setCurrentIndex(0);
        QCOMPARE(d.paperBox()->count(), 2);
        QCOMPARE(d.choice().pageLayout.pageSize().id(), QPageSize::Letter);
        d.paperBox()->setCurrentIndex(1);   // Legal
        d.printerBox()->setCurrentIndex(1);
        QCOMPARE(d.choice().pageLayout.pageSize().id(), QPageSize::A4);
        QCOMPARE(d.choice().printerName, QStringLiteral("Laser-Balcao"));
    }

    // Enter confirms from any field, Esc cancels.
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(QDialog::Accepted);
        QTest::newRow("Esc") << int(Qt::Key_Escape) << int(QDialog::Rejected);
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, result);
        for (int field = 0; field < 3; ++field) {
            PrinterSetupDialog d(PrinterChoice(), twoPrinters());
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QWidget *focus = std::array<QWidget *, 3>{d.printerBox(), d.paperBox(), d.copiesBox()}[size_t(field)];
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key(key));
            QVERIFY2(!d.isVisible(), qPrintable(focus->metaObject()->className()));
            QCOMPARE(d.result(), result);
        }
    }

    // Through the real dialog over this computer's printers (none needed):
    // a confirmed choice is what the dialog showed, a cancelled one changes
    // nothing.
    void confirmAndCancel()
    {
        const PrinterChoice before = choiceOf(QStringLiteral("Balcao"));
        PrinterChoice choice = before;
        PrinterChoice shown;
        whenDialogOpens([&](PrinterSetupDialog &d) {
            changeEverything(d);
            shown = d.choice();
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        QVERIFY(!execPrinterSetup(choice));
        sameChoice(choice, before);

        whenDialogOpens([&](PrinterSetupDialog &d) {
            changeEverything(d);
            shown = d.choice();
            QTest::keyClick(&d, Qt::Key_Return);
        });
        QVERIFY(execPrinterSetup(choice));
        sameChoice(choice, shown);
        QCOMPARE(choice.copies, 3);
        QCOMPARE(choice.pageLayout.orientation(), QPageLayout::Portrait);
        if (installedPrinters().isEmpty())
            QCOMPARE(choice.printerName, QStringLiteral("Balcao"));
    }

    // "Configurar Impressora" with the window's seam: the confirmed choice is
    // the printer of the next books' previews; a later cancel keeps it.
    void nextBooksPrintOnTheChoice()
    {
        test::TempFolders folders;
        QFile shipped(test::shippedDefinition());
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        folders.writeFile(QStringLiteral("root/RPT/VELIX6.rav"), shipped.readAll());
        DialogModal modal;
        report::MemoryConnection dadosGer(test::columnsOf("DADOSGER")), velix6(test::columnsOf("VELIX6"));
        dadosGer.append(test::demoDadosGer());
        velix6.append(test::demoBookRows().first());
        RMInstance rm;
        rm->rvdsDadosGer.DataSet = &dadosGer;
        rm->rvdsVELIX6.DataSet = &velix6;

        PrinterChoice shown;
        whenDialogOpens([&](PrinterSetupDialog &d) {
            changeEverything(d);
            shown = d.choice();
            QTest::keyClick(&d, Qt::Key_Return);
        });
        QVERIFY(rm->rvsystm1.printerSetup());
        QVERIFY(rm->rvprjct1.execute(QStringLiteral("rptOficial")));

        whenDialogOpens([](PrinterSetupDialog &d) {
            changeEverything(d);
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        QVERIFY(!rm->rvsystm1.printerSetup());
        QVERIFY(rm->rvprjct1.execute(QStringLiteral("rptDetalha")));

        QCOMPARE(modal.printerSetups, 2);
        QCOMPARE(modal.previews, (QStringList{QStringLiteral("rptOficial"), QStringLiteral("rptDetalha")}));
        for (const PrinterChoice &printer : modal.previewPrinters)
            sameChoice(printer, shown);
    }
};

QTEST_MAIN(TestPrinterSetup)
#include "test_printersetup.moc"
