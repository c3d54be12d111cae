#include "book/prepara.h"

#include "platform/errors.h"

namespace velix {

void prepara_velix6(LivroView &, const QDateTime &, const QDateTime &)
{
    throw Error(QStringLiteral("prepara_velix6: ainda não disponível"));
}

} // namespace velix
