#include "report/livros.h"

#include "data/sqltext.h"
#include "data/tabelas.h"
#include "data/udm.h"
#include "platform/programa.h"
#include "report/datasetconnection.h"
#include "report/uRM.h"

namespace velix {
namespace {

TRM &rm()
{
    if (!RM)
        throw Error(QStringLiteral("The report module does not exist"));
    return *RM;
}

// A field is blank when its text without blanks is empty (null included).
bool emBranco(ClientDataSet &dataSet, const char *field)
{
    return dataSet.fieldByName(QLatin1String(field)).asString().remove(QLatin1Char(' ')).isEmpty();
}

// Runs a report over the data module's book rows and registration data; the
// connections point at them only while the report runs.
void executa(const QString &report)
{
    TDM &dm = DM();
    TRM &modulo = rm();
    DataSetConnection velix6(dm.VELIX6);
    DataSetConnection dadosGer(dm.DadosGer);
    modulo.rvdsVELIX6.DataSet = &velix6;
    modulo.rvdsDadosGer.DataSet = &dadosGer;
    struct Solta {
        TRM &m;
        ~Solta() { m.rvdsVELIX6.DataSet = nullptr; m.rvdsDadosGer.DataSet = nullptr; }
    } solta{modulo};
    modulo.rvprjct1.execute(report);
}

} // namespace

void Abre_Livro(const LivroView &janela)
{
    TDM &dm = DM();
    dm.VELIX6.close();
    dm.SQLDS_VELIX6.setCommandText(livroSelect(CNPJLoja, janela.ordemVelix6()));
    dm.VELIX6.open();
}

void LivroOficial1Click(LivroView &janela)
{
    DM().AbreDadosGer();
    Abre_Livro(janela);
    ClientDataSet &livro = DM().VELIX6;
    livro.first();
    rm().rvprjct1.close();
    // DESCRICAO is tested before DCB.
    const bool vazio = livro.recordCount() == 1 && emBranco(livro, "DESCRICAO") && emBranco(livro, "DCB");
    executa(vazio ? QStringLiteral("vazio") : QStringLiteral("rptOficial"));
    DM().DadosGer.close();
    janela.Habilita_Botoes_Relatorios();
}

void LivroNsdosPedidos1Click(LivroView &janela)
{
    DM().AbreDadosGer();
    Abre_Livro(janela);
    executa(QStringLiteral("rptDetalha"));
    DM().DadosGer.close();
    janela.Habilita_Botoes_Relatorios();
}

void MostrarLivro1Click(LivroView &janela)
{
    LivroOficial1Click(janela);
}

void ImprimeLivroPreparado(LivroView &janela)
{
    DM().AbreDadosGer();
    Abre_Livro(janela);
    rm().rvprjct1.close();
    ClientDataSet &livro = DM().VELIX6;
    if (livro.isEmpty()) {
        // The empty-book row; CNPJ is filled in when the row is added.
        livro.append();
        livro.fieldByName(QStringLiteral("DCB")).setAsString(QStringLiteral(" "));
        livro.fieldByName(QStringLiteral("DESCRICAO")).setAsString(QStringLiteral(" "));
        livro.fieldByName(QStringLiteral("NUMERONOTIFICACAO")).setAsString(QStringLiteral(" "));
        livro.post();
        executa(QStringLiteral("vazio"));
    } else {
        executa(QStringLiteral("rptOficial"));
    }
}

void actConfImpressoraExecute()
{
    rm().rvsystm1.printerSetup();
}

} // namespace velix
