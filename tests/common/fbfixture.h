#pragma once
// Real Firebird databases for tests, created from the project's schema script in
// temporary folders and opened by the embedded engine in the test process.
//
//   velix::test::TempFolders folders;
//   velix::test::FbFixture db(folders, FbFixture::Demo);   // + tools/demo/*.sql
//   db.pharmacySql("INSERT INTO TABLAB (LABORATORIO, LOJA) VALUES ('Matriz', '1')");
//   velix::TDM dm;                                        // finds root/dados/korvante.bd
//
// The first use in a process points FIREBIRD_LOCK at a lock folder of the test
// process (unless it is set), so that several TempFolders roots in one process
// share one engine lock folder that lives as long as the process.

#include "data/firebird.h"
#include "platform/errors.h"
#include "tempfolders.h"

#include <QString>

namespace velix::test {

/// Sets FIREBIRD_LOCK to a temporary folder of this process once, unless set.
void useProcessLockFolder();

enum class DbKind { Pharmacy, Interface };

/// Creates `file` (a local path, folders included, or "host:path" through a
/// server on this computer) from src/data/schema.sql: the pharmacy
/// tables or the interface table; `charset` the default character set
/// ("WIN1252", "NONE", "ISO8859_1", "UTF8").
void createDatabase(const QString &file, DbKind kind, const QString &charset = QStringLiteral("WIN1252"));

/// Runs statements separated by ';' (quotes and -- comments respected) on
/// `database`, each committed; throws DatabaseError with Firebird's message.
void runSql(const QString &database, const QString &sql);

/// runSql with the text of a UTF-8 script file (tools/demo/pharmacy.sql).
void runScript(const QString &database, const QString &scriptFile);

/// All rows of a query on `database`, through a connection of its own.
QueryResult query(const QString &database, const QString &sql);

/// The pharmacy database and one interface database under a TempFolders root,
/// where the data modules look for them with an empty server address.
class FbFixture {
public:
    enum Contents { Empty, Demo };
    explicit FbFixture(const TempFolders &folders, Contents contents = Empty,
                       const QString &charset = QStringLiteral("WIN1252"), const QString &station = QStringLiteral("01"));

    QString pharmacyDb() const { return m_pharmacy; }     ///< <root>/dados/korvante.bd
    QString interfaceDb() const { return m_interface; }   ///< <root>/interfac<station>/korvante.bd

    void pharmacySql(const QString &sql) const { runSql(m_pharmacy, sql); }
    void interfaceSql(const QString &sql) const { runSql(m_interface, sql); }
    QueryResult pharmacyQuery(const QString &sql) const { return query(m_pharmacy, sql); }
    QueryResult interfaceQuery(const QString &sql) const { return query(m_interface, sql); }

private:
    QString m_pharmacy;
    QString m_interface;
};

} // namespace velix::test
