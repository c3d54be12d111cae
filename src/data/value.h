#pragma once
// One column value of a row, as the cached datasets and the connection carry it.
// Text is held decoded from Windows-1252 (velix::fromCp1252), so every byte
// read from the database is written back unchanged (velix::toCp1252).
//
// Times and timestamps keep Firebird's whole fraction of a second, 1/10,000 s:
// the QTime holds the milliseconds and subMillisecond() the fourth decimal
// (0-9), so that a value read from the database compares equal to the stored
// one and is written back unchanged.

#include "data/decimal.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <variant>

namespace velix {

class Value {
public:
    enum class Kind { Null, Text, Integer, Decimal, Float, Date, Time, Timestamp, Blob };

    Value() = default;                                   ///< null
    static Value text(const QString &v) { return Value(v); }
    static Value integer(qint32 v) { return Value(v); }
    static Value decimal(const velix::Decimal &v) { return Value(v); }
    static Value floating(double v) { return Value(v); }
    static Value date(const QDate &v) { return v.isValid() ? Value(v) : Value(); }
    static Value time(const QTime &v) { return v.isValid() ? Value(v) : Value(); }
    static Value timestamp(const QDateTime &v) { return v.isValid() ? Value(v) : Value(); }
    /// A time whose seconds have a fourth decimal: `subMillisecond` (0-9) tenths
    /// of a millisecond beyond v's milliseconds.
    static Value time(const QTime &v, int subMillisecond) { return withSub(time(v), subMillisecond); }
    static Value timestamp(const QDateTime &v, int subMillisecond) { return withSub(timestamp(v), subMillisecond); }
    static Value blob(const QByteArray &v) { Value r; r.m_v = v; return r; }

    Kind kind() const { return static_cast<Kind>(m_v.index()); }
    bool isNull() const { return kind() == Kind::Null; }

    // Raw access; each requires the matching kind (another kind is a bug of the
    // caller and throws std::bad_variant_access). Field's readers convert.
    const QString &textValue() const { return std::get<QString>(m_v); }
    qint32 integerValue() const { return std::get<qint32>(m_v); }
    const velix::Decimal &decimalValue() const { return std::get<velix::Decimal>(m_v); }
    double floatValue() const { return std::get<double>(m_v); }
    QDate dateValue() const { return std::get<QDate>(m_v); }
    QTime timeValue() const { return std::get<QTime>(m_v); }
    QDateTime timestampValue() const { return std::get<QDateTime>(m_v); }
    const QByteArray &blobValue() const { return std::get<QByteArray>(m_v); }
    /// For a time or timestamp: the fourth decimal of its seconds (0-9); else 0.
    int subMillisecond() const { return m_sub; }

    /// Same kind and same value (decimals compared numerically, texts exactly).
    friend bool operator==(const Value &a, const Value &b);

private:
    explicit Value(const QString &v) : m_v(v) {}
    explicit Value(qint32 v) : m_v(v) {}
    explicit Value(const velix::Decimal &v) : m_v(v) {}
    explicit Value(double v) : m_v(v) {}
    explicit Value(const QDate &v) : m_v(v) {}
    explicit Value(const QTime &v) : m_v(v) {}
    explicit Value(const QDateTime &v) : m_v(v) {}

    static Value withSub(Value v, int sub)
    {
        if (v.kind() == Kind::Time || v.kind() == Kind::Timestamp)
            v.m_sub = static_cast<unsigned char>(sub < 0 ? 0 : sub > 9 ? 9 : sub);
        return v;
    }

    // Order matches Kind.
    std::variant<std::monostate, QString, qint32, velix::Decimal, double, QDate, QTime, QDateTime, QByteArray> m_v;
    unsigned char m_sub = 0;   ///< tenths of a millisecond, for Time and Timestamp
};

} // namespace velix
