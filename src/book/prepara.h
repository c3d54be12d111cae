#pragma once
// "Preparar Livro": rebuilding the pharmacy's book rows of one month.

#include "book/livroview.h"

#include <QDateTime>

namespace velix {

/// Rebuilds the pharmacy's VELIX6 rows from the orders of DataInicial to
/// DataFinal (first and last day of the book's month), checks them and prints
/// the book. Returns when the preview has been closed.
///
/// The rebuild (deletion of the pharmacy's rows, every new row, every
/// prescribed count written back to PEDIFORM) is one transaction, committed
/// before the check and the print: a failure on the way leaves the previous
/// book and PEDIFORM as they were. One preparation of a pharmacy runs at a
/// time, also across workstations (iniciaTransacaoDoLivro).
void prepara_velix6(LivroView &janela, const QDateTime &DataInicial, const QDateTime &DataFinal);

/// The order selection of the month: the orders dated DataInicial to
/// DataFinal (written MM/DD/YY) typed "PEDIDO" in any case, with a list-B2
/// component line marked 'Sim' and a formula of `laboratorio`, by station and
/// order number. One line, as written to SQL1.txt.
QString selecaoPedidos(const QDate &DataInicial, const QDate &DataFinal, const QString &laboratorio);

} // namespace velix
