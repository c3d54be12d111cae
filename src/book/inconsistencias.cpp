#include "book/inconsistencias.h"

#include "data/dataset.h"
#include "data/udm.h"
#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/exclusivo.h"
#include "platform/paths.h"
#include "platform/ritmo.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace velix {
namespace {

QString texto(ClientDataSet &livro, const char *coluna)
{
    return livro.fieldByName(QLatin1String(coluna)).asString();
}

bool comecaComZero(const QString &quantidade)
{
    return !quantidade.isEmpty() && quantidade.at(0) == QLatin1Char('0');
}

// Memo1 holds the report's lines separated by line breaks.
QString textoDoMemo(const QStringList &linhas)
{
    return linhas.join(QLatin1Char('\n'));
}

// The lines of a text file: CR LF, CR or LF end a line; a break at the very
// end opens no further line.
QString textoDoArquivo(const QString &conteudo)
{
    static const QRegularExpression quebra(QStringLiteral("\r\n|\r|\n"));
    QStringList linhas = conteudo.split(quebra);
    if (!linhas.isEmpty() && linhas.last().isEmpty())
        linhas.removeLast();
    return linhas.join(QLatin1Char('\n'));
}

} // namespace

QStringList cabecalhoInconsistencias()
{
    const QString titulo = QStringLiteral("RELATÓRIO DE ERROS DE CONSISTÊNCIA");
    return {titulo, QString(titulo.size(), QLatin1Char('=')), QStringLiteral("  ")};
}

LinhaLivro leLinhaLivro(ClientDataSet &livro)
{
    LinhaLivro l;
    l.dcb = texto(livro, "DCB");
    l.descricao = texto(livro, "DESCRICAO");
    l.medicamento = texto(livro, "MEDICAMENTO");
    l.apresentacao = texto(livro, "APRESENTACAO");
    l.numeroNotificacao = texto(livro, "NUMERONOTIFICACAO");
    l.data = livro.fieldByName(QStringLiteral("DATA")).asDate();
    l.medico = texto(livro, "MEDICO");
    l.crm = texto(livro, "CRM");
    l.qdePrescricao = texto(livro, "QDE_PRESCRICAO");
    l.qdeDispensada = texto(livro, "QDE_DISPENSADA");
    l.estacao = texto(livro, "ESTACAO");
    l.npedido = livro.fieldByName(QStringLiteral("NPEDIDO")).asInteger();
    l.nformula = livro.fieldByName(QStringLiteral("NFORMULA")).asInteger();
    return l;
}

QString identificacaoLinha(const LinhaLivro &linha)
{
    return linha.estacao + QLatin1Char('.') + QString::number(linha.npedido) + QLatin1Char('.')
           + QString::number(linha.nformula);
}

QStringList achadosDaLinha(const LinhaLivro &l, const QDate &hoje)
{
    QString id;   // formed for the first finding
    QStringList achados;
    const auto achado = [&](bool quando, const char *mensagem) {
        if (!quando)
            return;
        if (id.isEmpty())
            id = identificacaoLinha(l);
        achados << id + QString::fromUtf8(mensagem);
    };
    achado(l.dcb.isEmpty(), " \"DCB\" não encontrado");
    achado(l.descricao.isEmpty(), " \"Descrição\" não encontrada");
    achado(l.medicamento.isEmpty(), " \"Medicamento\" não encontrado");
    achado(l.apresentacao.isEmpty(), " \"Apresentação\" não encontrada");
    achado(l.numeroNotificacao.isEmpty(), " \"Nº Notificação\" não encontrado");
    achado(l.data.isValid() && l.data > hoje, " \"Data Prescrição\" maior que a data atual.");
    achado(!l.data.isValid(), " \"Data Prescrição\" não informada.");
    achado(l.medico.isEmpty(), " \"Médico\" não encontrado");
    achado(l.crm.isEmpty(), " \"CRM\" não encontrado");
    achado(comecaComZero(l.qdePrescricao), " \"Qde. Prescrita\" não encontrada");
    achado(comecaComZero(l.qdeDispensada), " \"Qde. Dispensada\" não encontrada");
    return achados;
}

std::vector<LinhaExaminada> leLinhasLivro(ClientDataSet &livro)
{
    std::vector<LinhaExaminada> linhas;
    for (livro.first(); !livro.eof(); livro.next()) {
        try {
            linhas.emplace_back(leLinhaLivro(livro));
        } catch (const Error &) {
            // A row that cannot be identified is left out of the report.
            linhas.emplace_back();
        }
    }
    return linhas;
}

QStringList examinaLinhaLivro(const LinhaExaminada &linha, const QDate &hoje)
{
    return linha ? achadosDaLinha(*linha, hoje) : QStringList();
}

QString arquivoInconsistencias()
{
    return rootPath(QStringLiteral("DM.VELIX6.TXT"));
}

void gravaInconsistencias(const QStringList &linhas)
{
    QString conteudo;
    for (const QString &linha : linhas)
        conteudo += linha + QStringLiteral("\r\n");
    writeCp1252File(arquivoInconsistencias(), conteudo);
}

QString leArquivoInconsistencias()
{
    return textoDoArquivo(readCp1252File(arquivoInconsistencias()));
}

bool mostraArquivoInconsistencias(InconsistenciasView &janela)
{
    if (!QFileInfo::exists(arquivoInconsistencias()))
        return false;
    janela.mostraInconsistencias(leArquivoInconsistencias());
    return true;
}

void Verifica_Inconsistencias(LivroView &janela, int MaximoProgresso)
{
    Verifica_Inconsistencias(janela, MaximoProgresso, leLinhasLivro(DM().VELIX6));
}

void Verifica_Inconsistencias(LivroView &janela, int MaximoProgresso, const std::vector<LinhaExaminada> &linhas)
{
    janela.setMaximoTermometro(MaximoProgresso);
    janela.repintaTermometro();
    janela.setLegendaTermometro(QStringLiteral("Verificando Inconsistência"));
    janela.repintaTermometro();
    janela.setProgressoTermometro(0);
    int examinadas = 0;
    int erros = 0;

    QStringList relatorio = cabecalhoInconsistencias();
    janela.setMemo1(textoDoMemo(relatorio));

    // Memo1 receives the findings also when the walk ends by an error.
    struct Memo {
        LivroView &janela;
        const QStringList &linhas;
        ~Memo() { janela.setMemo1(textoDoMemo(linhas)); }
    } memo{janela, relatorio};

    const QDate hoje = QDate::currentDate();
    Ritmo ritmo;
    for (const LinhaExaminada &linha : linhas) {
        janela.setProgressoTermometro(++examinadas);
        const QStringList achados = examinaLinhaLivro(linha, hoje);
        relatorio += achados;
        erros += int(achados.size());
        if (ritmo.hora()) {
            janela.repintaTermometro();
            janela.processaMensagens();
            ComandoExclusivo::verificaCancelamento();
        }
    }
    janela.repintaTermometro();

    if (erros > 0) {
        gravaInconsistencias(relatorio);
        mostraArquivoInconsistencias(janela);
    }
}

} // namespace velix
