#pragma once
// "Preparar Livro": rebuilding the pharmacy's book rows of one month.

#include "book/livroview.h"

#include <QDateTime>

namespace velix {

/// Rebuilds the pharmacy's VELIX6 rows from the orders of DataInicial to
/// DataFinal (first and last day of the book's month), checks them and prints
/// the book. Returns when the preview has been closed.
void prepara_velix6(LivroView &janela, const QDateTime &DataInicial, const QDateTime &DataFinal);

} // namespace velix
