#include "data/firebird.h"
#include "data/convert.h"
#include "data/fbapi.h"
#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/paths.h"

#include <firebird/Interface.h>

#include <QDir>
#include <QFile>
#include <QHash>

#include <cstring>
#include <dlfcn.h>

using namespace Firebird;

namespace velix {
namespace {

using detail::FbApi;
using detail::Status;

// The server administrator's built-in password (9 characters).
const char builtInPassword[] = "masterkey";

// Sets FIREBIRD_LOCK before the first library is loaded (see firebird.h).
void ensureLockFolder()
{
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
        return;
    const QString dir = rootPath(QStringLiteral(".firebird-lock"));
    QDir().mkpath(dir);
    qputenv("FIREBIRD_LOCK", QFile::encodeName(dir));
}

FbApi &loadLibrary(const QString &name)
{
    static QHash<QString, FbApi> loaded;
    auto it = loaded.find(name);
    if (it != loaded.end())
        return *it;
    ensureLockFolder();
    void *handle = dlopen(QFile::encodeName(name).constData(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle)
        throw DatabaseError(QStringLiteral("Unable to load the database client library %1: %2")
                                .arg(name, QString::fromLocal8Bit(dlerror())));
    using GetMaster = IMaster *(*)();
    auto getMaster = reinterpret_cast<GetMaster>(dlsym(handle, "fb_get_master_interface"));
    if (!getMaster)
        throw DatabaseError(QStringLiteral("%1 is not a Firebird client library").arg(name));
    FbApi api;
    api.handle = handle;
    api.master = getMaster();
    api.util = api.master->getUtilInterface();
    api.provider = api.master->getDispatcher();
    return *loaded.insert(name, api);
}

const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                             isc_tpb_wait};

// The transaction parameters of every transaction: read committed, record
// version, wait on locks, read-write.
ITransaction *startTransaction(FbApi &api, IAttachment *att)
{
    Status st(api);
    ITransaction *tra = att->startTransaction(&st, sizeof tpb, tpb);
    st.check();
    return tra;
}

void rollbackQuietly(FbApi &api, ITransaction *&tra)
{
    if (!tra)
        return;
    Status st(api);
    tra->rollback(&st);
    if (st.failed()) {
        st.clear();
        tra->release();
    }
    tra = nullptr;
}

QByteArray dpbFor(FbApi &api, const QString &user, const QString &password, const QString *dbCharset)
{
    Status st(api);
    IXpbBuilder *dpb = api.util->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    st.check();
    // Every string of the parameter block (the file name among them) is UTF-8,
    // so that neither side needs the connection's character set to read it.
    dpb->insertTag(&st, isc_dpb_utf8_filename);
    dpb->insertString(&st, isc_dpb_user_name, user.toUtf8().constData());
    dpb->insertString(&st, isc_dpb_password, password.toUtf8().constData());
    // No transliteration: every text travels in its column's own character set
    // and is converted here (textFromColumn / textForColumn).
    dpb->insertString(&st, isc_dpb_lc_ctype, "NONE");
    dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
    if (dbCharset) {
        dpb->insertString(&st, isc_dpb_set_db_charset, dbCharset->toLatin1().constData());
        dpb->insertInt(&st, isc_dpb_page_size, 8192);
    }
    st.check();
    QByteArray bytes(reinterpret_cast<const char *>(dpb->getBuffer(&st)), dpb->getBufferLength(&st));
    dpb->dispose();
    st.check();
    return bytes;
}

QString envOr(const char *name, const QString &fallback)
{
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? fallback : v;
}

// ---- values <-> message buffers -------------------------------------------

struct ColumnInfo {
    unsigned type;
    int subType;
    unsigned charSet;
    unsigned length;
    int scale;
    unsigned offset;
    unsigned nullOffset;
};

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

// The bytes the server gives each character of a column's length.
int bytesPerChar(unsigned charSet)
{
    return charSet == csUtf8 ? 4 : charSet == csUnicodeFss ? 3 : 1;
}

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

// A prepared statement with its input message layout.
struct Prepared {
    IStatement *statement = nullptr;
    IMessageMetadata *input = nullptr;
    std::vector<ColumnInfo> inputColumns;
    QByteArray inputBuffer;
    // The single row a statement with RETURNING gives, taken on its first run.
    IMessageMetadata *output = nullptr;
    std::vector<ColumnInfo> outputColumns;
    QByteArray outputBuffer;
};

} // namespace

// ---- SQLConnection ---------------------------------------------------------

struct SQLConnection::Impl {
    QString name;
    QString database;
    QString library = defaultClientLibrary();
    QString user;
    QString password;
    bool userSet = false;
    bool passwordSet = false;
    FbApi *api = nullptr;
    IAttachment *att = nullptr;
    ITransaction *scope = nullptr;
    QHash<QString, Prepared> cache;
    /// The database's default character set is UTF8 (or UNICODE_FSS): the
    /// statement text and texts of character set NONE travel as UTF-8.
    bool dbUtf8 = false;

