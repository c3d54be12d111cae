#pragma once
// A Firebird server of the test's own on 127.0.0.1:3050, for the tests of the
// central-server route (host:path).
//
// start() prepares a private configuration folder (firebird.conf, a security
// database of its own whose SYSDBA password is the program's built-in one, a
// lock folder), then runs Debian's server binary /usr/sbin/firebird in the
// foreground as the current user with FIREBIRD pointing at that folder, and
// waits until port 3050 accepts connections. stop() (and the destructor)
// terminates it. The system's configuration and security database are not
// touched; no systemd service is used.
//
// The server holds the database files it opens exclusively: give it its own
// files, and do not open them with the embedded engine while it runs.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace velix::test {

class FbServer {
public:
    FbServer();
    ~FbServer();

    /// Starts the server; false with error() when it could not be started
    /// (missing binary, port 3050 taken, no answer within 30 seconds).
    bool start();
    /// Stops the server; true when it has ended.
    bool stop();
    bool running() const;
    QString error() const { return m_error; }

    /// A folder the server can use for database files.
    QString dataDir() const { return m_dir.path() + QStringLiteral("/data"); }

    static constexpr int port = 3050;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_error;
};

/// True when something accepts TCP connections on 127.0.0.1:`port`.
bool portOpen(int port);

} // namespace velix::test
