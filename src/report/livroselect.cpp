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

QString ordemDoLivro(const QString &ordemVelix6)
{
    return ordenaLivroPorData(ordemVelix6) ? QStringLiteral("DATA") : QStringLiteral("DCB,DATA,NUMERONOTIFICACAO");
}

QString livroSelect(const QString &cnpj, const QString &ordemVelix6)
{
    return QStringLiteral("SELECT ") + Campos_VELIX6 + QStringLiteral(" FROM VELIX6 WHERE CNPJ = '") + sqlQuote(cnpj)
           + QStringLiteral("' ORDER BY ") + ordemDoLivro(ordemVelix6);
}

} // namespace velix
