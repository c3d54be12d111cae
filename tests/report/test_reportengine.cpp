// The report engine without a window: definition files, layout, PDF and HTML.

#include "reportfixtures.h"
#include "report/reportlayout.h"
#include "report/reportrender.h"
#include "tempfolders.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtTest>

using namespace velix;
using namespace velix::report;

namespace {

// A one-report definition around the given bands.
QByteArray withBands(const QByteArray &bands)
{
    return "{\"format\": \"VELIX6 report definition\", \"version\": 1, \"reports\": [{\"name\": \"r\", \"page\": {\"orientation\": \"landscape\"}, \"bands\": ["
           + bands + "]}]}";
}

ReportProjectDef shipped()
{
    return loadReportProject(test::shippedDefinition(), test::bookSchema());
}

struct Book {
    MemoryConnection dadosGer{test::columnsOf("DADOSGER")};
    MemoryConnection velix6{test::columnsOf("VELIX6")};
    ConnectionMap map() { return {{QStringLiteral("rvdsDadosGer"), &dadosGer}, {QStringLiteral("rvdsVELIX6"), &velix6}}; }
};

Book demoBook()
{
    Book b;
    b.dadosGer.append(test::demoDadosGer());
    for (const QVariantList &row : test::demoBookRows())
        b.velix6.append(row);
    return b;
}

LaidOutReport run(const QString &name, Book &book)
{
    const ReportProjectDef project = shipped();
    const ReportDef *def = project.find(name);
    if (!def)
        qFatal("no report %s", qPrintable(name));
    return layoutReport(*def, book.map());
}

// With VELIX6_REPORT_OUTPUT set to a folder, the rendered files are copied
// there, to be looked at as images (pdftoppm).
void keepForLooking(const QString &file)
{
    const QString folder = qEnvironmentVariable("VELIX6_REPORT_OUTPUT");
    if (folder.isEmpty())
        return;
    const QString target = folder + QLatin1Char('/') + QFileInfo(file).fileName();
    QFile::remove(target);
    QFile::copy(file, target);
}

// The same for a laid-out report, written as a PDF first.
void keepForLooking(const LaidOutReport &report, const QString &name)
{
    if (!qEnvironmentVariableIsSet("VELIX6_REPORT_OUTPUT"))
        return;
    test::TempFolders t;
    const QString pdf = t.base() + name;
    writePdf(report, pdf);
    keepForLooking(pdf);
}

QString withoutBlanks(QString s)
{
    return s.remove(QRegularExpression(QStringLiteral("\\s")));
}

} // namespace

