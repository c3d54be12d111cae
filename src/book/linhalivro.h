#pragma once
// The book row: what one list-B2 component line of a dispensed formula gives
// in VELIX6, and the small rules shared by the preparation ("Preparar Livro")
// and the prescribed-capsule correction.

#include "data/value.h"

#include <QDate>
#include <QString>

#include <vector>

namespace velix {

/// A component line counts for the book when the component found in COMPONEN
/// has exactly the line's code (`encontrado` false: no component found, the
/// line never counts), the first character of its CONTROLADA, turned to
/// capitals (a-z only), is "S", and its LISTA is exactly "B2" ("b2" and "B2 "
/// do not count).
bool componenteB2(bool encontrado, const QString &codigoEncontrado, const QString &codigo,
                  const QString &controlada, const QString &lista);

/// The component code of a line: COMPEDID.CODIGOCOMP cut to 13 characters.
QString codigoComponente(const QString &codigoComp);

/// The dispensed capsules of a formula: QDECAPSULAS when it is 1 or more; 1
/// when it is null, 0, negative or not a whole number.
int capsulasDispensadas(const Value &qdeCapsulas);

/// A prescribed count below 1 (null reads as 0) is missing: the formula
/// receives its dispensed capsules.
bool prescritaAusente(const Value &qdeCapsPrescrita);

/// The prescribed count as it stands (null reads as 0; a value that is not a
/// whole number reads as 0).
int prescritaLida(const Value &qdeCapsPrescrita);

/// A typed quantity (COMPEDID.QDEDIG) as text: the general form with at most 15
/// significant digits, a comma as decimal separator, no thousands separator,
/// no trailing zeros; plain digits while the integer part has at most 15
/// digits and the value is 0,00001 or more in size, else the scientific form
/// with the shortest exponent ("1E20", "1,5E-7"). Null gives "". 10 gives
/// "10", 2.5 gives "2,5".
QString textoQuantidade(const Value &qdeDig);

/// What one book row is made of.
struct OrigemLinha {
    // the order (PEDIDOS)
    QString medico;
    QString crm;
    // the formula (PEDIFORM)
    QString estacao;
    qint32 npedido = 0;
    qint32 nformula = 0;
    QString formaFarma;
    QString numeroNotificacao;
    QDate dataPrescricao;          ///< invalid when empty
    int dispensadas = 1;           ///< capsulasDispensadas()
    int prescritas = 0;            ///< after the correction
    // the component line (COMPEDID) and its component (COMPONEN, DCB)
    QString componente;            ///< the component's name (40 characters)
    Value qdeDig;
    QString unidDig;
    QString dcb;                   ///< COMPONEN.DCB
    /// The DCB value of the look-up of that code (empty when no row was
    /// found) equals COMPONEN.DCB exactly; so an empty code without a row
    /// takes the (empty) description, not the component's name.
    bool dcbConfere = false;
    QString descricaoDcb;          ///< the DESCRICAO of the look-up ("" when no row)
    QString cnpj;                  ///< the pharmacy (CNPJLoja)
};

/// The 14 values of a VELIX6 row, in column-list order, every text cut to
/// its column's width:
///   DCB            COMPONEN.DCB
///   DESCRICAO      the look-up's description when dcbConfere, else the
///                  component's name
///   MEDICAMENTO    "-"
///   APRESENTACAO   form + " e " + textoQuantidade(QDEDIG) + " " + UNIDDIG
///   NUMERONOTIFICACAO, DATA (null when empty), MEDICO, CRM
///   QDE_PRESCRICAO prescribed count + " " + form
///   QDE_DISPENSADA dispensed capsules + " " + form
///   ESTACAO, NPEDIDO, NFORMULA (numbers as decimal text; NFORMULA keeps two
///                  characters), CNPJ
/// where form is the first 3 characters of FORMAFARMA.
std::vector<Value> linhaLivro(const OrigemLinha &o);

/// "INSERT INTO VELIX6 (<columns>) VALUES (?, ..., ?)", for linhaLivro's values.
QString insertLinhaLivro();

/// "UPDATE PEDIFORM SET QDE_CAPS_PRESCRITA = ? WHERE ESTACAO = ? AND NPEDIDO = ?
/// AND NFORMULA = ?": the prescribed count written back to one formula.
QString updatePrescrita();

} // namespace velix