    FbApi &loadApi()
    {
        if (!api)
            api = &loadLibrary(library);
        return *api;
    }
    QString effectiveUser() const { return userSet ? user : envOr("ISC_USER", QStringLiteral("sysdba")); }
    QString effectivePassword() const
    {
        return passwordSet ? password : envOr("ISC_PASSWORD", QLatin1String(builtInPassword));
    }

    void connect()
    {
        if (att)
            return;
        FbApi &a = loadApi();
        const QByteArray dpb = dpbFor(a, effectiveUser(), effectivePassword(), nullptr);
        Status st(a);
        IAttachment *attachment = a.provider->attachDatabase(&st, database.toUtf8().constData(),
                                                             unsigned(dpb.size()),
                                                             reinterpret_cast<const unsigned char *>(dpb.constData()));
        st.check();
        att = attachment;
        try {
            ITransaction *tra = startTransaction(*api, att);
            try {
                const QueryResult r = selectIn(tra, QStringLiteral("SELECT RDB$CHARACTER_SET_NAME FROM RDB$DATABASE"), {});
                commit(tra);
                const QString name = r.rows.empty() || r.rows[0][0].isNull() ? QString()
                                                                              : r.rows[0][0].textValue().trimmed().toUpper();
                dbUtf8 = name == QLatin1String("UTF8") || name == QLatin1String("UNICODE_FSS");
            } catch (...) {
                rollbackQuietly(*api, tra);
                throw;
            }
        } catch (...) {
            disconnect();
            throw;
        }
    }

    void releasePrepared(Prepared &p)
    {
        Status st(*api);
        if (p.input)
            p.input->release();
        if (p.output)
            p.output->release();
        if (p.statement) {
            p.statement->free(&st);
            if (st.failed()) {
                st.clear();
                p.statement->release();
            }
        }
        p = Prepared();
    }

    void clearCache()
    {
        for (Prepared &p : cache)
            releasePrepared(p);
        cache.clear();
    }

    void disconnect() noexcept
    {
        if (!att)
            return;
        clearCache();
        rollbackQuietly(*api, scope);
        Status st(*api);
        att->detach(&st);
        if (st.failed()) {
            st.clear();
            att->release();
        }
        att = nullptr;
    }

    // Runs `work(transaction)` in the scope's transaction, or in one of its own
    // that is committed afterwards (rolled back when `work` throws).
    template <class F>
    auto run(F &&work)
    {
        connect();
        if (scope)
            return work(scope);
        ITransaction *tra = startTransaction(*api, att);
        try {
            if constexpr (std::is_void_v<decltype(work(tra))>) {
                work(tra);
                commit(tra);
            } else {
                auto result = work(tra);
                commit(tra);
                return result;
            }
        } catch (...) {
            rollbackQuietly(*api, tra);
            throw;
        }
    }

    void commit(ITransaction *&tra)
    {
        Status st(*api);
        tra->commit(&st);
        st.check();
        tra = nullptr;
    }

    // The statement's text in the database's default character set, which its
    // string literals take. A NUL or a character Windows-1252 lacks is refused.
    QByteArray statementText(const QString &sql) const
    {
        if (sql.contains(QChar(0)))
            throw ConvertError(QStringLiteral("The statement holds a NUL character (U+0000) and was not run: %1")
                                   .arg(QString(sql).replace(QChar(0), QStringLiteral("\\0"))));
        const QByteArray bytes = detail::storableBytes(sql);
        return dbUtf8 ? sql.toUtf8() : bytes;
    }

    // The statement prepared once for this connection (kept until it closes).
    Prepared &cached(ITransaction *tra, const QString &sql);

    Prepared prepare(ITransaction *tra, const QString &sql, bool wantOutput = false)
    {
        Status st(*api);
        const QByteArray text = statementText(sql);
        Prepared p;
        p.statement = att->prepare(&st, tra, unsigned(text.size()), text.constData(), 3,
                                   wantOutput ? IStatement::PREPARE_PREFETCH_METADATA
                                              : IStatement::PREPARE_PREFETCH_INPUT_PARAMETERS);
        st.check();
        try {
            IMessageMetadata *in = p.statement->getInputMetadata(&st);
            st.check();
            const unsigned count = in->getCount(&st);
            st.check();
            bool allNullable = true;
            for (unsigned i = 0; i < count; ++i) {
                allNullable = allNullable && (in->isNullable(&st, i));
                st.check();
            }
            if (!allNullable) {
                IMetadataBuilder *b = in->getBuilder(&st);
                st.check();
                for (unsigned i = 0; i < count; ++i)
                    b->setType(&st, i, in->getType(&st, i) | 1u);
                in->release();
                in = b->getMetadata(&st);
                b->release();
                st.check();
            }
            p.input = in;
            for (unsigned i = 0; i < count; ++i)
                p.inputColumns.push_back(columnInfo(st, in, i));
            p.inputBuffer = QByteArray(int(in->getMessageLength(&st)), '\0');
            st.check();
        } catch (...) {
            releasePrepared(p);
            throw;
        }
        return p;
    }

