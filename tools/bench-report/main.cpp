// Renders the official book of 1,000 and 10,000 rows to PDF and prints the
// time and the peak memory of each, each size in a process of its own.
//
//   bench-report [--definition FILE] [--keep FOLDER]
//   bench-report --rows N --out FILE.pdf [--definition FILE]   (one run)

#include "data/tabelas.h"
#include "report/reportdata.h"
#include "report/reportdefinition.h"
#include "report/reportlayout.h"
#include "report/reportrender.h"

#include <QCommandLineParser>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

using namespace velix;
using namespace velix::report;

namespace {

QStringList columnsOf(const char *table)
{
    return columnList(QLatin1String(table)).split(QStringLiteral(", "));
}

// Book rows like a busy month's: a few substances, many prescribers, some
// long names that wrap.
void fillBook(MemoryConnection &book, int rows)
{
    static const char *dcb[][2] = {{"00733", "Anfepramona"}, {"03853", "Femproporex"}, {"05635", "Mazindol"},
                                   {"02317", "Cloridrato de sibutramina monoidratada"}};
    static const char *medicos[] = {"Dr. João Araújo", "Dra. Lúcia Gonçalves",
                                    "Dr. Bartolomeu Anastácio de Albuquerque Figueiredo Montenegro Neto",
                                    "Dra. Maria"};
    for (int i = 0; i < rows; ++i) {
        const auto &d = dcb[i % 4];
        book.append({QString::fromUtf8(d[0]), QString::fromUtf8(d[1]), QStringLiteral("-"),
                     QStringLiteral("CAP e %1 mg").arg(5 + i % 30), QStringLiteral("SP%1").arg(1000000 + i),
                     QDate(2026, 11, 1 + i % 30), QString::fromUtf8(medicos[(i / 4) % 4]), QString::number(10000 + i % 900),
                     QStringLiteral("%1 CAP").arg(30 + i % 60), QStringLiteral("%1 CAP").arg(30 + i % 60),
                     QStringLiteral("01"), QString::number(1000 + i), QStringLiteral("1"), QStringLiteral("12345678000195")});
    }
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int runOnce(int rows, const QString &out, const QString &definition)
{
    const ConnectionSchema schema{{QStringLiteral("rvdsDadosGer"), columnsOf("DADOSGER")},
                                  {QStringLiteral("rvdsVELIX6"), columnsOf("VELIX6")}};
    const ReportProjectDef project = loadReportProject(definition, schema);
    const ReportDef *def = project.find(QStringLiteral("rptOficial"));
    if (!def) {
        std::fprintf(stderr, "no rptOficial in %s\n", qPrintable(definition));
        return 2;
    }
    MemoryConnection dadosGer(columnsOf("DADOSGER"));
    QVariantList firm(45);
    firm[8] = QStringLiteral("Farmácia Modelo de Manipulação Ltda");
    firm[18] = QStringLiteral("12345678000195");
    dadosGer.append(firm);
    MemoryConnection book(columnsOf("VELIX6"));
    fillBook(book, rows);
    const long before = peakKilobytes();

    QElapsedTimer timer;
    timer.start();
    const LaidOutReport laidOut =
        layoutReport(*def, {{QStringLiteral("rvdsDadosGer"), &dadosGer}, {QStringLiteral("rvdsVELIX6"), &book}});
    const qint64 layoutMs = timer.elapsed();
    writePdf(laidOut, out);
    const qint64 totalMs = timer.elapsed();
    std::printf("rows=%d pages=%d layout_ms=%lld pdf_ms=%lld total_ms=%lld peak_mb=%.1f data_mb=%.1f pdf_kb=%lld\n",
                rows, int(laidOut.pages.size()), layoutMs, totalMs - layoutMs, totalMs, peakKilobytes() / 1024.0,
                before / 1024.0, QFileInfo(out).size() / 1024);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("rows"), QStringLiteral("One run with N rows."), QStringLiteral("N")});
    parser.addOption({QStringLiteral("out"), QStringLiteral("PDF file of the one run."), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("definition"), QStringLiteral("Report definition file."), QStringLiteral("FILE"),
                      QStringLiteral(VELIX6_DEFAULT_DEFINITION)});
    parser.addOption({QStringLiteral("keep"), QStringLiteral("Keep the PDFs in FOLDER."), QStringLiteral("FOLDER")});
    parser.process(app);
    const QString definition = parser.value(QStringLiteral("definition"));

    try {
        if (parser.isSet(QStringLiteral("rows")))
            return runOnce(parser.value(QStringLiteral("rows")).toInt(), parser.value(QStringLiteral("out")), definition);

        QTemporaryDir temp;
        const QString folder = parser.isSet(QStringLiteral("keep")) ? parser.value(QStringLiteral("keep")) : temp.path();
        QMap<int, qint64> times;
        QMap<int, double> peaks;
        for (int rows : {1000, 10000}) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--rows"), QString::number(rows), QStringLiteral("--out"),
                         QStringLiteral("%1/book-%2.pdf").arg(folder).arg(rows), QStringLiteral("--definition"),
                         definition});
            if (!child.waitForFinished(-1) || child.exitCode() != 0) {
                std::fprintf(stderr, "run of %d rows failed\n", rows);
                return 1;
            }
            const QString line = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
            std::printf("%s\n", qPrintable(line));
            times[rows] = QRegularExpression(QStringLiteral("total_ms=(\\d+)")).match(line).captured(1).toLongLong();
            peaks[rows] = QRegularExpression(QStringLiteral("peak_mb=([\\d.]+)")).match(line).captured(1).toDouble();
        }
        const double ratio = double(times[10000]) / double(std::max<qint64>(1, times[1000]));
        const bool linear = ratio <= 11.0;
        const bool small = peaks[10000] < 300.0;
        std::printf("time 10,000 / 1,000 rows = %.2f (target <= 11): %s\n", ratio, linear ? "met" : "NOT MET");
        std::printf("peak memory at 10,000 rows = %.1f MB (target < 300): %s\n", peaks[10000], small ? "met" : "NOT MET");
        return linear && small ? 0 : 1;
    } catch (const Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 2;
    }
}
