#pragma once
// Connections to Firebird databases, through the Firebird client library's own
// interface (firebird/Interface.h), loaded at run time.
//
// Client library. The folder named by the first line of <root>/CaminhoGDS.txt
// (at most 100 characters; a '/' is added unless the line ends in '/' or '\'),
// followed by "libfbclient.so.2"; a missing file or an empty first line gives
// "libfbclient.so.2", found by the system's library search. The library is
// loaded at the first connect. Before it is loaded, FIREBIRD_LOCK is set to
// <root>/.firebird-lock (created) unless it is already set, so that the
// embedded engine keeps its lock files in a folder the user owns, the same
// folder the set-up scripts use.
//
// Locations. A location without a host part ("/home/x/korvante/dados/korvante.bd")
// is opened in this process by Firebird's embedded engine; "host:path" connects
// over TCP to a Firebird server on that host.
//
// Every connection uses SQL dialect 3 and read-committed, record-version,
// wait-on-lock, read-write transactions.
//
// Texts. The connection's character set is NONE: the server converts no text,
// every text column is read and written in its own character set. In a column
// of a single-byte set (NONE, WIN1252, ISO8859_1, ...) the stored bytes are the
// Windows-1252 bytes of the program's text, unchanged both ways (every byte
// 20-FF round-trips, also 80-9F in ISO8859_1). A UTF8 (or UNICODE_FSS) column
// holds the same text as UTF-8. The statement's text, with its literals, is
// sent in the database's default character set (UTF-8 in a UTF8 database,
// read from RDB$DATABASE at connect; Windows-1252 bytes otherwise), its length
// given, so that it is exactly the text built. A text that is sent - a
// parameter, a statement - must be Windows-1252 text without NUL: a character
// the code page lacks or a NUL throws ConvertError and nothing is run.
//
// DECIMAL values travel as exact scaled integers (velix::Decimal); TIME and
// TIMESTAMP values with their whole 1/10,000 s (Value::subMillisecond()).
//
// Transactions. With no TransactionScope active on a connection, every
// statement runs in a transaction of its own that is committed at once (a
// failed statement rolls its transaction back). While a TransactionScope is
// active, every statement, query, dataset open, apply and refresh on that
// connection runs in the scope's transaction.
//
// Errors: every failure (library not found, missing database file, refused
// connection, wrong password, statement the database refuses) throws
// velix::DatabaseError carrying Firebird's own message text.
//
// All of it is to be used from the main (user-interface) thread only.

#include "data/tabelas.h"
#include "data/value.h"

#include <QString>

#include <memory>
#include <vector>

namespace velix {

/// The client library's file name as <root>/CaminhoGDS.txt gives it (see above).
/// Throws FileError when the file exists but cannot be read.
QString clientLibraryFromFile();

/// The name of the client library loaded when none is set: "libfbclient.so.2".
QString defaultClientLibrary();

/// One column of a result: its name and the kind of value it carries.
struct ResultColumn {
    QString name;        ///< the column's name (alias when the statement gives one)
    FieldType type;      ///< Text, FixedText, Integer, Decimal, Float, Date, Time, Timestamp or Blob
    int size = 0;        ///< characters, for Text and FixedText
    int scale = 0;       ///< digits after the point, for Decimal
};

/// All rows of a SELECT, fetched at once; blobs are fetched whole.
struct QueryResult {
    std::vector<ResultColumn> columns;
    std::vector<std::vector<Value>> rows;
};

class TransactionScope;

/// A connection to one database (DM.sqlcon1, DM2.SQLConnection1). Created
/// disconnected; the first statement connects it, and it stays connected until
/// close() or destruction.
class SQLConnection {
public:
    explicit SQLConnection(const QString &connectionName);
    ~SQLConnection();
    SQLConnection(const SQLConnection &) = delete;
    SQLConnection &operator=(const SQLConnection &) = delete;

    QString connectionName() const;

    /// The database location ("host:path" or a local path). Setting it
    /// disconnects the connection.
    void setDatabase(const QString &location);
    QString database() const;

    /// The client library to load (a file name or a full path). Only the first
    /// connect of a connection loads it; the default is defaultClientLibrary().
    void setLibraryName(const QString &library);
    QString libraryName() const;

    /// User and password sent with every connect: ISC_USER / ISC_PASSWORD when
    /// set, else "sysdba" and the built-in administrator password.
    void setUserName(const QString &user);
    QString userName() const;
    void setPassword(const QString &password);

    /// Connects now (nothing happens when already connected).
    void open();
    /// Disconnects; rolls back an active scope's transaction. Never throws.
    void close();
    bool connected() const;

    /// Runs a statement that returns no rows ("DELETE FROM VELIX6 where ...");
    /// returns the number of rows it changed.
    int executeDirect(const QString &sql);

    /// Runs a statement with '?' parameters taking `params` in order; returns
    /// the number of rows it changed. Values are passed exactly (no quoting).
    int execute(const QString &sql, const std::vector<Value> &params = {});

    /// Runs a statement like execute() without asking how many rows it
    /// changed: through a server, that question is a round trip of its own.
    void executeOnly(const QString &sql, const std::vector<Value> &params = {});

    /// Runs a statement that gives back one row ("INSERT ... RETURNING ...")
    /// and returns that row's values, in the clause's order; prepared once
    /// like execute().
    std::vector<Value> executeReturning(const QString &sql, const std::vector<Value> &params = {});

    /// Runs a SELECT (with '?' parameters when given) and fetches all its rows.
    QueryResult select(const QString &sql, const std::vector<Value> &params = {});

    /// True while a TransactionScope is active on this connection.
    bool inTransaction() const;

    /// Creates an empty database at `location` with the default character set
    /// `charset` ("WIN1252", "NONE", "ISO8859_1", "UTF8"), dialect 3, page size 8192, through the
    /// client library `library` (empty: the default). For set-up tools and
    /// tests; the program itself creates no database.
    static void createDatabase(const QString &location, const QString &charset,
                               const QString &library = QString(),
                               const QString &user = QString(), const QString &password = QString());

    struct Impl;

private:
    friend class TransactionScope;
    std::unique_ptr<Impl> d;
};

/// A transaction of its own for a command: every statement, query, dataset
/// open, apply and refresh on `connection` runs in it until commit() or the
/// scope's end. commit() makes all of it permanent; a scope that ends without
/// commit() (an exception, an early return) rolls all of it back. One scope
/// per connection at a time (a second one throws Error).
///
/// Never hold a scope open across a modal dialog: end (commit or roll back)
/// before any message box, question or preview is shown, so that no lock is
/// held while the program waits for the user.
class TransactionScope {
public:
    explicit TransactionScope(SQLConnection &connection);
    ~TransactionScope();
    TransactionScope(const TransactionScope &) = delete;
    TransactionScope &operator=(const TransactionScope &) = delete;

    /// Commits; throws DatabaseError when the database refuses (the scope is
    /// then rolled back and ended).
    void commit();
    /// Rolls back now; never throws.
    void rollback();
    bool active() const;

private:
    SQLConnection &m_connection;
    bool m_active = false;
};

} // namespace velix
