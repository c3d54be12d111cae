#include "data/convert.h"
#include "platform/cp1252.h"
#include "platform/errors.h"

#include <cmath>
#include <limits>

namespace velix::detail {
namespace {

ConvertError notValid(const QString &text, const char *what)
{
    return ConvertError(QStringLiteral("'%1' is not a valid %2").arg(text, QLatin1String(what)));
}

QString decimalDisplay(const Decimal &d)
{
    QString t = d.toString();
    if (t.contains(QLatin1Char('.'))) {
        while (t.endsWith(QLatin1Char('0')))
            t.chop(1);
        if (t.endsWith(QLatin1Char('.')))
            t.chop(1);
    }
    if (t == QLatin1String("-0"))
        t = QStringLiteral("0");
    return t.replace(QLatin1Char('.'), QLatin1Char(','));
}

double parseFloat(const QString &text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        throw notValid(text, "floating point value");
    return v;
}

qint32 parseInteger(const QString &text)
{
    bool ok = false;
    const qint32 v = text.trimmed().toInt(&ok);
    if (!ok)
        throw notValid(text, "integer value");
    return v;
}

QDate parseDate(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *format : {"dd/MM/yyyy", "d/M/yyyy", "yyyy-MM-dd"}) {
        const QDate d = QDate::fromString(t, QLatin1String(format));
        if (d.isValid())
            return d;
    }
    throw notValid(text, "date");
}

QTime parseTime(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *format : {"hh:mm:ss", "h:mm:ss", "hh:mm", "hh:mm:ss.zzz"}) {
        const QTime v = QTime::fromString(t, QLatin1String(format));
        if (v.isValid())
            return v;
    }
    throw notValid(text, "time");
}

QDateTime parseTimestamp(const QString &text)
{
    const QString t = text.trimmed();
    const qsizetype blank = t.indexOf(QLatin1Char(' '));
    try {
        if (blank < 0)
            return QDateTime(parseDate(t), QTime(0, 0));
        return QDateTime(parseDate(t.left(blank)), parseTime(t.mid(blank + 1)));
    } catch (const ConvertError &) {
        throw notValid(text, "date and time");
    }
}

qint32 toInt32(double v, const QString &shown)
{
    const double r = std::round(v);
    if (!(r >= std::numeric_limits<qint32>::min() && r <= std::numeric_limits<qint32>::max()))
        throw ConvertError(QStringLiteral("'%1' is out of range").arg(shown));
    return static_cast<qint32>(r);
}

} // namespace

void checkStorableText(const QString &text)
{
    storableBytes(text);
}

QByteArray storableBytes(const QString &text)
{
    if (text.contains(QChar(0)))
        throw ConvertError(QStringLiteral("The text holds a NUL character (U+0000); it cannot be stored"));
    return toCp1252Exact(text);
}

QString formatFloat(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    QString t = QString::number(value, 'g', 15);
    return t.replace(QLatin1Char('.'), QLatin1Char(','));
}

QString displayText(const Value &value)
{
    switch (value.kind()) {
    case Value::Kind::Null: return QString();
    case Value::Kind::Text: return value.textValue();
    case Value::Kind::Integer: return QString::number(value.integerValue());
    case Value::Kind::Decimal: return decimalDisplay(value.decimalValue());
    case Value::Kind::Float: return formatFloat(value.floatValue());
    case Value::Kind::Date: return value.dateValue().toString(QStringLiteral("dd/MM/yyyy"));
    case Value::Kind::Time: return value.timeValue().toString(QStringLiteral("hh:mm:ss"));
    case Value::Kind::Timestamp: {
        const QDateTime ts = value.timestampValue();
        if (ts.time() == QTime(0, 0))
            return ts.date().toString(QStringLiteral("dd/MM/yyyy"));
        return ts.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    }
    case Value::Kind::Blob: return fromCp1252(value.blobValue());
    }
    return QString();
}

namespace {

Value convert(const Value &value, FieldType type, int size, int scale, bool blankIsNull)
{
    using K = Value::Kind;
    const K k = value.kind();
    if (k == K::Null)
        return value;
    const bool textual = type == FieldType::Text || type == FieldType::FixedText;
    if (blankIsNull && k == K::Text && !textual && type != FieldType::Blob && value.textValue().trimmed().isEmpty())
        return Value();
    const QString shown = displayText(value);

    switch (type) {
    case FieldType::Text:
    case FieldType::FixedText: {
        QString t = k == K::Text ? value.textValue() : shown;
        if (size > 0 && t.size() > size)
            t = t.left(size);
        return Value::text(t);
    }
    case FieldType::Integer:
        switch (k) {
        case K::Integer: return value;
        case K::Decimal: return Value::integer(toInt32(value.decimalValue().toDouble(), shown));
        case K::Float: return Value::integer(toInt32(value.floatValue(), shown));
        case K::Text: return Value::integer(parseInteger(value.textValue()));
        default: throw notValid(shown, "integer value");
        }
    case FieldType::Decimal:
        switch (k) {
        case K::Decimal: return Value::decimal(value.decimalValue().rescaled(scale));
        case K::Integer: return Value::decimal(Decimal(value.integerValue(), 0).rescaled(scale));
        case K::Float: return Value::decimal(Decimal::fromDouble(value.floatValue(), scale));
        case K::Text: return Value::decimal(Decimal::fromString(value.textValue(), scale));
        default: throw notValid(shown, "BCD value");
        }
    case FieldType::Float:
        switch (k) {
        case K::Float: return value;
        case K::Integer: return Value::floating(value.integerValue());
        case K::Decimal: return Value::floating(value.decimalValue().toDouble());
        case K::Text: return Value::floating(parseFloat(value.textValue()));
        default: throw notValid(shown, "floating point value");
        }
    case FieldType::Date:
        switch (k) {
        case K::Date: return value;
        case K::Timestamp: return Value::date(value.timestampValue().date());
        case K::Text: return Value::date(parseDate(value.textValue()));
        default: throw notValid(shown, "date");
        }
    case FieldType::Time:
        switch (k) {
        case K::Time: return value;
        case K::Timestamp: return Value::time(value.timestampValue().time(), value.subMillisecond());
        case K::Text: return Value::time(parseTime(value.textValue()));
        default: throw notValid(shown, "time");
        }
    case FieldType::Timestamp:
        switch (k) {
        case K::Timestamp: return value;
        case K::Date: return Value::timestamp(QDateTime(value.dateValue(), QTime(0, 0)));
        case K::Text: return Value::timestamp(parseTimestamp(value.textValue()));
        default: throw notValid(shown, "date and time");
        }
    case FieldType::Blob:
        if (k == K::Blob)
            return value;
        return Value::blob(toCp1252Exact(shown));
    }
    return value;
}

} // namespace

Value convertTo(const Value &value, FieldType type, int size, int scale)
{
    return convert(value, type, size, scale, true);
}

Value readAs(const Value &value, FieldType type, int scale)
{
    return convert(value, type, 0, scale, false);
}

} // namespace velix::detail
