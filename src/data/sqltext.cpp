#include "data/sqltext.h"

namespace velix {

QString sqlQuote(const QString &value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return quoted;
}

} // namespace velix
