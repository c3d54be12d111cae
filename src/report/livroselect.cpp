// The book's statement, apart from the routines that run it, so that it can
// be used without the data module.

#include "data/sqltext.h"
#include "data/tabelas.h"
#include "platform/programa.h"
#include "report/livros.h"

namespace velix {

bool ordenaLivroPorData(const QString &ordemVelix6)
{
    return upperAZ(ordemVelix6) == QLatin1String("DATA");
}

QString livroSelect(const QString &cnpj, const QString &ordemVelix6)
{
    return QStringLiteral("SELECT ") + Campos_VELIX6 + QStringLiteral(" FROM VELIX6 WHERE CNPJ = '") + sqlQuote(cnpj)
           + (ordenaLivroPorData(ordemVelix6) ? QStringLiteral("' ORDER BY DATA")
                                              : QStringLiteral("' ORDER BY DCB,DATA,NUMERONOTIFICACAO"));
}

} // namespace velix
