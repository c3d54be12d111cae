#include "book/inconsistencias.h"

#include "platform/errors.h"

namespace velix {

void Verifica_Inconsistencias(LivroView &, int)
{
    throw Error(QStringLiteral("Verifica_Inconsistencias: ainda não disponível"));
}

} // namespace velix
