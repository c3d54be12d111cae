#include "data/firebird.h"
#include "data/convert.h"
#include "data/fbapi.h"
#include "data/fbmessage.h"
#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/paths.h"

#include <firebird/Interface.h>

#include <QDir>
#include <QFile>
#include <QHash>

#include <dlfcn.h>

using namespace Firebird;

namespace velix {
namespace {

using detail::bytesPerChar;
using detail::ColumnInfo;
using detail::columnInfo;
using detail::FbApi;
using detail::fieldTypeOf;
using detail::readValue;
using detail::Status;
using detail::writeValue;

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
    // and is converted in fbmessage.cpp (textFromColumn / textForColumn).
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

void SQLConnection::executeOnly(const QString &sql, const std::vector<Value> &params)
{
    d->run([&](ITransaction *tra) {
        Prepared &p = d->cached(tra, sql);
        d->bind(p, tra, params);
        Status st(*d->api);
        p.statement->execute(&st, tra, p.input, p.inputBuffer.data(), nullptr, nullptr);
        st.check();
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
