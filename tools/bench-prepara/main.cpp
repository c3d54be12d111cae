// Times "Preparar Livro" on a generated month of N list-B2 component lines
// (N = 2,000 and 20,000) from the command to the call of the print, next to a
// lower bound for the same work: the order selection statement, one read of
// the month's formulas and one of its component lines (a join each), and the
// N book rows inserted with one prepared statement, in one committed
// transaction; and the capsule correction of the same month. Once with the
// embedded engine and once through a Firebird server of its own on 127.0.0.1
// (as the server tests start it); each figure is the least of five runs (as
// many at both sizes, so that the growth is not biased). Prints the times,
// their ratio, the growth for 10x the lines and the peak memory.
//
// The month: orders of two formulas; each formula has two list-B2 component
// lines and one line of another list; half of the formulas have no
// prescribed count. 200 components (20 of list B2, with DCB rows), the keys
// of the family's tables and the indexes PEDIDOS.DATAPEDIDO and
// COMPONEN.COMPONENTE.
//
//   bench-prepara [embedded|server|both]   (default both)

#include "book/acerta.h"
#include "book/linhalivro.h"
#include "book/prepara.h"
#include "data/udm.h"
#include "fbfixture.h"
#include "fbserver.h"
#include "platform/exclusivo.h"
#include "platform/modal.h"
#include "platform/paths.h"
#include "platform/programa.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

using namespace velix;

namespace {

const QString cnpj = QStringLiteral("12345678000195");

// The window as the preparation sees it; notes when the print is called.
class Janela : public LivroView {
public:
    QElapsedTimer *relogio = nullptr;
    qint64 imprimeEm = -1;
    QString memo;
    void posicionaTermometro(const QRect &) override {}
    QRect geometriaTermometro() const override { return {}; }
    void mostraTermometro() override {}
    void escondeTermometro() override {}
    void setMinimoTermometro(int) override {}
    void setMaximoTermometro(int) override {}
    void setProgressoTermometro(int) override {}
    void setLegendaTermometro(const QString &) override {}
    void repintaTermometro() override {}
    void processaMensagens() override {}
    void setMemo1(const QString &t) override { memo = t; }
    QString memo1() const override { return memo; }
    void mostraInconsistencias(const QString &) override {}
    QString ordemVelix6() const override { return QString(); }
    // Called by the preparation just before the print.
    void Habilita_Botoes_Relatorios() override { imprimeEm = relogio->nsecsElapsed(); }
};

// Messages and errors are dropped.
class Silencio : public ModalSeam {
public:
    void showMessage(const QString &text, MessageIcon) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    void showError(const ErrorReport &r) override { std::fprintf(stderr, "error: %s\n", qPrintable(r.message)); }
    void showPreview(const ReportDocument &, const PrinterChoice &) override {}
    bool printerSetup(PrinterChoice &) override { return false; }
};

long picoMemoriaKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &l : f.readAll().split('\n'))
        if (l.startsWith("VmHWM:"))
            return l.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void gera(const QString &database, int n)
{
    SQLConnection con(QStringLiteral("gera"));
    con.setDatabase(database);
    con.executeDirect(QStringLiteral("CREATE INDEX IX_PEDIDOS_DATA ON PEDIDOS (DATAPEDIDO)"));
    con.executeDirect(QStringLiteral("CREATE INDEX IX_COMPONEN_NOME ON COMPONEN (COMPONENTE)"));
    TransactionScope scope(con);
    con.execute(QStringLiteral("INSERT INTO TABLAB (LABORATORIO, LOJA) VALUES ('Matriz', ?)"), {Value::text(cnpj)});
    con.execute(QStringLiteral("INSERT INTO DADOSGER (CGC, EXERCICIO, MES) VALUES (?, '2026', 'NOVEMBRO')"),
                {Value::text(cnpj)});
    for (int c = 0; c < 200; ++c) {
        const bool b2 = c < 20;
        const QString dcb = QStringLiteral("%1").arg(c, 5, 10, QLatin1Char('0'));
        con.execute(QStringLiteral("INSERT INTO COMPONEN (CODIGO, COMPONENTE, CONTROLADA, DCB, LISTA) VALUES (?, ?, ?, ?, ?)"),
                    {Value::text(QString::number(1000 + c)), Value::text(QStringLiteral("COMPONENTE %1").arg(c)),
                     Value::text(QStringLiteral("Sim")), Value::text(dcb),
                     Value::text(b2 ? QStringLiteral("B2") : QStringLiteral("C1"))});
        con.execute(QStringLiteral("INSERT INTO DCB (DCB, DESCRICAO) VALUES (?, ?)"),
                    {Value::text(dcb), Value::text(QStringLiteral("Descrição %1").arg(c))});
    }
    const int formulas = n / 2;
    const int pedidos = (formulas + 1) / 2;
    const QString insPedido = QStringLiteral(
        "INSERT INTO PEDIDOS (ESTACAO, NPEDIDO, NOME, MEDICO, CRM, DATAPEDIDO, TIPOPEDIDO, LABORATORIO, NPED) "
        "VALUES ('01', ?, 'Cliente', 'Dr. João Araújo', '45678', ?, 'Pedido', 'Matriz', 1)");
    const QString insFormula = QStringLiteral(
        "INSERT INTO PEDIFORM (ESTACAO, NPEDIDO, NFORMULA, FORMAFARMA, QDECAPSULAS, NUMERONOTIFICACAO, DATAPRESCRICAO, "
        "QDE_CAPS_PRESCRITA, LABORATORIO, POSOLOGIA) VALUES ('01', ?, ?, 'CAPSULAS', 60, ?, ?, ?, 'Matriz', "
        "'Tomar uma cápsula ao dia, antes do almoço')");
    const QString insLinha = QStringLiteral(
        "INSERT INTO COMPEDID (ESTACAO, NPEDIDO, NFORMULA, COMPONENTE, QDE, UNID, QDEDIG, UNIDDIG, CODIGOCOMP, CONTROLADA, ORDEM) "
        "VALUES ('01', ?, ?, ?, 1.5, 'g', 25, 'mg', ?, 'Sim', ?)");
    int formula = 0;
    for (int p = 0; p < pedidos; ++p) {
        const int npedido = 10000 + p;
        con.execute(insPedido, {Value::integer(npedido), Value::date(QDate(2026, 11, 1 + p % 30))});
        for (int f = 1; f <= 2 && formula < formulas; ++f, ++formula) {
            con.execute(insFormula, {Value::integer(npedido), Value::integer(f),
                                     Value::text(QStringLiteral("SP%1").arg(formula)), Value::date(QDate(2026, 10, 1 + p % 30)),
                                     formula % 2 ? Value() : Value::integer(60)});
            for (int l = 0; l < 3; ++l) {
                const int c = l < 2 ? (formula * 2 + l) % 20 : 20 + formula % 180;
                con.execute(insLinha, {Value::integer(npedido), Value::integer(f),
                                       Value::text(QStringLiteral("COMPONENTE %1").arg(c)),
                                       Value::text(QString::number(1000 + c)), Value::integer(l + 1)});
            }
        }
    }
    scope.commit();
}

