#pragma once
// The consistency check of the book rows and its error report
// "RELATÓRIO DE ERROS DE CONSISTÊNCIA" (file DM.VELIX6.TXT in the root folder).

#include "book/livroview.h"

namespace velix {

/// Checks every row of DM().VELIX6 (open with the pharmacy's book rows),
/// assembles the report in Memo1 and, when something was found, writes the
/// report file and shows it in the inconsistency panel. `MaximoProgresso` is
/// the gauge's maximum.
void Verifica_Inconsistencias(LivroView &janela, int MaximoProgresso);

} // namespace velix
