// Ending the real program by a signal, at start-up and once it has opened a database: the
// velix6 executable runs in a child process on a temporary demo pharmacy,
// headless (Qt's VNC platform, through which the test types as a user
// would), logs in, and gets SIGTERM or SIGINT. It must end as "Sair" ends it:
// exit status 0, within a few seconds, the database left closed.

#include "fbfixture.h"
#include "tempfolders.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtEndian>
#include <QtTest>

#include <csignal>

using namespace velix;

namespace {

constexpr quint32 kReturn = 0xff0d;

// Just enough of a VNC client to type into the program.
class Teclado {
public:
    bool conecta(quint16 porta, int msLimite)
    {
        QElapsedTimer relogio;
        relogio.start();
        while (relogio.elapsed() < msLimite) {
            m_socket.connectToHost(QStringLiteral("127.0.0.1"), porta);
            if (m_socket.waitForConnected(500))
                return apresenta();
            m_socket.abort();
            QTest::qWait(100);
        }
        return false;
    }

    void digita(const QString &texto)
    {
        for (const QChar c : texto)
            tecla(c.unicode());
    }

    void tecla(quint32 simbolo)
    {
        for (quint8 baixa : {quint8(1), quint8(0)}) {
            QByteArray m(8, '\0');
            m[0] = 4;   // KeyEvent
            m[1] = char(baixa);
            qToBigEndian<quint32>(simbolo, m.data() + 4);
            m_socket.write(m);
        }
        m_socket.flush();
        m_socket.waitForBytesWritten(1000);
        QTest::qWait(60);
    }

private:
    QByteArray le(qsizetype n)
    {
        QByteArray b;
        while (b.size() < n && (m_socket.bytesAvailable() > 0 || m_socket.waitForReadyRead(3000)))
            b += m_socket.read(n - b.size());
        return b;
    }

    bool apresenta()
    {
        const QByteArray versao = le(12);
        if (!versao.startsWith("RFB "))
            return false;
        m_socket.write(versao);
        if (versao == "RFB 003.003\n") {
            if (qFromBigEndian<quint32>(le(4).constData()) != 1)
                return false;
        } else {
            const QByteArray n = le(1);
            if (n.isEmpty() || !le(quint8(n[0])).contains('\x01'))
                return false;
            m_socket.write(QByteArray(1, '\x01'));
            if (versao >= "RFB 003.008\n" && qFromBigEndian<quint32>(le(4).constData()) != 0)
                return false;
        }
        m_socket.write(QByteArray(1, '\x01'));   // ClientInit: shared
        const QByteArray init = le(24);
        if (init.size() != 24)
            return false;
        le(qFromBigEndian<quint32>(init.constData() + 20));
        return true;
    }

    QTcpSocket m_socket;
};

quint16 portaLivre()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

// Whether process `pid` has the file `arquivo` open (its database attached).
bool temAberto(qint64 pid, const QString &arquivo)
{
    const QString alvo = QFileInfo(arquivo).canonicalFilePath();
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System))
        if (QFileInfo(fds.filePath(fd)).symLinkTarget() == alvo)
            return true;
    return false;
}

// The velix6 executable, copied into the program folder of `pastas`, run
// headless on Qt's VNC platform with `env` added to the environment; killed
// when it outlives the test.
class ProgramaFilho {
public:
    bool inicia(const test::TempFolders &pastas, const QProcessEnvironment &env)
    {
        const QString programa = pastas.program() + QStringLiteral("/velix6");
        if (!QFile::copy(qEnvironmentVariable("VELIX6_BINARY_DIR") + QStringLiteral("/velix6"), programa))
            return false;
        QFile::setPermissions(programa, QFile::permissions(programa) | QFileDevice::ExeOwner);
        porta = portaLivre();
        QProcessEnvironment todo = QProcessEnvironment::systemEnvironment();
        todo.insert(env);
        todo.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("vnc:port=%1").arg(porta));
        processo.setProcessEnvironment(todo);
        processo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processo.start(programa, {});
        return processo.waitForStarted();
    }

    ~ProgramaFilho()
    {
        if (processo.state() != QProcess::NotRunning) {
            processo.kill();
            processo.waitForFinished();
        }
    }

    QProcess processo;
    quint16 porta = 0;
};

} // namespace

class TestSinais : public QObject {
    Q_OBJECT
private slots:
    void endsAsSairDoes_data()
    {
        QTest::addColumn<int>("sinal");
        QTest::addColumn<QString>("senha");
        QTest::newRow("SIGTERM after the login") << int(SIGTERM) << QStringLiteral("1234");
        QTest::newRow("SIGINT after the login") << int(SIGINT) << QStringLiteral("1234");
        // A wrong password reads the users from the database and leaves the
        // message box "Senha incorreta" open.
        QTest::newRow("SIGTERM with a message box open") << int(SIGTERM) << QStringLiteral("99");
        QTest::newRow("SIGINT with a message box open") << int(SIGINT) << QStringLiteral("99");
    }

    void endsAsSairDoes()
    {
        QFETCH(int, sinal);
        QFETCH(QString, senha);
        test::TempFolders pastas;
        test::FbFixture banco(pastas, test::FbFixture::Demo);
        pastas.writeFile(QStringLiteral("program/KORVANTE.INI"),
                         "IP DO SERVIDOR CENTRAL.........................: \r\n");
        QProcessEnvironment env;
        env.insert(QStringLiteral("USER"), QStringLiteral("DEMO"));   // pre-filled in the name field
        ProgramaFilho filho;
        QVERIFY(filho.inicia(pastas, env));
        QProcess &p = filho.processo;

        Teclado teclado;
        QVERIFY(teclado.conecta(filho.porta, 15000));
        QTest::qWait(500);   // the first activation shows the login panel
        teclado.tecla(kReturn);   // name "DEMO" → password
        teclado.digita(senha);
        teclado.tecla(kReturn);

        QElapsedTimer relogio;
        relogio.start();
        while (!temAberto(p.processId(), banco.pharmacyDb()) && relogio.elapsed() < 15000)
            QTest::qWait(100);
        QVERIFY2(temAberto(p.processId(), banco.pharmacyDb()), "the program did not open the database");
        QTest::qWait(700);   // the login finishes (or its message box opens)
        QCOMPARE(p.state(), QProcess::Running);

        QCOMPARE(::kill(pid_t(p.processId()), sinal), 0);
        QVERIFY2(p.waitForFinished(5000), "the program did not end");
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        // The database was left closed and in order.
        QCOMPARE(banco.pharmacyQuery(QStringLiteral("select count(*) from USUARIOS")).rows.size(), size_t(1));
    }

    // Without a settings file the program starts with a message box and ends
    // when it is closed; a signal closes it and ends the program the same way.
    void endsWhileTheStartupMessageIsOpen()
    {
        test::TempFolders pastas;
        // No settings file in the user's folders either.
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), pastas.root());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), pastas.root() + QStringLiteral("/config"));
        ProgramaFilho filho;
        QVERIFY(filho.inicia(pastas, env));
        QProcess &p = filho.processo;
        Teclado teclado;
        QVERIFY(teclado.conecta(filho.porta, 15000));
        QTest::qWait(1000);   // the message box is open
        QCOMPARE(p.state(), QProcess::Running);
        QCOMPARE(::kill(pid_t(p.processId()), SIGTERM), 0);
        QVERIFY2(p.waitForFinished(5000), "the program did not end");
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSinais)
#include "test_sinais.moc"