// The least work: the order selection, the month's formulas and component
// lines (a join each), N rows inserted with one prepared statement.
double limite(TDM &dm, int n)
{
    SQLConnection &con = dm.sqlcon1;
    QElapsedTimer t;
    t.start();
    {
        TransactionScope scope(con);
        const QueryResult pedidos = con.select(selecaoPedidos(QDate(2026, 11, 1), QDate(2026, 11, 30), QStringLiteral("Matriz")));
        const QueryResult formulas = con.select(QStringLiteral(
            "select f.ESTACAO, f.NPEDIDO, f.NFORMULA, f.FORMAFARMA, f.QDECAPSULAS, f.NUMERONOTIFICACAO, f.DATAPRESCRICAO, "
            "f.QDE_CAPS_PRESCRITA from PEDIFORM f join PEDIDOS p on p.ESTACAO = f.ESTACAO and p.NPEDIDO = f.NPEDIDO "
            "where p.DATAPEDIDO between '2026-11-01' and '2026-11-30'"));
        const QueryResult linhas = con.select(QStringLiteral(
            "select l.ESTACAO, l.NPEDIDO, l.NFORMULA, l.COMPONENTE, l.QDEDIG, l.UNIDDIG, l.CODIGOCOMP from COMPEDID l "
            "join PEDIDOS p on p.ESTACAO = l.ESTACAO and p.NPEDIDO = l.NPEDIDO "
            "where p.DATAPEDIDO between '2026-11-01' and '2026-11-30'"));
        if (pedidos.rows.empty() || formulas.rows.empty() || linhas.rows.empty())
            std::fprintf(stderr, "bound: nothing read\n");
        const QString insert = insertLinhaLivro();
        // Rows as large as the book's own.
        OrigemLinha o;
        o.cnpj = QStringLiteral("00000000000000");
        o.formaFarma = QStringLiteral("CAPSULAS");
        o.medico = QStringLiteral("Dr. João Araújo");
        o.crm = QStringLiteral("45678");
        o.estacao = QStringLiteral("01");
        o.unidDig = QStringLiteral("mg");
        o.qdeDig = Value::floating(25);
        o.dispensadas = o.prescritas = 60;
        o.dcbConfere = true;
        o.dataPrescricao = QDate(2026, 10, 15);
        for (int i = 0; i < n; ++i) {
            o.npedido = 10000 + i / 4;
            o.nformula = 1 + i / 2 % 2;
            o.dcb = QStringLiteral("%1").arg(i % 20, 5, 10, QLatin1Char('0'));
            o.descricaoDcb = QStringLiteral("Descrição %1").arg(i % 20);
            o.numeroNotificacao = QStringLiteral("SP%1").arg(i / 2);
            con.executeOnly(insert, linhaLivro(o));
        }
        scope.commit();
    }
    const double ms = double(t.nsecsElapsed()) / 1e6;
    con.executeDirect(QStringLiteral("DELETE FROM VELIX6 WHERE CNPJ = '00000000000000'"));
    // The deleted rows' space is collected now, not by the next reader.
    con.select(QStringLiteral("select count(*) from VELIX6"));
    return ms;
}

