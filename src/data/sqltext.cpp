#include "data/sqltext.h"
#include "data/convert.h"

namespace velix {

QString sqlQuote(const QString &value)
{
    detail::checkStorableText(value);
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return quoted;
}

} // namespace velix
