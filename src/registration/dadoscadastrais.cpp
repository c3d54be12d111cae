#include "registration/dadoscadastrais.h"

#include "data/dataset.h"
#include "data/udm.h"
#include "platform/errors.h"
#include "platform/modal.h"

#include <vector>

namespace velix {
namespace {

const QString kCGC = QStringLiteral("CGC");

bool editando(const ClientDataSet &ds)
{
    return ds.state() == DataSetState::Edit || ds.state() == DataSetState::Insert;
}

/// An edit that changes nothing: every value as read, or a new row left empty.
bool semAlteracoes(ClientDataSet &ds)
{
    for (int i = 0; i < ds.fieldCount(); ++i) {
        const Field &f = ds.field(i);
        if (ds.state() == DataSetState::Insert ? !f.isNull() : !(f.value() == f.oldValue()))
            return false;
    }
    return true;
}

/// The user changed the CNPJ (for a new row: typed one).
bool cgcAlterado(ClientDataSet &ds)
{
    const Field &cgc = ds.fieldByName(kCGC);
    return !(cgc.value() == cgc.oldValue());
}

} // namespace

QString cnpjDigitos(const QString &texto)
{
    QString digitos;
    for (QChar c : texto)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9') && digitos.size() < 14)
            digitos += c;
    return digitos;
}

bool cnpjCompleto(const QString &digitos)
{
    return digitos.size() >= 12 && digitos.size() <= 14 && cnpjDigitos(digitos) == digitos;
}

QStringList mesesDoLivro()
{
    return {QStringLiteral("JANEIRO"), QStringLiteral("FEVEREIRO"), QStringLiteral("MARCO"),
            QStringLiteral("ABRIL"),   QStringLiteral("MAIO"),      QStringLiteral("JUNHO"),
            QStringLiteral("JULHO"),   QStringLiteral("AGOSTO"),    QStringLiteral("SETEMBRO"),
            QStringLiteral("OUTUBRO"), QStringLiteral("NOVEMBRO"),  QStringLiteral("DEZEMBRO")};
}

QStringList anosDoLivro()
{
    QStringList anos;
    for (int ano = 2006; ano <= 2030; ++ano)
        anos << QString::number(ano);
    return anos;
}

QString mensagemValorInvalido()
{
    return QStringLiteral("Valor de entrada inválido. Use a tecla Esc para abandonar as alterações.");
}

QString mensagemNaoGravado(const QString &motivo)
{
    return QStringLiteral("Os dados cadastrais não foram gravados.\n\n") + motivo
        + QStringLiteral("\n\nCorrija os dados e clique em \"Sair - voltar a tela inicial\" para gravá-los, "
                         "ou clique nele de novo sem alterar nada para sair sem gravar.");
}

void CadastroFarmacia::actConfCadExecute()
{
    m_recusado = false;
    m_view.mostraPainel();
    DM().AbreDadosGer();
    m_view.focaCampo(QStringLiteral("SECRETARIA_SAUDE"));
}

bool CadastroFarmacia::alteraCampo(const QString &coluna, const QString &texto)
{
    ClientDataSet &ds = DM().DadosGer;
    if (!ds.isOpen())
        return false;
    Field &campo = ds.fieldByName(coluna);
    if (ds.state() == DataSetState::Browse)
        ds.edit();  // a pharmacy without a row gets a new one
    const QString valor = coluna.compare(kCGC, Qt::CaseInsensitive) == 0 ? cnpjDigitos(texto) : texto;
    // A field emptied again goes back to null when it was null.
    if (valor.isEmpty() && campo.oldValue().isNull())
        campo.clear();
    else
        campo.setAsString(valor);
    m_recusado = false;
    return true;
}

bool CadastroFarmacia::cnpjIncompleto() const
{
    ClientDataSet &ds = DM().DadosGer;
    if (!ds.isOpen() || !editando(ds) || !cgcAlterado(ds))
        return false;
    return !cnpjCompleto(ds.fieldByName(kCGC).asString());
}

bool CadastroFarmacia::validaCnpj()
{
    if (!cnpjIncompleto())
        return true;
    ShowMessage(mensagemValorInvalido());
    m_view.focaCampo(kCGC);
    return false;
}

void CadastroFarmacia::restauraCnpj()
{
    ClientDataSet &ds = DM().DadosGer;
    if (!ds.isOpen() || !editando(ds))
        return;
    Field &cgc = ds.fieldByName(kCGC);
    cgc.setValue(cgc.oldValue());
    m_recusado = false;
}

void CadastroFarmacia::BitBtn36Click()
{
    ClientDataSet &ds = DM().DadosGer;
    if (!ds.isOpen() || !editando(ds) || semAlteracoes(ds)) {
        // Nothing to store: nothing is sent and nothing is said.
        ds.cancel();
        fecha();
        return;
    }
    if (m_recusado) {
        // The second press after a refusal, nothing changed since: leave without storing.
        descarta();
        return;
    }
    const bool novo = ds.state() == DataSetState::Insert;
    // A new row without a CNPJ could never be found again.
    if (cnpjIncompleto() || (novo && !cnpjCompleto(ds.fieldByName(kCGC).asString()))) {
        ShowMessage(mensagemValorInvalido());
        m_view.focaCampo(kCGC);
        m_recusado = true;
        return;
    }

    std::vector<Value> digitados;
    for (int i = 0; i < ds.fieldCount(); ++i)
        digitados.push_back(ds.field(i).value());
    try {
        ds.post();  // applies the change and re-reads the row
    } catch (const Error &e) {
        const QString motivo = ds.lastApplyError().isEmpty() ? e.message() : ds.lastApplyError();
        // The cache goes back to the row as read; the user's values wait in the edit.
        ds.cancelUpdates();
        try {
            if (novo)
                ds.append();
            else
                ds.edit();
            for (int i = 0; i < ds.fieldCount(); ++i)
                if (!(ds.field(i).value() == digitados[size_t(i)]))
                    ds.field(i).setValue(digitados[size_t(i)]);
        } catch (const Error &) {
            // The row can no longer be read: the message still tells what happened.
        }
        m_recusado = true;
        ShowMessage(mensagemNaoGravado(motivo));
        return;
    }
    fecha();
}

void CadastroFarmacia::descarta()
{
    ClientDataSet &ds = DM().DadosGer;
    ds.cancel();
    ds.cancelUpdates();
    fecha();
}

void CadastroFarmacia::fecha()
{
    DM().DadosGer.close();
    m_recusado = false;
    m_view.escondePainel();
}

} // namespace velix
