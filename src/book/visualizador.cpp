#include "book/visualizador.h"

#include "book/inconsistencias.h"

namespace velix {

void actInconsistenciasExecute(InconsistenciasView &janela)
{
    mostraArquivoInconsistencias(janela);
}

} // namespace velix