    void bind(Prepared &p, ITransaction *tra, const std::vector<Value> &params)
    {
        if (params.size() != p.inputColumns.size())
            throw DatabaseError(QStringLiteral("The statement takes %1 parameters, %2 were given")
                                    .arg(p.inputColumns.size())
                                    .arg(params.size()));
        unsigned char *buf = reinterpret_cast<unsigned char *>(p.inputBuffer.data());
        for (size_t i = 0; i < params.size(); ++i)
            writeValue(*api, att, tra, p.inputColumns[i], buf, params[i], unsigned(i), dbUtf8);
    }

    // Runs a SELECT in `tra` and fetches all its rows.
    QueryResult selectIn(ITransaction *tra, const QString &sql, const std::vector<Value> &params);
};

QString defaultClientLibrary()
{
    return QStringLiteral("libfbclient.so.2");
}

QString clientLibraryFromFile()
{
    QFile file(rootPath(QStringLiteral("CaminhoGDS.txt")));
    if (!file.exists())
        return defaultClientLibrary();
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
    QByteArray line = file.readLine();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    QString folder = fromCp1252(line).left(100);
    if (folder.isEmpty())
        return defaultClientLibrary();
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    return folder + defaultClientLibrary();
}

SQLConnection::SQLConnection(const QString &connectionName) : d(std::make_unique<Impl>())
{
    d->name = connectionName;
}

SQLConnection::~SQLConnection()
{
    close();
}

QString SQLConnection::connectionName() const { return d->name; }

void SQLConnection::setDatabase(const QString &location)
{
    close();
    d->database = location;
}

QString SQLConnection::database() const { return d->database; }

void SQLConnection::setLibraryName(const QString &library)
{
    if (library == d->library)
        return;
    close();
    d->library = library;
    d->api = nullptr;
}

QString SQLConnection::libraryName() const { return d->library; }

void SQLConnection::setUserName(const QString &user)
{
    d->user = user;
    d->userSet = true;
}

QString SQLConnection::userName() const { return d->effectiveUser(); }

void SQLConnection::setPassword(const QString &password)
{
    d->password = password;
    d->passwordSet = true;
}

void SQLConnection::open() { d->connect(); }

void SQLConnection::close() { d->disconnect(); }

bool SQLConnection::connected() const { return d->att != nullptr; }

bool SQLConnection::inTransaction() const { return d->scope != nullptr; }

int SQLConnection::executeDirect(const QString &sql)
{
    return execute(sql, {});
}

Prepared &SQLConnection::Impl::cached(ITransaction *tra, const QString &sql)
{
    auto it = cache.find(sql);
    if (it == cache.end()) {
        if (cache.size() > 200)
            clearCache();
        it = cache.insert(sql, prepare(tra, sql));
    }
    return *it;
}

int SQLConnection::execute(const QString &sql, const std::vector<Value> &params)
{
    return d->run([&](ITransaction *tra) {
        Prepared &p = d->cached(tra, sql);
        d->bind(p, tra, params);
        Status st(*d->api);
        p.statement->execute(&st, tra, p.input, p.inputBuffer.data(), nullptr, nullptr);
        st.check();
        const ISC_UINT64 affected = p.statement->getAffectedRecords(&st);
        st.check();
        return int(affected);
    });
}

std::vector<Value> SQLConnection::executeReturning(const QString &sql, const std::vector<Value> &params)
{
    return d->run([&](ITransaction *tra) {
        Prepared &p = d->cached(tra, sql);
        Status st(*d->api);
        if (!p.output) {
            IMessageMetadata *out = p.statement->getOutputMetadata(&st);
            st.check();
            p.output = out;
            const unsigned count = out->getCount(&st);
            st.check();
            for (unsigned i = 0; i < count; ++i)
                p.outputColumns.push_back(columnInfo(st, out, i));
            p.outputBuffer = QByteArray(int(out->getMessageLength(&st)), '\0');
            st.check();
        }
        d->bind(p, tra, params);
        p.statement->execute(&st, tra, p.input, p.inputBuffer.data(), p.output, p.outputBuffer.data());
        st.check();
        const unsigned char *buf = reinterpret_cast<const unsigned char *>(p.outputBuffer.constData());
        std::vector<Value> row;
        row.reserve(p.outputColumns.size());
        for (const ColumnInfo &c : p.outputColumns)
            row.push_back(readValue(*d->api, d->att, tra, c, buf, d->dbUtf8));
        return row;
    });
}

QueryResult SQLConnection::select(const QString &sql, const std::vector<Value> &params)
{
    return d->run([&](ITransaction *tra) { return d->selectIn(tra, sql, params); });
}

QueryResult SQLConnection::Impl::selectIn(ITransaction *tra, const QString &sql, const std::vector<Value> &params)
{
    Prepared p = prepare(tra, sql, true);
    IMessageMetadata *out = nullptr;
    IResultSet *cursor = nullptr;
    Status st(*api);
    try {
        bind(p, tra, params);
        out = p.statement->getOutputMetadata(&st);
        st.check();
        QueryResult result;
        const unsigned count = out->getCount(&st);
        st.check();
        std::vector<ColumnInfo> cols;
        for (unsigned i = 0; i < count; ++i) {
            const ColumnInfo c = columnInfo(st, out, i);
            cols.push_back(c);
            ResultColumn rc;
            rc.name = QString::fromUtf8(out->getAlias(&st, i));
            st.check();
            rc.type = fieldTypeOf(c);
            rc.size = (c.type == SQL_TEXT || c.type == SQL_VARYING) ? int(c.length) / bytesPerChar(c.charSet) : 0;
            rc.scale = c.scale < 0 ? -c.scale : 0;
            result.columns.push_back(rc);
        }
        QByteArray buffer(int(out->getMessageLength(&st)), '\0');
        st.check();
        cursor = p.statement->openCursor(&st, tra, p.input, p.inputBuffer.data(), out, 0);
        st.check();
        const unsigned char *buf = reinterpret_cast<const unsigned char *>(buffer.constData());
        while (cursor->fetchNext(&st, buffer.data()) == IStatus::RESULT_OK) {
            std::vector<Value> row;
            row.reserve(count);
            for (const ColumnInfo &c : cols)
                row.push_back(readValue(*api, att, tra, c, buf, dbUtf8));
            result.rows.push_back(std::move(row));
        }
        st.check();
        cursor->close(&st);
        cursor = nullptr;
        st.check();
        out->release();
        releasePrepared(p);
        return result;
    } catch (...) {
        if (cursor) {
            st.clear();
            cursor->close(&st);
            if (st.failed())
                cursor->release();
        }
        if (out)
            out->release();
        releasePrepared(p);
        throw;
    }
}

void SQLConnection::createDatabase(const QString &location, const QString &charset, const QString &library,
                                   const QString &user, const QString &password)
{
    FbApi &a = loadLibrary(library.isEmpty() ? defaultClientLibrary() : library);
    const QByteArray dpb = dpbFor(a, user.isEmpty() ? envOr("ISC_USER", QStringLiteral("sysdba")) : user,
                                  password.isEmpty() ? envOr("ISC_PASSWORD", QLatin1String(builtInPassword)) : password,
                                  &charset);
    Status st(a);
    IAttachment *att = a.provider->createDatabase(&st, location.toUtf8().constData(), unsigned(dpb.size()),
                                                  reinterpret_cast<const unsigned char *>(dpb.constData()));
    st.check();
    att->detach(&st);
    st.check();
}

// ---- TransactionScope ------------------------------------------------------

TransactionScope::TransactionScope(SQLConnection &connection) : m_connection(connection)
{
    SQLConnection::Impl &d = *connection.d;
    if (d.scope)
        throw Error(QStringLiteral("%1: a transaction is already active").arg(d.name));
    d.connect();
    d.scope = startTransaction(*d.api, d.att);
    m_active = true;
}

TransactionScope::~TransactionScope()
{
    rollback();
}

void TransactionScope::commit()
{
    if (!m_active)
        throw Error(QStringLiteral("The transaction has already ended"));
    SQLConnection::Impl &d = *m_connection.d;
    m_active = false;
    if (!d.scope)
        throw DatabaseError(QStringLiteral("%1: the connection was closed; the transaction was rolled back").arg(d.name));
    Status st(*d.api);
    d.scope->commit(&st);
    if (st.failed()) {
        const QString message = st.text();
        st.clear();
        rollbackQuietly(*d.api, d.scope);
        throw DatabaseError(message);
    }
    d.scope = nullptr;
}

void TransactionScope::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    SQLConnection::Impl &d = *m_connection.d;
    if (d.api)
        rollbackQuietly(*d.api, d.scope);
}

bool TransactionScope::active() const
{
    return m_active && m_connection.d->scope != nullptr;
}

} // namespace velix
