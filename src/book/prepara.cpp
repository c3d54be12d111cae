#include "book/prepara.h"

#include "book/dadosmes.h"
#include "book/inconsistencias.h"
#include "book/livrogravado.h"
#include "data/sqltext.h"
#include "data/tabelas.h"
#include "data/udm.h"
#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/exclusivo.h"
#include "platform/modal.h"
#include "platform/paths.h"
#include "platform/programa.h"
#include "platform/ritmo.h"
#include "report/livros.h"

#include <QFile>

#include <optional>

namespace velix {
namespace {

// The trace of the last order selection, one line ended by CR LF.
void gravaTraco(const QString &sql)
{
    QFile file(rootPath(QStringLiteral("SQL1.txt")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
    const QByteArray bytes = toCp1252(sql) + "\r\n";
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw FileError(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
    file.close();
}

} // namespace

QString selecaoPedidos(const QDate &DataInicial, const QDate &DataFinal, const QString &laboratorio)
{
    const QString formato = QStringLiteral("MM/dd/yy");
    return QStringLiteral("Select ") + Campos_PEDIDOS + QStringLiteral(" from Pedidos where DataPedido Between '")
           + DataInicial.toString(formato) + QStringLiteral("' and '") + DataFinal.toString(formato)
           + QStringLiteral("' AND ")
           + QStringLiteral("Upper(TipoPedido)='PEDIDO' and estacao||npedido = (Select distinct(compedid.estacao||compedid.npedido) "
                            "from compedid where pedidos.estacao = compedid.estacao and pedidos.npedido = compedid.npedido and  ")
           + QStringLiteral(" compedid.codigocomp = (Select componen.codigo from componen where componen.lista = 'B2' and "
                            "compedid.componente = componen.componente) and compedid.controlada = 'Sim') and ")
           + QStringLiteral(" estacao||npedido = (Select distinct(pediform.estacao||pediform.npedido) from pediform where "
                            "pedidos.estacao = pediform.estacao and pedidos.npedido = pediform.npedido and laboratorio = '")
           + sqlQuote(laboratorio) + QStringLiteral("') ") + QStringLiteral("Order by Estacao,NPedido");
}

void prepara_velix6(LivroView &janela, const QDateTime &DataInicial, const QDateTime &DataFinal)
{
    ComandoExclusivo exclusivo(QStringLiteral("a preparação do livro"));
    TDM &dm = DM();
    SQLConnection &con = dm.sqlcon1;
    const QString cnpj = CNPJLoja;

    dm.cdsPedidos.close();
    dm.cdsPediform.close();
    dm.cdsCompedid.close();
    dm.VELIX6.close();

    // The progress panel does not outlive the command, also when it fails; a
    // failed rebuild leaves no book rows open that the database no longer holds.
    struct Termometro {
        LivroView &janela;
        TDM &dm;
        bool mostrado = false;
        bool gravado = false;
        ~Termometro()
        {
            if (!gravado)
                dm.VELIX6.close();
            if (mostrado)
                janela.escondeTermometro();
        }
    } termometro{janela, dm};

    int escritas = 0;
    std::vector<LinhaExaminada> linhas;
    {
        std::optional<TransactionScope> scope;
        iniciaTransacaoDoLivro(scope, con, cnpj);
        try {
            con.executeDirect(QStringLiteral("DELETE FROM VELIX6 where CNPJ = '") + sqlQuote(cnpj) + QLatin1Char('\''));
            Abre_Livro(janela);

            janela.posicionaTermometro(QRect(275, 54, 205, 180));
            janela.setProgressoTermometro(0);
            janela.setLegendaTermometro(QStringLiteral("Verificação Inicial em Pedidos"));
            janela.mostraTermometro();
            termometro.mostrado = true;
            janela.processaMensagens();
            ComandoExclusivo::verificaCancelamento();

            const QString sql = selecaoPedidos(DataInicial.date(), DataFinal.date(), dm.PegaLaboratorio(cnpj));
            dm.sqldsPedidos.setCommandText(sql);
            gravaTraco(sql);

            QueryResult pedidos;
            try {
                pedidos = con.select(sql);
            } catch (...) {
                const ErrorReport erro = describeCurrentException(QStringLiteral("Prepara_Velix6"));
                scope.reset();
                janela.escondeTermometro();
                termometro.mostrado = false;
                ShowMessage(QStringLiteral("[Prepara_Velix6] UM ERRO NÃO TRATADO FOI GERADO!!!\rErro encontrado: ")
                            + erro.message + QStringLiteral("\rClasse: ") + erro.kind
                            + QStringLiteral("\rLinha: 2231."));
                return;
            }

            const ColunasPedidos col(pedidos);

            janela.setMaximoTermometro(int(pedidos.rows.size()));
            janela.repintaTermometro();
            janela.processaMensagens();
            ComandoExclusivo::verificaCancelamento();

            std::vector<ChavePedido> chaves;
            for (const std::vector<Value> &row : pedidos.rows)
                if (col.ehPedido(row))
                    chaves.push_back({textoDe(row[size_t(col.estacao)]), numeroDe(row[size_t(col.npedido)]),
                                      col.dataPedido(row)});
            DadosMes mes = DadosMes::le(con, chaves);

            LivroGravado livro(con);
            livro.reserva(mes.quantidadeLinhas());
            Ritmo compasso;
            int visitados = 0;
            QString legenda;
            const auto mostra = [&] {
                janela.setProgressoTermometro(visitados);
                janela.setLegendaTermometro(legenda);
                janela.repintaTermometro();
                janela.processaMensagens();
                ComandoExclusivo::verificaCancelamento();
            };
            for (const std::vector<Value> &row : pedidos.rows) {
                ++visitados;
                if (col.ehPedido(row)) {
                    const QString estacao = cut(textoDe(row[size_t(col.estacao)]), 2);
                    const qint32 npedido = numeroDe(row[size_t(col.npedido)]);
                    legenda = QStringLiteral("Pedido ") + estacao + QLatin1Char('.') + QString::number(npedido);
                    const QString medico = textoDe(row[size_t(col.medico)]);
                    const QString crm = textoDe(row[size_t(col.crm)]);
                    for (FormulaMes &f : mes.formulas(estacao, npedido)) {
                        escritas += escreveFormula(con, livro, f, medico, crm, cnpj);
                        if (compasso.hora())
                            mostra();
                    }
                }
                if (compasso.hora())
                    mostra();
            }
            janela.setProgressoTermometro(visitados);
            if (!legenda.isEmpty())
                janela.setLegendaTermometro(legenda);
            janela.repintaTermometro();

            // The rows for the check, in book order, as this transaction wrote them.
            linhas = livro.paraVerificar(janela, cnpj);

            scope->commit();
            termometro.gravado = true;
        } catch (const DatabaseError &e) {
            if (conflitoConcorrente(e))
                throw Error(mensagemLivroEmOutraEstacao());
            throw;
        }
    }

    Verifica_Inconsistencias(janela, escritas, linhas);
    linhas = {};

    dm.DCB.close();
    dm.VELIX6.close();
    dm.cdsPedidos.close();
    dm.cdsPediform.close();
    dm.cdsCompedid.close();
    janela.escondeTermometro();
    termometro.mostrado = false;
    janela.Habilita_Botoes_Relatorios();

    ImprimeLivroPreparado(janela);
}

} // namespace velix
