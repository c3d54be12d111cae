#include "access/estacao.h"

#include "data/sqltext.h"
#include "data/udm.h"
#include "data/udm2.h"
#include "platform/modal.h"
#include "platform/programa.h"

namespace velix {
namespace {

const QChar CR(13);
const QChar Aspas(u'"');

QString mensagemSemEstacao()
{
    return QStringLiteral("Não foi possível selecionar uma área de trabalho para o usuário ") + Aspas + NomeUsuario
        + Aspas + QStringLiteral(". ") + CR + CR + QStringLiteral("Causas prováveis: ") + CR + CR
        + QStringLiteral("  1) Na tabela ") + Aspas + QStringLiteral("Estacoes.db") + Aspas
        + QStringLiteral(" não foi incluída uma estação para o usuário ") + Aspas + NomeUsuario + Aspas
        + QStringLiteral(".") + CR
        + QStringLiteral("     Obs: Criar também a área de trabalho física (pasta C:\\Korvante\\InterfacXX) para este usuário.")
        + CR + QStringLiteral("  --> Favor contactar o suporte técnico da KVT SISTEMAS <--");
}

QString mensagemSemCnpj()
{
    return QStringLiteral("Erro na configuração da tabela ESTACOES:") + CR
        + QStringLiteral("O campo CNPJ tabela ESTACOES não foi preenchido para o a estação ") + EstacaoAtual;
}

/// Closes the dataset when the selection ends, whatever way it ends.
struct Fecha {
    ClientDataSet &ds;
    ~Fecha() { ds.close(); }
};

} // namespace

QString cnpjPontuado(const QString &cnpj)
{
    return cnpj.mid(0, 2) + QLatin1Char('.') + cnpj.mid(2, 3) + QLatin1Char('.') + cnpj.mid(5, 3)
        + QLatin1Char('/') + cnpj.mid(8, 4) + QLatin1Char('-') + cnpj.mid(12, 2);
}

QString tituloEstacao(const QString &nomeUsuario, const QString &estacao, const QString &cnpj)
{
    return QStringLiteral("  VELIX6  -  Usuário: ") + Aspas + nomeUsuario + Aspas + QStringLiteral("   Estação: ")
        + estacao + QStringLiteral("  Loja: ") + cnpjPontuado(cnpj);
}

QString SelecionaEstacao(LoginView &view)
{
    EstacaoAtual.clear();
    QString resultado;
    view.setNome(NomeUsuario);

    ClientDataSet &estacoes = DM().Estacoes;
    Fecha fecha{estacoes};
    estacoes.close();
    DM().SQLDS_Estacoes.setCommandText(
        QStringLiteral("Select ESTACAO, DATBASNAM, TIPO, ATCAIXA, ESVAZIAR, EMUSO, CAMINHOREQUISICAO, CAMINHOOM, "
                       "CAMINHOECF, CAMINHOSEQUENCIAL1, CAMINHO2, ROTULO1, ROTULO2, ROTULO3, ROTULO4, ROTULO5, "
                       "ROTULO6, USUARIO, CNPJ from ESTACOES where upper(USUARIO) = '")
        + sqlQuote(upperAZ(NomeUsuario)) + QStringLiteral("'"));
    estacoes.open();

    // Only the first row the database returns counts; EMUSO is not consulted.
    const QString usuario = estacoes.isEmpty() ? QString() : estacoes.fieldByName(QStringLiteral("USUARIO")).asString();
    if (usuario.isEmpty() || upperAZ(usuario) != upperAZ(NomeUsuario)) {
        ShowMessage(mensagemSemEstacao());
        return resultado;
    }

    EstacaoAtual = cut(estacoes.fieldByName(QStringLiteral("ESTACAO")).asString(), 2);
    resultado = estacoes.fieldByName(QStringLiteral("DATBASNAM")).asString();
    CNPJLoja = cut(estacoes.fieldByName(QStringLiteral("CNPJ")).asString(), 14);
    if (CNPJLoja.isEmpty())
        ShowMessage(mensagemSemCnpj());

    view.setTitle(tituloEstacao(NomeUsuario, EstacaoAtual, CNPJLoja));
    DM2().setStation(EstacaoAtual);
    return resultado;
}

} // namespace velix