class TestReportEngine : public QObject {
    Q_OBJECT
private slots:
    void definitionErrors_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        QTest::newRow("bad JSON") << QByteArray("{\"format\": \"VELIX6 report definition\", \"reports\": [")
                                  << QStringLiteral("not valid JSON at offset 51");
        QTest::newRow("not our format") << QByteArray("{\"format\": \"other\", \"reports\": []}")
                                        << QStringLiteral("\"format\" is not \"VELIX6 report definition\"");
        QTest::newRow("report without name")
            << QByteArray("{\"format\": \"VELIX6 report definition\", \"reports\": [{\"bands\": []}]}")
            << QStringLiteral("report 1 has no name");
        QTest::newRow("unknown band kind") << withBands("{\"kind\": \"header\", \"height\": 1}")
                                           << QStringLiteral("unknown band kind \"header\" in report \"r\", band 1");
        QTest::newRow("unknown field")
            << withBands("{\"kind\": \"title\", \"height\": 1, \"elements\": [ {\"type\": \"text\", \"width\": 5, \"height\": 1, \"text\": \"{rvdsDadosGer.FIRMA} {rvdsVELIX6.REMEDIO}\"}]}")
            << QStringLiteral("unknown field \"REMEDIO\" of connection \"rvdsVELIX6\" in report \"r\", band 1 (title), element 1");
        QTest::newRow("unknown connection in a column")
            << withBands("{\"kind\": \"detail\", \"connection\": \"rvdsVELIX6\", \"columns\": [{\"title\": \"x\", \"text\": \"{rvdsPedidos.NPEDIDO}\", \"width\": 2}]}")
            << QStringLiteral("unknown connection \"rvdsPedidos\" in report \"r\", band 1 (detail), column 1");
        QTest::newRow("detail over an unknown connection")
            << withBands("{\"kind\": \"detail\", \"connection\": \"rvds\", \"columns\": []}")
            << QStringLiteral("unknown connection \"rvds\" in report \"r\", band 1 (detail)");
        QTest::newRow("misspelt key") << withBands("{\"kind\": \"title\", \"hieght\": 1}")
                                      << QStringLiteral("unknown key \"hieght\" in report \"r\", band 1 (title)");
        QTest::newRow("unknown element type")
            << withBands("{\"kind\": \"title\", \"height\": 1, \"elements\": [{\"type\": \"image\"}]}")
            << QStringLiteral("unknown element type \"image\"");
        QTest::newRow("text as a number")
            << withBands("{\"kind\": \"title\", \"height\": \"1\"}")
            << QStringLiteral("\"height\" in report \"r\", band 1 (title) is not a number");
        QTest::newRow("unclosed reference")
            << withBands("{\"kind\": \"title\", \"height\": 1, \"elements\": [ {\"type\": \"text\", \"width\": 5, \"height\": 1, \"text\": \"Página {PAGE\"}]}")
            << QStringLiteral("unclosed \"{\"");
        QTest::newRow("rows kept as a fraction")
            << withBands("{\"kind\": \"summary\", \"height\": 1, \"keepWithRows\": 1.5}")
            << QStringLiteral("\"keepWithRows\" in report \"r\", band 1 (summary) is not a whole number of rows");
        QTest::newRow("unclosed separator")
            << withBands("{\"kind\": \"title\", \"height\": 1, \"elements\": [ {\"type\": \"text\", \"width\": 5, \"height\": 1, \"text\": \"{rvdsDadosGer.MES}[ / \"}]}")
            << QStringLiteral("unclosed \"[\"");
        QTest::newRow("reference inside a separator")
            << withBands("{\"kind\": \"title\", \"height\": 1, \"elements\": [ {\"type\": \"text\", \"width\": 5, \"height\": 1, \"text\": \"a[ {rvdsDadosGer.MES} ]b\"}]}")
            << QStringLiteral("the separator \"[ {rvdsDadosGer.MES} ]\" in report \"r\", band 1 (title), element 1 holds more than text");
        // Numbers out of their range, as a hand-edited file may hold them.
        const auto rect = [](const QByteArray &extra) {
            return withBands("{\"kind\": \"title\", \"height\": 1, \"elements\": [{\"type\": \"rect\", \"width\": 2, \"height\": 1, "
                             + extra + "}]}");
        };
        const auto text = [](const QByteArray &extra) {
            return withBands("{\"kind\": \"title\", \"height\": 1, \"elements\": [{\"type\": \"text\", \"width\": 2, \"height\": 1, \"text\": \"x\", "
                             + extra + "}]}");
        };
        const auto detail = [](const QByteArray &extra) {
            return withBands("{\"kind\": \"detail\", \"connection\": \"rvdsVELIX6\", " + extra
                             + ", \"columns\": [{\"title\": \"x\", \"text\": \"{rvdsVELIX6.DCB}\", \"width\": 2}]}");
        };
        const QString element = QStringLiteral(" in report \"r\", band 1 (title), element 1 is ");
        QTest::newRow("fill beyond an int") << rect("\"fill\": 3e9") << QStringLiteral("\"fill\"") + element + QStringLiteral("3000000000, outside 0 to 255");
        QTest::newRow("fill above 255") << rect("\"fill\": 256") << QStringLiteral("\"fill\"") + element + QStringLiteral("256, outside 0 to 255");
        QTest::newRow("fill negative") << rect("\"fill\": -1") << QStringLiteral("\"fill\"") + element + QStringLiteral("-1, outside 0 to 255");
        QTest::newRow("fill as a fraction") << rect("\"fill\": 12.5") << QStringLiteral("\"fill\" in report \"r\", band 1 (title), element 1 is not a whole number");
        QTest::newRow("line width negative") << rect("\"lineWidth\": -2") << QStringLiteral("\"lineWidth\"") + element + QStringLiteral("-2, outside 0 to 20");
        QTest::newRow("position far off the page") << rect("\"x\": 1e300") << QStringLiteral("\"x\"") + element + QStringLiteral("1e+300, outside 0 to 100");
        QTest::newRow("minSize negative") << text("\"minSize\": -20000") << QStringLiteral("\"minSize\"") + element + QStringLiteral("-20000, outside 1 to 200");
        QTest::newRow("minSize hugely negative") << text("\"minSize\": -1e9") << QStringLiteral("\"minSize\"") + element + QStringLiteral("-1000000000, outside 1 to 200");
        QTest::newRow("minSize zero") << text("\"minSize\": 0") << QStringLiteral("\"minSize\"") + element + QStringLiteral("0, outside 1 to 200");
        QTest::newRow("headerFill beyond an int")
            << detail("\"headerFill\": 3e9")
            << QStringLiteral("\"headerFill\" in report \"r\", band 1 (detail) is 3000000000, outside 0 to 255");
        QTest::newRow("headerFill above 255")
            << detail("\"headerFill\": 300")
            << QStringLiteral("\"headerFill\" in report \"r\", band 1 (detail) is 300, outside 0 to 255");
        QTest::newRow("rows kept beyond an int")
            << withBands("{\"kind\": \"summary\", \"height\": 1, \"keepWithRows\": 3e9}")
            << QStringLiteral("\"keepWithRows\" in report \"r\", band 1 (summary) is 3000000000, outside 0 to 1000");
        QTest::newRow("band taller than any page")
            << withBands("{\"kind\": \"title\", \"height\": 5000}")
            << QStringLiteral("\"height\" in report \"r\", band 1 (title) is 5000, outside 0 to 100");
        QTest::newRow("margins beyond the page")
            << QByteArray("{\"format\": \"VELIX6 report definition\", \"reports\": [{\"name\": \"r\", \"page\": {\"margins\": [15, 1, 15, 1]}}]}")
            << QStringLiteral("\"margins\" in the page of report \"r\" leave less than 1 cm of the page");
        QTest::newRow("margin out of range")
            << QByteArray("{\"format\": \"VELIX6 report definition\", \"reports\": [{\"name\": \"r\", \"page\": {\"margins\": [1, -3, 1, 1]}}]}")
            << QStringLiteral("\"margins\" in the page of report \"r\" is -3, outside 0 to 20");
        QTest::newRow("two reports of one name")
            << QByteArray("{\"format\": \"VELIX6 report definition\", \"reports\": [{\"name\": \"a\"}, {\"name\": \"a\"}]}")
            << QStringLiteral("report \"a\" is defined twice");
    }

    void definitionErrors()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        const QString file = QStringLiteral("/x/RPT/VELIX6.rav");
        try {
            parseReportProject(json, file, test::bookSchema());
            QFAIL("no error");
        } catch (const ReportError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Report definition file \"/x/RPT/VELIX6.rav\": ")),
                     qPrintable(e.message()));
            QVERIFY2(e.message().contains(error), qPrintable(e.message()));
            QCOMPARE(e.className(), QStringLiteral("EReportError"));
        }
    }

    void shrinkingStopsAtTheSmallestFont()
    {
        // A definition built in code is not checked like a file: the layout
        // still bounds the shrinking of a text that never fits its box.
        ReportDef def;
        def.name = QStringLiteral("r");
        def.page = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(30, 30, 30, 30), QPageLayout::Point);
        Band title;
        title.kind = BandKind::Title;
        title.height = 10;
        Element e;
        e.box = QRectF(0, 0, 20, 5);
        e.text.pieces.append(TextPiece{TextPiece::Literal, QString(400, QLatin1Char('W')), {}, {}});
        e.minSize = -1e9;
        title.elements.append(e);
        def.bands.append(title);
        Book book;
        QElapsedTimer clock;
        clock.start();
        const LaidOutReport out = layoutReport(def, book.map());
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(out.fonts.size() <= 400);
        for (const FontStyle &f : out.fonts)
            QVERIFY2(f.size >= minFontSize, qPrintable(QString::number(f.size)));
        // Nothing was cut: every character of the text is printed.
        QCOMPARE(withoutBlanks(plainText(out)).count(QLatin1Char('W')), 400);
    }

    void missingDefinitionFile()
    {
        test::TempFolders t;
        const QString path = t.root() + QStringLiteral("/RPT/VELIX6.rav");
        try {
            loadReportProject(path, test::bookSchema());
            QFAIL("no error");
        } catch (const ReportError &e) {
            QCOMPARE(e.message(), QStringLiteral("The following reporting project does not exist:\n\"") + path
                                      + QStringLiteral("\""));
        }
    }

    void shippedDefinitionHoldsTheThreeBooks()
    {
        const ReportProjectDef project = shipped();
        for (const char *name : {"rptOficial", "rptDetalha", "vazio"}) {
            const ReportDef *r = project.find(QLatin1String(name));
            QVERIFY2(r, name);
            QCOMPARE(r->page.orientation(), QPageLayout::Landscape);
            QCOMPARE(r->page.pageSize().id(), QPageSize::A4);
        }
        QVERIFY(!project.find(QStringLiteral("RPTOFICIAL")));
    }

    void fieldTexts_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("date") << QVariant(QDate(2026, 11, 2)) << QString() << QStringLiteral("02/11/2026");
        QTest::newRow("null") << QVariant() << QString() << QString();
        QTest::newRow("cnpj digits") << QVariant(QStringLiteral("12345678000195")) << QStringLiteral("cnpj")
                                     << QStringLiteral("12.345.678/0001-95");
        QTest::newRow("cnpj punctuated") << QVariant(QStringLiteral("12.345.678/0001-95")) << QStringLiteral("cnpj")
                                         << QStringLiteral("12.345.678/0001-95");
        QTest::newRow("cnpj too short stays") << QVariant(QStringLiteral("1234")) << QStringLiteral("cnpj")
                                              << QStringLiteral("1234");
        QTest::newRow("ISO date text") << QVariant(QStringLiteral("2026-11-30")) << QStringLiteral("date")
                                       << QStringLiteral("30/11/2026");
        QTest::newRow("upper") << QVariant(QStringLiteral("novembro")) << QStringLiteral("upper")
                               << QStringLiteral("NOVEMBRO");
    }

    void fieldTexts()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, format);
        QFETCH(QString, text);
        QCOMPARE(fieldText(value, format), text);
    }

    // A value longer than its column wraps onto more lines of a taller row;
    // a word longer than the column breaks inside the word. Nothing is lost.
    void longTextsWrapAndAreKept()
    {
        Book book = demoBook();
        const QString medico = QStringLiteral("Dr. Bartolomeu Anastácio de Albuquerque Figueiredo Montenegro Neto");
        const QString notificacao = QStringLiteral("NOTIFICACAOXYZWVUTSRQPONMLKJ");
        QVariantList row = test::demoBookRows().first();
        row[4] = notificacao;
        row[6] = medico;
        book.velix6.append(row);
        const LaidOutReport r = run(QStringLiteral("rptOficial"), book);

        QStringList medicoLines, notificacaoLines;
        double medicoTop = 1e9;
        for (const DrawItem &item : r.pages.front().items) {
            if (item.kind != DrawItem::Text)
                continue;
            if (medico.contains(item.text) && item.text.size() > 3)
                medicoLines << item.text;
            if (notificacao.contains(item.text))
                notificacaoLines << item.text;
            if (item.text == medicoLines.value(0))
                medicoTop = std::min(medicoTop, item.rect.top());
        }
        QVERIFY2(medicoLines.size() >= 2, qPrintable(medicoLines.join(QLatin1Char('/'))));
        QCOMPARE(withoutBlanks(medicoLines.join(QString())), withoutBlanks(medico));
        QVERIFY2(notificacaoLines.size() >= 2, qPrintable(notificacaoLines.join(QLatin1Char('/'))));
        QCOMPARE(notificacaoLines.join(QString()), notificacao);
    }

    void wrapTextKeepsEveryCharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::newRow("words") << QStringLiteral("Cloridrato de sibutramina monoidratada em cápsulas") << 40.0;
        QTest::newRow("one long word") << QStringLiteral("ANFEPRAMONACLORIDRATOFEMPROPOREX") << 30.0;
        QTest::newRow("narrower than a letter") << QStringLiteral("MMM WWW") << 1.0;
        QTest::newRow("line breaks") << QStringLiteral("primeira linha\nsegunda linha") << 500.0;
    }

    void wrapTextKeepsEveryCharacter()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        const QFontMetricsF metrics(reportFont(FontStyle()));
        const QStringList lines = wrapText(text, width, metrics);
        QCOMPARE(withoutBlanks(lines.join(QString())), withoutBlanks(text));
        for (const QString &line : lines)
            if (line.size() > 1)
                QVERIFY2(metrics.horizontalAdvance(line) <= width + 0.01, qPrintable(line));
    }

    // A heading value too long for its box shrinks; when even the smallest
    // font does not fit, the band grows and pushes the table down.
    void longHeadingValuesAreKept_data()
    {
        QTest::addColumn<int>("repeat");
        QTest::newRow("shrinks") << 2;
        QTest::newRow("grows") << 8;
    }

    void longHeadingValuesAreKept()
    {
        QFETCH(int, repeat);
        QString firma;
        for (int i = 0; i < repeat; ++i)
            firma += QStringLiteral("Farmácia de Manipulação Fórmula Certa Medicamentos Especiais %1 ").arg(i);
        firma = firma.trimmed();
        QVariantList row = test::demoDadosGer();
        row[test::columnsOf("DADOSGER").indexOf(QStringLiteral("FIRMA"))] = firma;
        Book book;
        book.dadosGer.append(row);
        for (const QVariantList &r : test::demoBookRows())
            book.velix6.append(r);
        const LaidOutReport r = run(QStringLiteral("rptOficial"), book);
        keepForLooking(r, QStringLiteral("/cabecalho-longo-%1.pdf").arg(repeat));
        // The heading's lines hold the whole name, above the table.
        double tableTop = 1e9;
        for (const DrawItem &item : r.pages.front().items)
            if (item.kind == DrawItem::Text && item.text == QStringLiteral("Nº da notificação"))
                tableTop = item.rect.top();
        QString heading;
        double headingBottom = 0;
        for (const DrawItem &item : r.pages.front().items) {
            if (item.kind != DrawItem::Text || item.rect.top() >= tableTop)
                continue;
            if (item.text.size() > 1 && firma.contains(item.text) && item.text != QStringLiteral("Medicamento"))
                heading += item.text;
            headingBottom = std::max(headingBottom, item.rect.bottom());
        }
        QCOMPARE(withoutBlanks(heading), withoutBlanks(firma));
        QVERIFY2(headingBottom < tableTop, qPrintable(QStringLiteral("%1 %2").arg(headingBottom).arg(tableTop)));
    }

    void pageNumbersInPortuguese()
    {
        Book book = demoBook();
        for (int i = 0; i < 120; ++i)
            book.velix6.append(test::demoBookRows().at(i % 4));
        const LaidOutReport r = run(QStringLiteral("rptOficial"), book);
        const int pages = int(r.pages.size());
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        const QString text = plainText(r);
        for (int p = 1; p <= pages; ++p)
            QVERIFY2(text.contains(QStringLiteral("Página %1 de %2").arg(p).arg(pages)), qPrintable(text));
        QCOMPARE(r.rowCount, 124);
        // Every row once: each notification number appears as often as its rows.
        QCOMPARE(text.count(QStringLiteral("SP1234567")), 31);
        // The table header repeats on every page with rows, the signature
        // comes once, on the last page.
        int pagesWithRows = 0;
        for (const QString &page : text.split(QStringLiteral("=== "), Qt::SkipEmptyParts))
            pagesWithRows += page.contains(QStringLiteral("SP12")) ? 1 : 0;
        QCOMPARE(text.count(QStringLiteral("Nº da notificação")), pagesWithRows);
        QCOMPARE(text.count(QStringLiteral("RECEBIMENTO PELA AUTORIDADE SANITÁRIA")), 1);
        QVERIFY(plainText(LaidOutReport{r.name, r.title, r.page, r.fonts, {r.pages.back()}, 0})
                    .contains(QStringLiteral("RECEBIMENTO PELA AUTORIDADE SANITÁRIA")));
    }

    // However many rows a book has, the block after the table never stands
    // alone on the last page: the last rows of the table go with it (the
    // official book keeps two, as its definition asks).
    void closingBlockKeepsTheLastRows_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("closing");
        QTest::addColumn<int>("keep");
        QTest::newRow("official") << QStringLiteral("rptOficial") << QStringLiteral("RECEBIMENTO PELA AUTORIDADE SANITÁRIA") << 2;
        QTest::newRow("detailed") << QStringLiteral("rptDetalha") << QStringLiteral("Total de linhas") << 1;
    }

    void closingBlockKeepsTheLastRows()
    {
        QFETCH(QString, report);
        QFETCH(QString, closing);
        QFETCH(int, keep);
        const QRegularExpression notification(QStringLiteral("^SP12\\d+$"));
        for (int rows = 1; rows <= 90; ++rows) {
            Book book;
            book.dadosGer.append(test::demoDadosGer());
            for (int i = 0; i < rows; ++i)
                book.velix6.append(test::demoBookRows().at(i % 4));
            const LaidOutReport r = run(report, book);
            int onLastPage = 0, total = 0;
            bool closed = false;
            for (size_t p = 0; p < r.pages.size(); ++p)
                for (const DrawItem &item : r.pages[p].items) {
                    if (item.kind != DrawItem::Text)
                        continue;
                    const bool isRow = notification.match(item.text).hasMatch();
                    total += isRow ? 1 : 0;
                    if (p + 1 == r.pages.size()) {
                        onLastPage += isRow ? 1 : 0;
                        closed = closed || item.text.startsWith(closing);
                    }
                }
            if (onLastPage < std::min(keep, rows))
                keepForLooking(r, QStringLiteral("/sozinho-%1-%2.pdf").arg(report).arg(rows));
            QVERIFY2(closed, qPrintable(QString::number(rows)));
            QCOMPARE(total, rows);
            QVERIFY2(onLastPage >= std::min(keep, rows),
                     qPrintable(QStringLiteral("%1 rows: %2 on the last page").arg(rows).arg(onLastPage)));
        }
    }

    // Separators print only between values that are there; a part whose
    // values are all blank is left out with its label.
    void separators_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mes");
        QTest::addColumn<QString>("exercicio");
        QTest::addColumn<QString>("printed");
        const QString period = QStringLiteral("{rvdsDadosGer.MES|upper}[ / ]{rvdsDadosGer.EXERCICIO}");
        QTest::newRow("both") << period << QStringLiteral("novembro") << QStringLiteral("2026") << QStringLiteral("NOVEMBRO / 2026");
        QTest::newRow("no month") << period << QString() << QStringLiteral("2026") << QStringLiteral("2026");
        QTest::newRow("no year") << period << QStringLiteral("novembro") << QString() << QStringLiteral("NOVEMBRO");
        QTest::newRow("neither") << period << QString() << QString() << QString();
        QTest::newRow("blanks only are blank") << period << QStringLiteral("   ") << QStringLiteral("2026") << QStringLiteral("2026");
        const QString heading = QStringLiteral("LIVRO[ — ]{rvdsDadosGer.MES|upper}[ / ]{rvdsDadosGer.EXERCICIO}");
        QTest::newRow("heading, both") << heading << QStringLiteral("maio") << QStringLiteral("2026") << QStringLiteral("LIVRO — MAIO / 2026");
        QTest::newRow("heading, no month: the first separator") << heading << QString() << QStringLiteral("2026")
                                                                << QStringLiteral("LIVRO — 2026");
        QTest::newRow("heading, neither") << heading << QString() << QString() << QStringLiteral("LIVRO");
        const QString labelled = QStringLiteral("{rvdsDadosGer.MES}[ — ]Ano {rvdsDadosGer.EXERCICIO}[ ](página {PAGE})");
        QTest::newRow("label with its value") << labelled << QStringLiteral("maio") << QStringLiteral("2026")
                                              << QStringLiteral("maio — Ano 2026 (página 1)");
        QTest::newRow("label without its value") << labelled << QStringLiteral("maio") << QString()
                                                 << QStringLiteral("maio — (página 1)");
        QTest::newRow("page numbers are never blank") << labelled << QString() << QString() << QStringLiteral("(página 1)");
        QTest::newRow("no separators: printed whole")
            << QStringLiteral("Ano: {rvdsDadosGer.EXERCICIO}.") << QStringLiteral("maio") << QString() << QStringLiteral("Ano: .");
        QTest::newRow("brackets written twice") << QStringLiteral("[[{rvdsDadosGer.EXERCICIO}]] {{x}}") << QString()
                                                << QStringLiteral("2026") << QStringLiteral("[2026] {x}");
    }

    void separators()
    {
        QFETCH(QString, text);
        QFETCH(QString, mes);
        QFETCH(QString, exercicio);
        QFETCH(QString, printed);
        QJsonObject element{{QStringLiteral("type"), QStringLiteral("text")}, {QStringLiteral("width"), 20},
                            {QStringLiteral("height"), 1}, {QStringLiteral("text"), text}};
        const QByteArray band = QJsonDocument(QJsonObject{{QStringLiteral("kind"), QStringLiteral("title")},
                                                          {QStringLiteral("height"), 1},
                                                          {QStringLiteral("elements"), QJsonArray{element}}})
                                    .toJson(QJsonDocument::Compact);
        const ReportProjectDef project = parseReportProject(withBands(band), QStringLiteral("t.rav"), test::bookSchema());
        Book book;
        book.dadosGer.append(test::dadosGerRow({{QStringLiteral("MES"), mes.isNull() ? QVariant() : QVariant(mes)},
                                                {QStringLiteral("EXERCICIO"), exercicio.isNull() ? QVariant() : QVariant(exercicio)}}));
        const LaidOutReport r = layoutReport(project.reports.first(), book.map());
        QStringList texts;
        for (const DrawItem &item : r.pages.front().items)
            if (item.kind == DrawItem::Text)
                texts << item.text;
        QCOMPARE(texts.join(QLatin1Char(' ')), printed);
    }

    // A pharmacy whose registration data are not filled in: no page of any
    // book shows a bare separator or an empty label.
    void blankRegistrationPrintsNoBareSeparators_data()
    {
        QTest::addColumn<QString>("report");
        QTest::newRow("official") << QStringLiteral("rptOficial");
        QTest::newRow("detailed") << QStringLiteral("rptDetalha");
        QTest::newRow("empty book") << QStringLiteral("vazio");
    }

    void blankRegistrationPrintsNoBareSeparators()
    {
        QFETCH(QString, report);
        Book book;
        book.dadosGer.append(test::dadosGerRow({{QStringLiteral("MES"), QStringLiteral(" ")}}));
        for (int i = 0; i < 30; ++i)
            book.velix6.append(report == QLatin1String("vazio") ? test::emptyBookRow() : test::demoBookRows().at(i % 4));
        const LaidOutReport r = run(report, book);
        keepForLooking(r, QStringLiteral("/sem-cadastro-%1.pdf").arg(report));
        const QString text = plainText(r);
        for (const char *bare : {"(^|\\| )\\s*/\\s*($| \\|)", "—\\s*($| \\|)", "(^|\\| )\\s*—", "^CNPJ\\s*$", "\\(CRF: \\)",
                                 " de  de ", "mês de +este"}) {
            const QRegularExpressionMatch m = QRegularExpression(QLatin1String(bare), QRegularExpression::MultilineOption).match(text);
            QVERIFY2(!m.hasMatch(), qPrintable(QLatin1String(bare) + QStringLiteral(" in: ") + m.captured(0) + QStringLiteral("\n") + text));
        }
        QVERIFY(text.contains(QStringLiteral("RELAÇÃO MENSAL DE NOTIFICAÇÕES DE RECEITA \"B2\"")));
    }

    void booksWithoutRows_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<bool>("emptyRow");
        QTest::addColumn<QString>("expected");
        QTest::newRow("official, no row") << QStringLiteral("rptOficial") << false
                                          << QStringLiteral("Nenhuma dispensação de substâncias da lista \"B2\"");
        QTest::newRow("empty book") << QStringLiteral("vazio") << true << QStringLiteral("SEM MOVIMENTO NO MÊS");
        QTest::newRow("detailed, the empty-book row") << QStringLiteral("rptDetalha") << true
                                                      << QStringLiteral("Total de linhas: 1");
    }

    void booksWithoutRows()
    {
        QFETCH(QString, report);
        QFETCH(bool, emptyRow);
        QFETCH(QString, expected);
        Book book;
        book.dadosGer.append(test::demoDadosGer());
        if (emptyRow)
            book.velix6.append(test::emptyBookRow());
        const LaidOutReport r = run(report, book);
        keepForLooking(r, QStringLiteral("/sem-linhas-%1.pdf").arg(report));
        QCOMPARE(int(r.pages.size()), 1);
        const QString text = plainText(r);
        QVERIFY2(text.contains(expected), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("12.345.678/0001-95")), qPrintable(text));
    }

    void noRegistrationDataStillPrints()
    {
        Book book;
        for (const QVariantList &row : test::demoBookRows())
            book.velix6.append(row);
        const QString text = plainText(run(QStringLiteral("rptOficial"), book));
        QVERIFY2(text.contains(QStringLiteral("Mazindol")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Página 1 de 1")));
    }

    // The demo pharmacy's official book, as a reader sees it.
    void demoBookMatchesReference()
    {
        Book book = demoBook();
        const QString text = plainText(run(QStringLiteral("rptOficial"), book));
        const QString reference = test::sourceDir() + QStringLiteral("/tests/report/data/demo-rptOficial.txt");
        if (qEnvironmentVariableIsSet("VELIX6_UPDATE_REFERENCE")) {
            QFile out(reference);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(text.toUtf8());
        }
        QFile in(reference);
        QVERIFY2(in.open(QIODevice::ReadOnly), qPrintable(reference));
        QCOMPARE(text, QString::fromUtf8(in.readAll()));
    }

    void demoBookPdfText()
    {
        test::TempFolders t;
        Book book = demoBook();
        const QString pdf = t.base() + QStringLiteral("/livro.pdf");
        RenderedReport(run(QStringLiteral("rptOficial"), book)).saveAs(pdf);
        keepForLooking(pdf);
        const QString text = test::pdfText(pdf);
        for (const QString &expected :
             {QStringLiteral("RELAÇÃO MENSAL DE NOTIFICAÇÕES DE RECEITA \"B2\""),
              QStringLiteral("Secretaria Municipal de Saúde de São Paulo"), QStringLiteral("Vigilância Sanitária - COVISA"),
              QStringLiteral("Farmácia Modelo de Manipulação Ltda"), QStringLiteral("Rua São João, 1500 - Centro"),
              QStringLiteral("LF-2026/0457"), QStringLiteral("Ana Luíza Conceição"), QStringLiteral("CRF-SP 12345"),
              QStringLiteral("NOVEMBRO / 2026"), QStringLiteral("12.345.678/0001-95"), QStringLiteral("Página 1 de 1")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral("\n") + text));
        // One line per row, with the date as dd/mm/yyyy.
        const QRegularExpression row(QStringLiteral(
            "02317 +Cloridrato de sibutramina +- +CAP e 15 mg +SP1235388 +18/11/2026 +Dr. Sérgio Nóbrega +60211 +60 CAP +60 CAP"));
        QVERIFY2(row.match(text).hasMatch(), qPrintable(text));
        QCOMPARE(text.count(QStringLiteral("/11/2026")), 4);
    }

    void detailedBookPdfText()
    {
        test::TempFolders t;
        Book book = demoBook();
        const QString pdf = t.base() + QStringLiteral("/detalhe.pdf");
        RenderedReport(run(QStringLiteral("rptDetalha"), book)).saveAs(pdf);
        keepForLooking(pdf);
        const QString text = test::pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Estação")) && text.contains(QStringLiteral("Pedido"))
                     && text.contains(QStringLiteral("Fórmula")),
                 qPrintable(text));
        const QRegularExpression row(QStringLiteral("Mazindol .*10/11/2026 .*90 CAP +90 CAP +01 +1207 +1"));
        QVERIFY2(row.match(text).hasMatch(), qPrintable(text));
    }

    void htmlIsOneSelfContainedFile()
    {
        test::TempFolders t;
        Book book = demoBook();
        const QString html = t.base() + QStringLiteral("/livro.htm");
        RenderedReport(run(QStringLiteral("rptOficial"), book)).saveAs(html);
        QFile f(html);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString page = QString::fromUtf8(f.readAll());
        QVERIFY(page.startsWith(QStringLiteral("<!DOCTYPE html>")));
        QVERIFY(page.contains(QStringLiteral(">Dr. Sérgio Nóbrega<")));
        QVERIFY(page.contains(QStringLiteral(">Página 1 de 1<")));
        QVERIFY(page.contains(QStringLiteral("RECEITA &quot;B2&quot;")));
        for (const char *outside : {"src=", "href=", "<link", "@import", "url("})
            QVERIFY2(!page.contains(QLatin1String(outside)), outside);
    }

    void saveAsOtherNamesFails()
    {
        test::TempFolders t;
        Book book = demoBook();
        const RenderedReport doc(run(QStringLiteral("rptOficial"), book));
        QVERIFY_THROWS_EXCEPTION(ReportError, doc.saveAs(t.base() + QStringLiteral("/livro.doc")));
        QVERIFY_THROWS_EXCEPTION(FileError, doc.saveAs(t.base() + QStringLiteral("/no/such/folder/livro.pdf")));
        QVERIFY(!QFile::exists(t.base() + QStringLiteral("/livro.doc")));
    }

    void renderersAsTheSaveDialogOffersThem()
    {
        QCOMPARE(pdfRenderer().nameFilter(), QStringLiteral("Adobe Acrobat (PDF) (*.pdf)"));
        QCOMPARE(htmlRenderer().nameFilter(), QStringLiteral("Web Page (HTML) (*.html *.htm)"));
        QCOMPARE(rendererForFile(QStringLiteral("a.PDF"))->kind, ReportRenderer::Pdf);
        QCOMPARE(rendererForFile(QStringLiteral("a.htm"))->kind, ReportRenderer::Html);
        QVERIFY(!rendererForFile(QStringLiteral("a.rtf")));
    }
};

QTEST_MAIN(TestReportEngine)
#include "test_reportengine.moc"