double prepara(Janela &janela, int n)
{
    QElapsedTimer t;
    janela.relogio = &t;
    janela.imprimeEm = -1;
    t.start();
    try {
        prepara_velix6(janela, QDateTime(QDate(2026, 11, 1), QTime()), QDateTime(QDate(2026, 11, 30), QTime()));
    } catch (const Error &) {
        // No report module here: the print itself fails, after the moment measured.
    }
    if (janela.imprimeEm < 0)
        throw Error(QStringLiteral("the preparation did not reach the print"));
    const QueryResult r = DM().sqlcon1.select(QStringLiteral("select count(*) from VELIX6 where CNPJ = ?"), {Value::text(cnpj)});
    const Value &c = r.rows.at(0).at(0);
    const qint64 linhas = c.kind() == Value::Kind::Integer ? c.integerValue() : c.decimalValue().toString().toLongLong();
    if (linhas != n)
        std::fprintf(stderr, "preparation: %lld rows, %d expected\n", linhas, n);
    return double(janela.imprimeEm) / 1e6;
}

// The capsule correction of the same month, every prescribed count missing.
double acerta(Janela &janela)
{
    DM().sqlcon1.executeDirect(QStringLiteral("UPDATE PEDIFORM SET QDE_CAPS_PRESCRITA = NULL"));
    // The old versions this leaves are collected now, not by the correction.
    DM().sqlcon1.select(QStringLiteral("select count(*) from PEDIFORM"));
    QElapsedTimer t;
    t.start();
    Acerta_Caps_Prescrita(janela);
    return double(t.nsecsElapsed()) / 1e6;
}

struct Medida {
    double limite = 0;
    double prepara = 0;
    double acerta = 0;
};

Medida mede(const QString &ip, const QString &pasta, int n)
{
    const QString database = ip.isEmpty() ? pasta + QStringLiteral("/dados/korvante.bd")
                                          : ip + QLatin1Char(':') + pasta + QStringLiteral("/dados/korvante.bd");
    QDir().mkpath(pasta + QStringLiteral("/dados"));
    test::createDatabase(database, test::DbKind::Pharmacy);
    gera(database, n);
    Medida m;
    TDM dm(ip);
    Janela janela;
    // The least of a few runs: the machine's other work only adds time.
    const int vezes = 5;
    for (int i = 0; i < vezes; ++i) {
        const double l = limite(dm, n);
        const double p = prepara(janela, n);
        const double a = acerta(janela);
        m.limite = i ? std::min(m.limite, l) : l;
        m.prepara = i ? std::min(m.prepara, p) : p;
        m.acerta = i ? std::min(m.acerta, a) : a;
    }
    dm.sqlcon1.close();
    return m;
}

void serie(const char *nome, const QString &ip, const QString &base)
{
    std::printf("%s\n%8s %12s %16s %7s %15s\n", nome, "N", "bound (ms)", "preparation (ms)", "ratio",
                "correction (ms)");
    double anterior = 0, anteriorAcerta = 0;
    for (int n : {2000, 20000}) {
        const QString pasta = base + QStringLiteral("/n%1").arg(n);
        if (ip.isEmpty())
            qputenv("KORVANTE_DIR", QFile::encodeName(pasta));
        else
            qputenv("KORVANTE_SERVER_DIR", QFile::encodeName(pasta));
        const Medida m = mede(ip, pasta, n);
        std::printf("%8d %12.1f %16.1f %7.2f %15.1f\n", n, m.limite, m.prepara, m.prepara / m.limite, m.acerta);
        if (anterior > 0)
            std::printf("time for 10x the lines: preparation %.2fx, correction %.2fx\n", m.prepara / anterior,
                        m.acerta / anteriorAcerta);
        anterior = m.prepara;
        anteriorAcerta = m.acerta;
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString modo = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("both");
    QTemporaryDir tmp;
    test::useProcessLockFolder();
    Silencio silencio;
    setModal(&silencio);
    AssignColumnLists();
    CNPJLoja = cnpj;
    // SQL1.txt and the error report go to a root folder of this run.
    const QString raiz = tmp.path() + QStringLiteral("/root");
    QDir().mkpath(raiz);
    try {
        if (modo != QLatin1String("server")) {
            serie("embedded", QString(), raiz);
        }
        if (modo != QLatin1String("embedded")) {
            test::FbServer server;
            if (!server.start()) {
                std::fprintf(stderr, "bench-prepara: server: %s\n", qPrintable(server.error()));
                return 1;
            }
            qputenv("KORVANTE_DIR", QFile::encodeName(raiz));
            serie("server 127.0.0.1", QStringLiteral("127.0.0.1"), server.dataDir());
            server.stop();
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench-prepara: %s\n", e.what());
        return 1;
    }
    std::printf("peak memory: %.1f MB\n", double(picoMemoriaKb()) / 1024.0);
    return 0;
}
