#include "fbserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <csignal>
#include <unistd.h>

namespace velix::test {

bool portOpen(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return false;
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(quint16(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
    ::close(s);
    return ok;
}

FbServer::FbServer() = default;

FbServer::~FbServer()
{
    stop();
}

bool FbServer::running() const
{
    return m_process.state() != QProcess::NotRunning;
}

bool FbServer::start()
{
    const QString binary = QStringLiteral("/usr/sbin/firebird");
    if (!m_dir.isValid())
        return m_error = QStringLiteral("no temporary folder"), false;
    if (!QFile::exists(binary))
        return m_error = binary + QStringLiteral(" is missing: install firebird3.0-server (scripts/install-deps.sh)"), false;
    if (portOpen(port))
        return m_error = QStringLiteral("port %1 is already in use (another Firebird server?)").arg(port), false;

    // Debian's Firebird root folder: plugins, character sets, messages.
    QString systemRoot;
    for (const QString &arch : QDir(QStringLiteral("/usr/lib")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (QFile::exists(QStringLiteral("/usr/lib/%1/firebird/3.0/plugins").arg(arch)))
            systemRoot = QStringLiteral("/usr/lib/%1/firebird/3.0").arg(arch);
    if (systemRoot.isEmpty())
        return m_error = QStringLiteral("Firebird's root folder /usr/lib/*/firebird/3.0 was not found"), false;

    // A root folder of our own: links to everything of the system's root but
    // the configuration files, which are ours, and the character-set folder,
    // which is copied (the server does not find the character sets through a
    // linked folder).
    const QString dir = m_dir.path();
    for (const QString &entry : QDir(systemRoot).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString from = systemRoot + QLatin1Char('/') + entry;
        const QString to = dir + QLatin1Char('/') + entry;
        if (entry == QLatin1String("firebird.conf") || entry == QLatin1String("databases.conf"))
            continue;
        if (entry == QLatin1String("intl")) {
            QDir().mkpath(to);
            for (const QString &file : QDir(from).entryList(QDir::Files))
                QFile::copy(QFileInfo(from + QLatin1Char('/') + file).canonicalFilePath(), to + QLatin1Char('/') + file);
            continue;
        }
        QFile::link(from, to);
    }
    QDir().mkpath(dir + QStringLiteral("/lock"));
    QDir().mkpath(dataDir());
    {
        QFile conf(dir + QStringLiteral("/firebird.conf"));
        if (!conf.open(QIODevice::WriteOnly))
            return m_error = conf.errorString(), false;
        conf.write(QStringLiteral("RemoteServicePort = %1\n"
                                  "RemoteBindAddress = 127.0.0.1\n"
                                  "SecurityDatabase = %2/security3.fdb\n"
                                  "AuthServer = Srp\n"
                                  "UserManager = Srp\n")
                       .arg(port)
                       .arg(dir)
                       .toUtf8());
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), dir);
    env.insert(QStringLiteral("FIREBIRD_LOCK"), dir + QStringLiteral("/lock"));
    env.remove(QStringLiteral("ISC_USER"));
    env.remove(QStringLiteral("ISC_PASSWORD"));

    // The server's own security database with SYSDBA / the built-in password,
    // made by the embedded engine under the private configuration.
    {
        QFile script(dir + QStringLiteral("/security.sql"));
        if (!script.open(QIODevice::WriteOnly))
            return m_error = script.errorString(), false;
        script.write(QStringLiteral("CREATE DATABASE '%1/security3.fdb';\n"
                                    "CREATE USER SYSDBA PASSWORD 'masterkey' USING PLUGIN Srp;\n"
                                    "COMMIT;\n")
                         .arg(dir)
                         .toUtf8());
    }
    QProcess isql;
    isql.setProcessEnvironment(env);
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("-user"),
                                           QStringLiteral("SYSDBA"), QStringLiteral("-i"), dir + QStringLiteral("/security.sql")});
    if (!isql.waitForFinished(60000) || isql.exitStatus() != QProcess::NormalExit || isql.exitCode() != 0)
        return m_error = QStringLiteral("creating the security database failed: ") + QString::fromLocal8Bit(isql.readAll())
                         + isql.errorString(),
               false;

    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // The server ends with the test process, even when the test crashes.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start(binary, {});
    if (!m_process.waitForStarted(10000))
        return m_error = QStringLiteral("%1 did not start: %2").arg(binary, m_process.errorString()), false;
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        if (portOpen(port))
            return true;
        if (m_process.state() == QProcess::NotRunning)
            break;
        QThread::msleep(100);
    }
    m_error = QStringLiteral("the server did not answer on port %1: %2").arg(port).arg(QString::fromLocal8Bit(m_process.readAll()));
    stop();
    return false;
}

bool FbServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    m_process.terminate();
    if (!m_process.waitForFinished(15000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    return m_process.state() == QProcess::NotRunning;
}

} // namespace velix::test
