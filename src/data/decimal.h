#pragma once
// Exact decimal numbers: the DECIMAL(p,s) columns of the family's tables.
// A value is a 64-bit integer count of units of 10^-scale; it is never carried
// through a double, so a value read from the database and written back (or used
// to find a row by all its old values) is the same number.

#include <QString>
#include <QtGlobal>

namespace velix {

class Decimal {
public:
    Decimal() = default;
    /// `units` counted in 10^-scale: Decimal(1250, 2) is 12.50.
    Decimal(qint64 units, int scale) : m_units(units), m_scale(scale) {}

    qint64 units() const { return m_units; }
    int scale() const { return m_scale; }

    /// The same number at another scale; a lower scale rounds half away from zero.
    Decimal rescaled(int scale) const;

    /// Exact text with '.' as decimal point and exactly scale() decimals ("-12.50").
    QString toString() const;
    /// Nearest double (for display and arithmetic only; never written back).
    double toDouble() const;

    /// Parses "12", "-12.5", "12,50", " 3.14159265 " exactly at `scale` decimals
    /// (more decimals are rounded half away from zero). Either '.' or ',' is the
    /// decimal point; no thousands separators. Throws ConvertError when the text
    /// is not a number or does not fit.
    static Decimal fromString(const QString &text, int scale);
    /// The nearest value of `value` at `scale` decimals.
    static Decimal fromDouble(double value, int scale);

    /// Numeric equality: 12.5 (scale 1) equals 12.50 (scale 2).
    friend bool operator==(const Decimal &a, const Decimal &b);

private:
    qint64 m_units = 0;
    int m_scale = 0;
};

} // namespace velix
