#pragma once
// The consistency check of the book rows and its error report
// "RELATÓRIO DE ERROS DE CONSISTÊNCIA" (file DM.VELIX6.TXT in the root folder).
//
// The check only reports: it changes no row. The pieces below are shared by
// the check after a preparation (Verifica_Inconsistencias), the refill of the
// prescribed capsules, which checks its rows the same way, and the
// "Inconsistências" command, which shows the file again.

#include "book/livroview.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace velix {

class ClientDataSet;

/// The three lines that open every error report: "RELATÓRIO DE ERROS DE
/// CONSISTÊNCIA", 34 equals signs (as long as the title) and two blanks.
QStringList cabecalhoInconsistencias();

/// The values of one book row that the checks look at. `npedido` and
/// `nformula` are the row's NPEDIDO and NFORMULA read as integers.
struct LinhaLivro {
    QString dcb, descricao, medicamento, apresentacao, numeroNotificacao;
    QDate data;  ///< invalid when DATA is empty
    QString medico, crm, qdePrescricao, qdeDispensada;
    QString estacao;
    qint32 npedido = 0;
    qint32 nformula = 0;
};

/// The current row of `livro` (a cached dataset of VELIX6). Throws an Error
/// (ConvertError) when NPEDIDO or NFORMULA is not a whole number: the row
/// cannot be identified in the report.
LinhaLivro leLinhaLivro(ClientDataSet &livro);

/// The row's identification in the report: ESTACAO as stored, ".", NPEDIDO,
/// ".", NFORMULA, the numbers in decimal without leading zeros ("01.4711.2";
/// an NPEDIDO stored as "007" reads as 7).
QString identificacaoLinha(const LinhaLivro &linha);

/// The finding lines of one row, in the order of the checks; each is the
/// row's identification directly followed by the message ("01.4711.2 "CRM"
/// não encontrado"). Empty means a text of length zero (one blank is not
/// empty). The checks, in order:
///   1 DCB empty                    " "DCB" não encontrado"
///   2 DESCRICAO empty              " "Descrição" não encontrada"
///   3 MEDICAMENTO empty            " "Medicamento" não encontrado"
///   4 APRESENTACAO empty           " "Apresentação" não encontrada"
///   5 NUMERONOTIFICACAO empty      " "Nº Notificação" não encontrado"
///   6 DATA later than `hoje`       " "Data Prescrição" maior que a data atual."
///   7 DATA empty                   " "Data Prescrição" não informada."
///   8 MEDICO empty                 " "Médico" não encontrado"
///   9 CRM empty                    " "CRM" não encontrado"
///  10 QDE_PRESCRICAO begins with "0"   " "Qde. Prescrita" não encontrada"
///  11 QDE_DISPENSADA begins with "0"   " "Qde. Dispensada" não encontrada"
/// An empty DATA is never later than today; an empty quantity is no finding.
QStringList achadosDaLinha(const LinhaLivro &linha, const QDate &hoje);

/// A book row as the check takes it: empty when the row cannot be identified
/// (NPEDIDO or NFORMULA is not a whole number); such a row gives no line.
using LinhaExaminada = std::optional<LinhaLivro>;

/// The rows of `livro` from the first to the last, as leLinhaLivro reads
/// them (empty for a row it cannot read). Leaves `livro` after its last row.
std::vector<LinhaExaminada> leLinhasLivro(ClientDataSet &livro);

/// The finding lines of one row, as achadosDaLinha() gives them; none for a
/// row that cannot be identified.
QStringList examinaLinhaLivro(const LinhaExaminada &linha, const QDate &hoje);

/// The error report file: rootPath("DM.VELIX6.TXT").
QString arquivoInconsistencias();

/// Writes `linhas` to the error report file in Windows-1252, every line (the
/// last one included) followed by CR LF, creating the file or replacing its
/// whole content. Throws FileError when it cannot be written.
void gravaInconsistencias(const QStringList &linhas);

/// The whole error report file as the inconsistency panel shows it: read as
/// Windows-1252, CR LF, CR or LF ending a line (a break at the very end opens
/// no further line), the lines joined by '\n'. Throws FileError when the file
/// cannot be read (also when it does not exist).
QString leArquivoInconsistencias();

/// Shows the error report file in the inconsistency panel: when the file
/// exists, its text (leArquivoInconsistencias()) goes into mmo1, replacing what was there, and pnl1 is placed at 141, 15,
/// 537 × 442, shown, with the focus in mmo1; returns true. When the file does
/// not exist nothing happens and it returns false. A file that exists but
/// cannot be read throws FileError and leaves the panel as it was.
bool mostraArquivoInconsistencias(InconsistenciasView &janela);

/// Checks every row of DM().VELIX6 (open with the pharmacy's book rows), from
/// the first; `MaximoProgresso` is the gauge's maximum. The progress panel
/// gets the caption "Verificando Inconsistência" and the number of rows
/// examined; the window processes its messages a few times a second while
/// the rows are walked. The report (the header lines, then every row's
/// findings) is left in Memo1. When something was found the report is written
/// to the error report file (a write failure is not caught) and shown in the
/// inconsistency panel; otherwise the file is left as it was.
void Verifica_Inconsistencias(LivroView &janela, int MaximoProgresso);

/// The same check over `linhas`, the book's rows in book order (as a
/// preparation keeps them, see LivroGravado), without DM().VELIX6.
void Verifica_Inconsistencias(LivroView &janela, int MaximoProgresso, const std::vector<LinhaExaminada> &linhas);

} // namespace velix
