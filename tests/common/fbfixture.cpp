#include "fbfixture.h"

#include "platform/cp1252.h"
#include "platform/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace velix::test {
namespace {

// Splits a script into statements at ';' outside quotes and comments.
QStringList statements(const QString &script)
{
    QStringList out;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script[i];
        if (!quoted && c == QLatin1Char('-') && i + 1 < script.size() && script[i + 1] == QLatin1Char('-')) {
            while (i < script.size() && script[i] != QLatin1Char('\n'))
                ++i;
            current += QLatin1Char('\n');
            continue;
        }
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char(';')) {
            if (!current.trimmed().isEmpty())
                out << current.trimmed();
            current.clear();
            continue;
        }
        current += c;
    }
    if (!current.trimmed().isEmpty())
        out << current.trimmed();
    return out;
}

QString readUtf8(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("%1: %2").arg(file, f.errorString()));
    return QString::fromUtf8(f.readAll());
}

} // namespace

void useProcessLockFolder()
{
    static QTemporaryDir lockDir;
    if (!qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
        qputenv("FIREBIRD_LOCK", QFile::encodeName(lockDir.path()));
}

void createDatabase(const QString &file, DbKind kind, const QString &charset)
{
    useProcessLockFolder();
    QDir().mkpath(QFileInfo(file).absolutePath());
    SQLConnection::createDatabase(file, charset);
    const QString schema = readUtf8(sourceDir() + QStringLiteral("/src/data/schema.sql"));
    // The line that starts with "-- Interface database" divides the script.
    const qsizetype split = schema.indexOf(QStringLiteral("\n-- Interface database"));
    if (split < 0)
        throw Error(QStringLiteral("schema.sql has no interface part"));
    runSql(file, kind == DbKind::Pharmacy ? schema.left(split) : schema.mid(split));
}

void runSql(const QString &database, const QString &sql)
{
    useProcessLockFolder();
    SQLConnection con(QStringLiteral("fixture"));
    con.setDatabase(database);
    for (const QString &statement : statements(sql))
        con.executeDirect(statement);
}

void runScript(const QString &database, const QString &scriptFile)
{
    runSql(database, readUtf8(scriptFile));
}

QueryResult query(const QString &database, const QString &sql)
{
    useProcessLockFolder();
    SQLConnection con(QStringLiteral("fixture"));
    con.setDatabase(database);
    return con.select(sql);
}

FbFixture::FbFixture(const TempFolders &folders, Contents contents, const QString &charset, const QString &station)
    : m_pharmacy(folders.root() + QStringLiteral("/dados/korvante.bd")),
      m_interface(folders.root() + QStringLiteral("/interfac") + station + QStringLiteral("/korvante.bd"))
{
    createDatabase(m_pharmacy, DbKind::Pharmacy, charset);
    createDatabase(m_interface, DbKind::Interface, charset);
    if (contents == Demo) {
        runScript(m_pharmacy, sourceDir() + QStringLiteral("/tools/demo/pharmacy.sql"));
        runScript(m_interface, sourceDir() + QStringLiteral("/tools/demo/interface.sql"));
    }
}

} // namespace velix::test
