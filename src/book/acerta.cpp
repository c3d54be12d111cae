#include "book/acerta.h"

#include "book/dadosmes.h"
#include "book/inconsistencias.h"
#include "book/livrogravado.h"
#include "book/periodo.h"
#include "data/sqltext.h"
#include "data/tabelas.h"
#include "data/udm.h"
#include "platform/errors.h"
#include "platform/exclusivo.h"
#include "platform/programa.h"
#include "platform/ritmo.h"
#include "report/livros.h"


#include <optional>

namespace velix {
namespace {

qint32 inteiro(const Value &v)
{
    switch (v.kind()) {
    case Value::Kind::Integer: return v.integerValue();
    case Value::Kind::Text: return v.textValue().trimmed().toInt();
    default: return 0;
    }
}

} // namespace

std::pair<QDate, QDate> periodoAcerto(const QString &exercicio, const QString &mes)
{
    const DiasDoMes dias = diasDoMes(cut(mes, 10), cut(exercicio, 4), Fevereiro::Dia28);
    return {converteData(dias.primeiro), converteData(dias.ultimo)};
}

void Acerta_Caps_Prescrita(LivroView &janela)
{
    ComandoExclusivo exclusivo(QStringLiteral("a correção das quantidades prescritas"));
    TDM &dm = DM();
    SQLConnection &con = dm.sqlcon1;
    const QString cnpj = CNPJLoja;

    // 1. The month, before anything changes.
    dm.AbreDadosGer();
    const QString exercicio = dm.DadosGer.fieldByName(QStringLiteral("EXERCICIO")).asString();
    const QString mes = dm.DadosGer.fieldByName(QStringLiteral("MES")).asString();
    dm.DadosGer.close();
    const auto [primeiro, ultimo] = periodoAcerto(exercicio, mes);

    struct Arruma {
        LivroView &janela;
        TDM &dm;
        bool mostrado = false;
        ~Arruma()
        {
            for (ClientDataSet *ds : {&dm.DCB, &dm.VELIX6, &dm.Componen, &dm.cdsPedidos, &dm.cdsPediform, &dm.cdsCompedid})
                ds->close();
            if (mostrado)
                janela.escondeTermometro();
        }
    } arruma{janela, dm};

    int escritas = 0;
    std::vector<LinhaExaminada> linhas;
    {
        std::optional<TransactionScope> scope;
        iniciaTransacaoDoLivro(scope, con, cnpj);
        try {
            // 2. Every order of the month.
            const QString formato = QStringLiteral("MM/dd/yy");
            const QString sql = QStringLiteral("Select ") + Campos_PEDIDOS
                                + QStringLiteral(" from PEDIDOS where DATAPEDIDO between '") + primeiro.toString(formato)
                                + QStringLiteral("' and '") + ultimo.toString(formato) + QLatin1Char('\'');
            dm.cdsPedidos.close();
            dm.sqldsPedidos.setCommandText(sql);
            const QueryResult pedidos = con.select(sql);
            const ColunasPedidos col(pedidos);
            const int cNped = colunaPedidos(pedidos, "NPED");

            // 3. The book emptied.
            dm.VELIX6.close();
            con.executeDirect(QStringLiteral("DELETE FROM VELIX6 WHERE CNPJ = '") + sqlQuote(cnpj) + QLatin1Char('\''));
            Abre_Livro(janela);

            // 4. The report buffer.
            janela.setMemo1(cabecalhoInconsistencias().join(QLatin1Char('\n')));

            // 5. Counting the orders typed "Pedido".
            janela.posicionaTermometro(QRect(QPoint(215, 120), janela.geometriaTermometro().size()));
            janela.setMaximoTermometro(int(pedidos.rows.size()));
            janela.mostraTermometro();
            arruma.mostrado = true;
            janela.setLegendaTermometro(QStringLiteral("Verificação Inicial em \"Pedidos\""));
            janela.repintaTermometro();
            int contagem = 0;
            Ritmo compasso;
            for (const std::vector<Value> &row : pedidos.rows)
                if (col.ehPedido(row)) {
                    ++contagem;
                    if (compasso.hora()) {
                        janela.setProgressoTermometro(contagem);
                        janela.repintaTermometro();
                    }
                }
            janela.setProgressoTermometro(contagem);
            janela.setMaximoTermometro(contagem);
            janela.repintaTermometro();
            janela.setLegendaTermometro(QStringLiteral("Verificando Pedidos"));
            janela.repintaTermometro();
            janela.setProgressoTermometro(0);
            janela.repintaTermometro();

            // 6. The formulas the data module loads for an order: those of the
            // store's laboratory, for orders with a station and NPED above 0.
            std::vector<ChavePedido> chaves;
            for (const std::vector<Value> &row : pedidos.rows)
                if (col.ehPedido(row) && !textoDe(row[size_t(col.estacao)]).isEmpty()
                    && inteiro(row[size_t(cNped)]) > 0)
                    chaves.push_back({textoDe(row[size_t(col.estacao)]), inteiro(row[size_t(col.npedido)]),
                                      col.dataPedido(row)});
            const QString laboratorio = dm.PegaLaboratorio(cnpj);
            DadosMes mes = DadosMes::le(con, chaves, &laboratorio);

            LivroGravado livro(con);
            livro.reserva(mes.quantidadeLinhas());
            int visitados = 0;
            QString legenda;
            for (const std::vector<Value> &row : pedidos.rows) {
                ++visitados;
                if (col.ehPedido(row)) {
                    const QString estacao = textoDe(row[size_t(col.estacao)]);
                    const qint32 npedido = inteiro(row[size_t(col.npedido)]);
                    legenda = QStringLiteral("Pedido ") + cut(estacao, 2) + QLatin1Char('.') + QString::number(npedido);
                    if (!estacao.isEmpty() && inteiro(row[size_t(cNped)]) > 0)
                        for (FormulaMes &f : mes.formulas(estacao, npedido))
                            escritas += escreveFormula(con, livro, f, textoDe(row[size_t(col.medico)]),
                                                       textoDe(row[size_t(col.crm)]), cnpj);
                }
                if (compasso.hora()) {
                    janela.setProgressoTermometro(visitados);
                    if (!legenda.isEmpty())
                        janela.setLegendaTermometro(legenda);
                    janela.repintaTermometro();
                    ComandoExclusivo::verificaCancelamento();
                }
            }
            janela.setProgressoTermometro(visitados);
            janela.repintaTermometro();

            // 7. The rows for the check, in book order, as this transaction wrote them.
            linhas = livro.paraVerificar(janela, cnpj);
            scope->commit();
        } catch (const DatabaseError &e) {
            if (conflitoConcorrente(e))
                throw Error(mensagemLivroEmOutraEstacao());
            throw;
        }
    }

    // 8. The check of the rows.
    janela.setMaximoTermometro(escritas);
    janela.setLegendaTermometro(QStringLiteral("Verificando Inconsistência"));
    janela.setProgressoTermometro(0);
    janela.repintaTermometro();
    QStringList relatorio = cabecalhoInconsistencias();
    const int cabecalho = int(relatorio.size());
    const QDate hoje = QDate::currentDate();
    Ritmo compasso;
    int examinadas = 0;
    for (const LinhaExaminada &linha : linhas) {
        relatorio << examinaLinhaLivro(linha, hoje);
        ++examinadas;
        if (compasso.hora()) {
            janela.setProgressoTermometro(examinadas);
            janela.repintaTermometro();
        }
    }
    janela.setProgressoTermometro(examinadas);
    janela.repintaTermometro();
    janela.setMemo1(relatorio.join(QLatin1Char('\n')));
    if (relatorio.size() > cabecalho) {
        gravaInconsistencias(relatorio);
        mostraArquivoInconsistencias(janela);
    }
    // 9. Datasets closed and the panel hidden by `arruma`.
}

} // namespace velix
