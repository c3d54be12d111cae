#pragma once
// "Dados Cadastrais": the pharmacy's registration data, the DADOSGER row whose
// CGC is CNPJLoja, edited in the panel PainelConfigLivro through
// DM().DadosGer.
//
//   CadastroFarmacia cadastro(view);
//   cadastro.actConfCadExecute();              // panel shown, row read
//   cadastro.alteraCampo("FARMACEUTICO", t);   // what typing in a field does
//   cadastro.BitBtn36Click();                  // stored, panel closed
//
// Storing. The exit button (and Escape) posts the edit; posting applies it to
// the database and re-reads the row. Leaving without having changed anything
// sends nothing and says nothing. When the database refuses a real change (a
// constraint, a trigger, a lost connection) nothing is lost: the message
// mensagemNaoGravado() with the database's reason is shown, the cache is put
// back as read, and the panel stays open with the user's values in the edit.
// Pressing the exit button again without changing anything then leaves
// without storing; changing a value first makes it try to store again.
//
// CNPJ. CGC receives the digits alone. A CNPJ the user changed to fewer than
// the 12 required digits is refused with mensagemValorInvalido() when the user
// leaves the field and when storing; a new row is stored only with a CNPJ.
// Escape in the field, while it holds such a change, puts the stored CNPJ back.
//
// To be used from the main (user-interface) thread only.

#include "registration/dadoscadastraisview.h"

#include <QString>
#include <QStringList>

namespace velix {

class ClientDataSet;

/// The digits of `texto` alone, at most the first 14
/// ("12.345.678/0001-95" -> "12345678000195"; "CNPJ: 12 345" -> "12345").
QString cnpjDigitos(const QString &texto);
/// True when `digitos` holds the 12 required digits of a CNPJ (12 to 14 digits).
bool cnpjCompleto(const QString &digitos);

/// The month list of the panel: JANEIRO ... DEZEMBRO, MARCO without a cedilla.
QStringList mesesDoLivro();
/// The year list of the panel: "2006" to "2030", ascending.
QStringList anosDoLivro();

/// The refusal of a masked field whose required positions are not filled.
QString mensagemValorInvalido();
/// The message of a change the database refused, with its reason.
QString mensagemNaoGravado(const QString &motivo);

class CadastroFarmacia {
public:
    explicit CadastroFarmacia(DadosCadastraisView &view) : m_view(view) {}

    /// Shows the panel, reads the pharmacy's row (TDM::AbreDadosGer, which
    /// drops edits not yet stored) and puts the focus in the first field.
    /// A database error reaches the caller with the panel shown.
    void actConfCadExecute();

    /// Stores the edit and closes the panel (see above).
    void BitBtn36Click();

    /// The user typed or picked `texto` in the field of column `coluna`: the
    /// row goes into editing (a new row when the pharmacy has none) and the
    /// column receives the text (CGC its digits). Returns false, changing
    /// nothing, when DadosGer is not open.
    bool alteraCampo(const QString &coluna, const QString &texto);

    /// True while the CNPJ field holds a change with required digits missing.
    bool cnpjIncompleto() const;
    /// Leaving the CNPJ field: refuses an incomplete CNPJ (message, focus back
    /// in the field). Returns true when the field may be left.
    bool validaCnpj();
    /// Escape in the CNPJ field: the CNPJ the row had when read comes back.
    void restauraCnpj();

    /// A refused store waits for the user to correct it or to leave.
    bool recusado() const { return m_recusado; }

private:
    void fecha();
    void descarta();

    DadosCadastraisView &m_view;
    bool m_recusado = false;
};

} // namespace velix
