// Formats the descriptions of a DCB table of 1,000 and of 20,000 rows, each in
// a fresh embedded database and a process of its own; prints the time and the
// peak memory of each and whether the targets are met (20 times the rows in
// at most 22 times the time; peak memory under 300 MB). Each size runs three
// times; the best time counts.
//   bench-dcb              both sizes, each in a child process
//   bench-dcb --rows N     one size in this process

#include "data/firebird.h"
#include "data/tabelas.h"
#include "data/udm.h"
#include "platform/modal.h"
#include "utilities/convertecodigo.h"
#include "utilities/formatadcb.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

using namespace velix;

namespace {

class SemPainel : public TermometroView {
public:
    void posicionaTermometro(const QRect &g) override { m_g = g; }
    QRect geometriaTermometro() const override { return m_g; }
    void mostraTermometro() override {}
    void escondeTermometro() override {}
    void setMinimoTermometro(int) override {}
    void setMaximoTermometro(int) override {}
    void setProgressoTermometro(int) override {}
    void setLegendaTermometro(const QString &) override {}
    void repintaTermometro() override {}
    void processaMensagens() override { ++chamadas; }
    int chamadas = 0;

private:
    QRect m_g;
};

class Mensagens : public ModalSeam {
public:
    void showMessage(const QString &text, MessageIcon) override { textos << text; }
    void showError(const ErrorReport &r) override { textos << r.message; }
    void showPreview(const ReportDocument &, const PrinterChoice &) override {}
    bool printerSetup(PrinterChoice &) override { return false; }
    QStringList textos;
};

QString descricao(int i)
{
    static const char *const nomes[] = {"FLUOXETINA", "CLORIDRATO DE SIBUTRAMINA", "ÁCIDO ASCÓRBICO", "VITAMINA B1 + B6",
                                        "Anfepramona", "SÓDIO", "ÉTER", "FEMPROPOREX", "MAZINDOL", "vitamina e"};
    return QString::fromUtf8(nomes[i % 10]) + QStringLiteral(" %1").arg(i);
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int umTamanho(int rows)
{
    QTemporaryDir tmp;
    const QString root = tmp.path() + QStringLiteral("/root");
    QDir().mkpath(root + QStringLiteral("/dados"));
    QDir().mkpath(tmp.path() + QStringLiteral("/lock"));
    qputenv("FIREBIRD_LOCK", QFile::encodeName(tmp.path() + QStringLiteral("/lock")));
    qputenv("KORVANTE_DIR", QFile::encodeName(root));
    const QString file = root + QStringLiteral("/dados/korvante.bd");
    SQLConnection::createDatabase(file, QStringLiteral("WIN1252"));
    {
        SQLConnection con(QStringLiteral("bench"));
        con.setDatabase(file);
        con.executeDirect(QStringLiteral("CREATE TABLE DCB (DCB VARCHAR(10) NOT NULL, DESCRICAO VARCHAR(60), "
                                         "CONSTRAINT PK_DCB PRIMARY KEY (DCB))"));
        TransactionScope scope(con);
        for (int i = 0; i < rows; ++i)
            con.execute(QStringLiteral("INSERT INTO DCB (DCB, DESCRICAO) VALUES (?, ?)"),
                        {Value::text(QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'))), Value::text(descricao(i))});
        scope.commit();
    }

    AssignColumnLists();
    Mensagens mensagens;
    setModal(&mensagens);
    SemPainel painel;
    const long antes = peakKilobytes();
    ResultadoFormatacao r;
    qint64 ms = 0;
    {
        TDM dm;
        dm.sqlcon1.open();
        QElapsedTimer t;
        t.start();
        r = FormatarDescrioDCB1Click(painel);
        ms = t.elapsed();

        // Every description is in its new form, every code still there.
        const QueryResult q = dm.sqlcon1.select(QStringLiteral("select DCB, DESCRICAO from DCB"));
        int certas = 0;
        for (const auto &row : q.rows)
            certas += row[1].textValue() == Converte_Codigo(descricao(row[0].textValue().toInt()));
        if (certas != rows || int(q.rows.size()) != rows)
            std::fprintf(stderr, "bench-dcb: %d of %d rows formatted as expected\n", certas, rows);
    }
    setModal(nullptr);
    std::printf("rows=%d ms=%lld stored=%d failed=%d message_pumps=%d peak_mb=%.1f before_mb=%.1f closing=\"%s\"\n",
                rows, ms, r.gravadas, r.falhas, painel.chamadas, peakKilobytes() / 1024.0, antes / 1024.0,
                mensagens.textos.isEmpty() ? "" : qPrintable(mensagens.textos.last().section(QLatin1Char('\n'), 0, 0)));
    return r.falhas == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        const int i = int(args.indexOf(QStringLiteral("--rows")));
        if (i > 0 && i + 1 < args.size())
            return umTamanho(args[i + 1].toInt());

        QMap<int, double> tempo, pico;
        // Three runs of each size, the best time and the highest peak counted:
        // the machine may be busy with other work.
        for (int rows : {1000, 20000}) {
            for (int run = 0; run < 3; ++run) {
                QProcess filho;
                filho.setProcessChannelMode(QProcess::ForwardedErrorChannel);
                filho.start(app.applicationFilePath(), {QStringLiteral("--rows"), QString::number(rows)});
                filho.waitForFinished(-1);
                const QString linha = QString::fromLocal8Bit(filho.readAllStandardOutput()).trimmed();
                std::printf("%s\n", qPrintable(linha));
                if (filho.exitCode() != 0)
                    return 1;
                const double ms = QRegularExpression(QStringLiteral("ms=(\\d+)")).match(linha).captured(1).toDouble();
                const double mb = QRegularExpression(QStringLiteral("peak_mb=([\\d.]+)")).match(linha).captured(1).toDouble();
                tempo[rows] = run == 0 ? ms : std::min(tempo[rows], ms);
                pico[rows] = std::max(pico[rows], mb);
            }
        }
        std::printf("best of three: %.0f ms for 1,000 rows, %.0f ms for 20,000 rows\n", tempo[1000], tempo[20000]);
        const double razao = tempo[20000] / std::max(1.0, tempo[1000]);
        std::printf("time for 20x the rows = %.2fx (target <= 22x): %s\n", razao, razao <= 22.0 ? "met" : "NOT MET");
        std::printf("peak memory at 20,000 rows = %.1f MB (target < 300): %s\n", pico[20000],
                    pico[20000] < 300.0 ? "met" : "NOT MET");
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench-dcb: %s\n", e.what());
        return 1;
    }
    return 0;
}
