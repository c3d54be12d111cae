#pragma once
// "Inconsistências": the error report of the last check that found something,
// shown again in the inconsistency panel.

#include "book/livroview.h"

namespace velix {

/// When the error report file (arquivoInconsistencias()) exists, its whole
/// text goes into mmo1, replacing what the user may have typed there, and
/// pnl1 is placed at 141, 15, 537 × 442, shown, with the focus in mmo1. No
/// file: nothing at all (no message, no panel). A file that cannot be read:
/// FileError, the panel as it was. The file is never written here.
void actInconsistenciasExecute(InconsistenciasView &janela);

} // namespace velix
