// Values to and from Firebird's message buffers: the layout of each column of
// a statement's parameters or results, and the conversion of its value between
// our Value and the bytes Firebird reads and writes, texts in the column's own
// character set and blobs read and written whole.

#include "data/fbmessage.h"
#include "data/convert.h"
#include "platform/cp1252.h"
#include "platform/errors.h"

#include <algorithm>
#include <cstring>
#include <limits>

using namespace Firebird;

namespace velix::detail {

ColumnInfo columnInfo(Status &st, IMessageMetadata *meta, unsigned i)
{
    ColumnInfo c;
    c.type = meta->getType(&st, i) & ~1u;
    c.subType = meta->getSubType(&st, i);
    c.charSet = meta->getCharSet(&st, i) & 0xFFu;
    c.length = meta->getLength(&st, i);
    c.scale = meta->getScale(&st, i);
    c.offset = meta->getOffset(&st, i);
    c.nullOffset = meta->getNullOffset(&st, i);
    st.check();
    return c;
}

FieldType fieldTypeOf(const ColumnInfo &c)
{
    switch (c.type) {
    case SQL_TEXT: return FieldType::FixedText;
    case SQL_VARYING: return FieldType::Text;
    case SQL_SHORT:
    case SQL_LONG: return c.scale < 0 ? FieldType::Decimal : FieldType::Integer;
    case SQL_INT64: return FieldType::Decimal;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: return FieldType::Float;
    case SQL_TYPE_DATE: return FieldType::Date;
    case SQL_TYPE_TIME: return FieldType::Time;
    case SQL_TIMESTAMP: return FieldType::Timestamp;
    case SQL_BLOB: return FieldType::Blob;
    case SQL_BOOLEAN: return FieldType::Integer;
    default: return FieldType::Text;
    }
}

namespace {

// ---- texts ------------------------------------------------------------------
//
// The connection's character set is NONE, so the server converts no text: each
// text column arrives and is sent in its own character set, as its bytes are
// stored. Single-byte sets (WIN1252, ISO8859_1, NONE in a database of such a
// default, OCTETS, ...) carry Windows-1252 bytes unchanged; UTF8 and
// UNICODE_FSS carry UTF-8, converted from and to the program's Windows-1252
// text here. A text sent must be Windows-1252 text without NUL
// (detail::storableBytes): nothing is ever stored as another character.

enum CharSetId : unsigned { csNone = 0, csOctets = 1, csAscii = 2, csUnicodeFss = 3, csUtf8 = 4 };

bool multiByte(unsigned charSet, bool dbUtf8)
{
    return charSet == csUtf8 || charSet == csUnicodeFss || (charSet == csNone && dbUtf8);
}

// The bytes of a text value as the database holds them; `chars` > 0 cuts
// fixed-length text's padding to that many characters.
QString textFromColumn(QByteArrayView bytes, unsigned charSet, bool dbUtf8, qsizetype chars)
{
    if (!multiByte(charSet, dbUtf8))
        return fromCp1252(bytes);
    QString text = QString::fromUtf8(bytes);
    if (charSet == csNone && text.contains(QChar::ReplacementCharacter) && !bytes.contains("\xEF\xBF\xBD"))
        return fromCp1252(bytes);   // a NONE column holding 8-bit text in a UTF8 database
    if (chars > 0) {
        qsizetype n = 0;
        for (qsizetype i = 0; i < text.size(); ++i)
            if (!text[i].isLowSurrogate())
                ++n;
        while (n > chars && text.endsWith(QLatin1Char(' '))) {
            text.chop(1);
            --n;
        }
    }
    return text;
}

QByteArray textForColumn(const QString &text, unsigned charSet, bool dbUtf8)
{
    const QByteArray bytes = detail::storableBytes(text);
    return multiByte(charSet, dbUtf8) ? text.toUtf8() : bytes;
}
} // namespace

// The bytes the server gives each character of a column's length.
int bytesPerChar(unsigned charSet)
{
    return charSet == csUtf8 ? 4 : charSet == csUnicodeFss ? 3 : 1;
}

namespace {

QByteArray readBlob(FbApi &api, IAttachment *att, ITransaction *tra, ISC_QUAD id)
{
    Status st(api);
    IBlob *blob = att->openBlob(&st, tra, &id, 0, nullptr);
    st.check();
    QByteArray data;
    char buffer[32768];
    for (;;) {
        unsigned got = 0;
        const int rc = blob->getSegment(&st, sizeof buffer, buffer, &got);
        if (rc == IStatus::RESULT_OK || rc == IStatus::RESULT_SEGMENT)
            data.append(buffer, got);
        else
            break;
    }
    if (st.failed()) {
        const QString message = st.text();
        st.clear();
        blob->close(&st);
        throw DatabaseError(message);
    }
    blob->close(&st);
    st.check();
    return data;
}

ISC_QUAD writeBlob(FbApi &api, IAttachment *att, ITransaction *tra, const QByteArray &data)
{
    Status st(api);
    ISC_QUAD id;
    IBlob *blob = att->createBlob(&st, tra, &id, 0, nullptr);
    st.check();
    for (qsizetype pos = 0; pos < data.size(); pos += 32768) {
        const qsizetype n = std::min<qsizetype>(32768, data.size() - pos);
        blob->putSegment(&st, static_cast<unsigned>(n), data.constData() + pos);
        if (st.failed()) {
            const QString message = st.text();
            st.clear();
            blob->cancel(&st);
            throw DatabaseError(message);
        }
    }
    blob->close(&st);
    st.check();
    return id;
}
} // namespace

Value readValue(FbApi &api, IAttachment *att, ITransaction *tra, const ColumnInfo &c, const unsigned char *buf,
                bool dbUtf8)
{
    if (*reinterpret_cast<const short *>(buf + c.nullOffset))
        return Value();
    const unsigned char *p = buf + c.offset;
    auto scaled = [&](qint64 units) {
        return c.scale < 0 ? Value::decimal(Decimal(units, -c.scale)) : Value::decimal(Decimal(units, 0));
    };
    switch (c.type) {
    case SQL_TEXT:
        return Value::text(textFromColumn(QByteArrayView(reinterpret_cast<const char *>(p), c.length), c.charSet, dbUtf8,
                                          c.length / unsigned(bytesPerChar(c.charSet))));
    case SQL_VARYING: {
        unsigned short len;
        std::memcpy(&len, p, sizeof len);
        return Value::text(textFromColumn(QByteArrayView(reinterpret_cast<const char *>(p) + 2, len), c.charSet, dbUtf8, 0));
    }
    case SQL_SHORT: {
        qint16 v;
        std::memcpy(&v, p, sizeof v);
        return c.scale < 0 ? scaled(v) : Value::integer(v);
    }
    case SQL_LONG: {
        qint32 v;
        std::memcpy(&v, p, sizeof v);
        return c.scale < 0 ? scaled(v) : Value::integer(v);
    }
    case SQL_INT64: {
        qint64 v;
        std::memcpy(&v, p, sizeof v);
        return scaled(v);
    }
    case SQL_FLOAT: {
        float v;
        std::memcpy(&v, p, sizeof v);
        return Value::floating(v);
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        double v;
        std::memcpy(&v, p, sizeof v);
        return Value::floating(v);
    }
    case SQL_TYPE_DATE: {
        ISC_DATE d;
        std::memcpy(&d, p, sizeof d);
        unsigned y, m, day;
        api.util->decodeDate(d, &y, &m, &day);
        return Value::date(QDate(int(y), int(m), int(day)));
    }
    case SQL_TYPE_TIME: {
        ISC_TIME t;
        std::memcpy(&t, p, sizeof t);
        unsigned h, mi, s, frac;
        api.util->decodeTime(t, &h, &mi, &s, &frac);
        return Value::time(QTime(int(h), int(mi), int(s), int(frac / 10)), int(frac % 10));
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP ts;
        std::memcpy(&ts, p, sizeof ts);
        unsigned y, m, day, h, mi, s, frac;
        api.util->decodeDate(ts.timestamp_date, &y, &m, &day);
        api.util->decodeTime(ts.timestamp_time, &h, &mi, &s, &frac);
        return Value::timestamp(QDateTime(QDate(int(y), int(m), int(day)), QTime(int(h), int(mi), int(s), int(frac / 10))),
                                int(frac % 10));
    }
    case SQL_BLOB: {
        ISC_QUAD id;
        std::memcpy(&id, p, sizeof id);
        return Value::blob(readBlob(api, att, tra, id));
    }
    case SQL_BOOLEAN:
        return Value::integer(*p ? 1 : 0);
    default:
        throw DatabaseError(QStringLiteral("Unsupported column type %1").arg(c.type));
    }
}

void writeValue(FbApi &api, IAttachment *att, ITransaction *tra, const ColumnInfo &c, unsigned char *buf,
                const Value &value, unsigned index, bool dbUtf8)
{
    short *nullFlag = reinterpret_cast<short *>(buf + c.nullOffset);
    unsigned char *p = buf + c.offset;
    const FieldType type = fieldTypeOf(c);
    const Value v = detail::convertTo(value, type, 0, c.scale < 0 ? -c.scale : 0);
    *nullFlag = v.isNull() ? -1 : 0;
    if (v.isNull())
        return;
    auto textBytes = [&]() {
        QByteArray bytes = textForColumn(v.textValue(), c.charSet, dbUtf8);
        if (unsigned(bytes.size()) > c.length) {
            while (bytes.endsWith(' ') && unsigned(bytes.size()) > c.length)
                bytes.chop(1);
            if (unsigned(bytes.size()) > c.length)
                throw DatabaseError(QStringLiteral("string right truncation: parameter %1 holds %2 characters, at most %3 fit")
                                        .arg(index + 1).arg(bytes.size()).arg(c.length));
        }
        return bytes;
    };
    switch (c.type) {
    case SQL_TEXT: {
        const QByteArray bytes = textBytes();
        std::memset(p, ' ', c.length);
        std::memcpy(p, bytes.constData(), size_t(bytes.size()));
        break;
    }
    case SQL_VARYING: {
        const QByteArray bytes = textBytes();
        const unsigned short len = static_cast<unsigned short>(bytes.size());
        std::memcpy(p, &len, sizeof len);
        std::memcpy(p + 2, bytes.constData(), len);
        break;
    }
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        const qint64 units = c.scale < 0 ? v.decimalValue().units() : qint64(v.integerValue());
        if (c.type == SQL_SHORT) {
            if (units < -32768 || units > 32767)
                throw DatabaseError(QStringLiteral("arithmetic exception, numeric overflow, or string truncation"));
            const qint16 x = qint16(units);
            std::memcpy(p, &x, sizeof x);
        } else if (c.type == SQL_LONG) {
            if (units < std::numeric_limits<qint32>::min() || units > std::numeric_limits<qint32>::max())
                throw DatabaseError(QStringLiteral("arithmetic exception, numeric overflow, or string truncation"));
            const qint32 x = qint32(units);
            std::memcpy(p, &x, sizeof x);
        } else {
            std::memcpy(p, &units, sizeof units);
        }
        break;
    }
    case SQL_FLOAT: {
        const float x = float(v.floatValue());
        std::memcpy(p, &x, sizeof x);
        break;
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        const double x = v.floatValue();
        std::memcpy(p, &x, sizeof x);
        break;
    }
    case SQL_TYPE_DATE: {
        const QDate d = v.dateValue();
        const ISC_DATE x = api.util->encodeDate(unsigned(d.year()), unsigned(d.month()), unsigned(d.day()));
        std::memcpy(p, &x, sizeof x);
        break;
    }
    case SQL_TYPE_TIME: {
        const QTime t = v.timeValue();
        const ISC_TIME x = api.util->encodeTime(unsigned(t.hour()), unsigned(t.minute()), unsigned(t.second()),
                                                unsigned(t.msec() * 10 + v.subMillisecond()));
        std::memcpy(p, &x, sizeof x);
        break;
    }
    case SQL_TIMESTAMP: {
        const QDateTime dt = v.timestampValue();
        ISC_TIMESTAMP x;
        x.timestamp_date = api.util->encodeDate(unsigned(dt.date().year()), unsigned(dt.date().month()),
                                                unsigned(dt.date().day()));
        x.timestamp_time = api.util->encodeTime(unsigned(dt.time().hour()), unsigned(dt.time().minute()),
                                                unsigned(dt.time().second()),
                                                unsigned(dt.time().msec() * 10 + v.subMillisecond()));
        std::memcpy(p, &x, sizeof x);
        break;
    }
    case SQL_BLOB: {
        const ISC_QUAD id = writeBlob(api, att, tra, v.blobValue());
        std::memcpy(p, &id, sizeof id);
        break;
    }
    case SQL_BOOLEAN:
        *p = v.integerValue() ? 1 : 0;
        break;
    default:
        throw DatabaseError(QStringLiteral("Unsupported parameter type %1").arg(c.type));
    }
}

} // namespace velix::detail
