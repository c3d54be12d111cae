#pragma once
// The command "Formatar Descrição do DCB" (menu "Utilitários"): rewrites the
// description of every row of the DCB table into the form Converte_Codigo
// gives (utilities/convertecodigo.h). The codes (DCB.DCB) are never changed.
//
// What the user sees: the progress panel at 275, 54, 205 x 180 with the
// caption "Formatando Descrições" and the gauge from 0 to the number of rows;
// a row the database refuses is reported as it happens, in the form
//     [Formata_Descricao] UM ERRO NÃO TRATADO FOI GERADO!!!
//     Erro encontrado: <the error's text>
//     Classe: <the error's kind>
//     Linha: 2756.
// and the walk goes on with the next row. At the end the panel is hidden and
// DM.DCB closed, then "Procedimento concluído com sucesso!!!" when every row
// was stored, or a message with the number of descriptions formatted and of
// those that could not be stored.
//
// How the rows are read and stored: DM.DCB is opened with "select DCB,
// DESCRICAO from DCB" and walked in memory. Each row is stored by one UPDATE
// of its description found by its code and its old description (prepared
// once, run once per row), guarded by a savepoint, so a row the database
// refuses leaves nothing of itself behind and the others go on; nothing is
// read again after a row is stored. The rows' transaction is committed a few
// times a second, before the window processes its messages and before any
// message is shown, so no lock is held while the user looks at a message and
// each row is in the database moments after it was formatted. A row whose text
// does not change is not written (posting an unchanged row in a cached dataset
// sends nothing either); a null description stays null.
//
// Tables without a key may hold a code twice. Rows equal in code and
// description cannot be told apart and would be formatted alike, so they are
// stored together by one UPDATE that must change exactly as many rows as were
// read. Any other count (the row was changed or removed meanwhile, or the
// UPDATE would also reach another row) rolls that row back and reports it as
// not stored: no other row is ever changed.
//
// While it runs the window processes its pending messages a few times a
// second; the command holds the ComandoExclusivo, so the window refuses the
// commands that would disturb it, and a stop asked for by the program ending
// (Cancelado) ends the walk between two rows: the rows stored so far stay.
// No message is ever shown while a transaction is open.
//
// Errors while opening the table reach the caller (the general error handler);
// the panel is hidden and DM.DCB closed on the way out.

#include "platform/termometroview.h"

#include <QString>

namespace velix {

struct ResultadoFormatacao {
    int linhas = 0;      ///< rows read
    int gravadas = 0;    ///< rows in their new form in the database (unchanged ones included)
    int falhas = 0;      ///< rows that could not be stored
};

/// The command's description in the refusal message of ComandoExclusivo.
QString descricaoFormatacaoDCB();

/// Runs the command through DM() and the modal seam; throws ComandoEmCurso
/// when another long command is running, and Cancelado when stopped.
ResultadoFormatacao FormatarDescrioDCB1Click(TermometroView &view);

/// The message that reports a row that could not be stored.
QString mensagemFalhaFormatacao(const QString &texto, const QString &classe);

/// The closing message when `r.falhas` rows could not be stored.
QString mensagemConclusaoComFalhas(const ResultadoFormatacao &r);

} // namespace velix
