#include "data/decimal.h"
#include "platform/errors.h"

#include <cmath>
#include <limits>

namespace velix {
namespace {

qint64 pow10(int n)
{
    qint64 p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// a / b rounded half away from zero.
qint64 divRound(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    const qint64 r = a % b;
    if (2 * (r < 0 ? -r : r) >= b)
        return a < 0 ? q - 1 : q + 1;
    return q;
}

} // namespace

Decimal Decimal::rescaled(int scale) const
{
    if (scale == m_scale)
        return *this;
    if (scale > m_scale) {
        const qint64 f = pow10(scale - m_scale);
        qint64 out;
        if (__builtin_mul_overflow(m_units, f, &out))
            throw ConvertError(QStringLiteral("'%1' is out of range").arg(toString()));
        return Decimal(out, scale);
    }
    return Decimal(divRound(m_units, pow10(m_scale - scale)), scale);
}

QString Decimal::toString() const
{
    const bool negative = m_units < 0;
    // Work on the magnitude as unsigned so that the minimum value is safe.
    quint64 mag = negative ? quint64(0) - quint64(m_units) : quint64(m_units);
    QString digits = QString::number(mag);
    if (m_scale > 0) {
        if (digits.size() <= m_scale)
            digits = QString(m_scale - digits.size() + 1, QLatin1Char('0')) + digits;
        digits.insert(digits.size() - m_scale, QLatin1Char('.'));
    }
    return negative ? QLatin1Char('-') + digits : digits;
}

double Decimal::toDouble() const
{
    return static_cast<double>(m_units) / static_cast<double>(pow10(m_scale));
}

Decimal Decimal::fromString(const QString &text, int scale)
{
    const QString t = text.trimmed();
    const auto bad = [&] { return ConvertError(QStringLiteral("'%1' is not a valid number").arg(text)); };
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
        negative = t[i++] == QLatin1Char('-');
    QString intPart, fracPart;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128)
            (point ? fracPart : intPart) += c;
        else if ((c == QLatin1Char('.') || c == QLatin1Char(',')) && !point)
            point = true;
        else
            throw bad();
    }
    if (intPart.isEmpty() && fracPart.isEmpty())
        throw bad();
    while (intPart.size() > 1 && intPart.startsWith(QLatin1Char('0')))
        intPart.remove(0, 1);
    // Keep one digit more than the scale for rounding.
    QString kept = fracPart.left(scale + 1);
    while (kept.size() < scale + 1)
        kept += QLatin1Char('0');
    const QString all = (intPart.isEmpty() ? QStringLiteral("0") : intPart) + kept;
    bool ok = false;
    const qint64 raw = all.toLongLong(&ok);
    if (!ok || all.size() > 18)
        throw ConvertError(QStringLiteral("'%1' is out of range").arg(text));
    qint64 units = divRound(raw, 10);
    return Decimal(negative ? -units : units, scale);
}

Decimal Decimal::fromDouble(double value, int scale)
{
    const double scaled = std::round(value * static_cast<double>(pow10(scale)));
    if (!std::isfinite(scaled) || std::fabs(scaled) > 9.2e18)
        throw ConvertError(QStringLiteral("'%1' is out of range").arg(value));
    return Decimal(static_cast<qint64>(scaled), scale);
}

bool operator==(const Decimal &a, const Decimal &b)
{
    if (a.m_scale == b.m_scale)
        return a.m_units == b.m_units;
    try {
        const int s = std::max(a.m_scale, b.m_scale);
        return a.rescaled(s).m_units == b.rescaled(s).m_units;
    } catch (const ConvertError &) {
        return false;
    }
}

} // namespace velix
