#include "access/login.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "settings/configuracoes.h"
#include "tempfolders.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <unistd.h>

using namespace velix;

namespace {

const QByteArray IP = "IP DO SERVIDOR CENTRAL.........................:";
const QByteArray COR = "COR DE FUNDO DAS TELAS.........................:";
const QByteArray ORDEM = "ORDENAR VELIX6 POR DATA OU DCB, DATA, NUMNOTIF.:";
const QByteArray LOG = "LOG DE ATIVIDADES..............................:";
const QByteArray ESTACAO = "IP DA ESTACAO DO USUARIO.......................:";
const QByteArray BACKUP = "CAMINHO DO BACKUP MANUAL DO BD DO SISTEMA......:";
const QByteArray LAB = "LABORATORIO PADRAO.............................:";

// One line of the file: the label, the separator, the value, CR LF.
QByteArray linha(const QByteArray &rotulo, const QByteArray &valor)
{
    return rotulo + ' ' + valor + "\r\n";
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<int>("cor");
        QTest::addColumn<QString>("ordem");
        QTest::addColumn<QString>("erro");       // the conversion error, empty when none
        QTest::addColumn<QString>("rotulo");     // one more setting to look at
        QTest::addColumn<QString>("valor");

        const QByteArray tres = linha(IP, "192.168.0.10") + linha(COR, "13222311") + linha(ORDEM, "DATA");
        QTest::newRow("three settings")
            << tres << "192.168.0.10" << 13222311 << "DATA" << "" << "" << "";
        QTest::newRow("any order")
            << linha(ORDEM, "DATA") + linha(COR, "13222311") + linha(IP, "192.168.0.10")
            << "192.168.0.10" << 13222311 << "DATA" << "" << "" << "";
        QTest::newRow("LF only")
            << QByteArray(tres).replace("\r\n", "\n") << "192.168.0.10" << 13222311 << "DATA" << "" << "" << "";
        QTest::newRow("no final line end")
            << linha(COR, "5") + IP + " 10.0.0.1" << "10.0.0.1" << 5 << "" << "" << "" << "";
        QTest::newRow("label in lower case skipped")
            << linha(IP.toLower(), "10.0.0.1") + linha(COR.toLower(), "7") << "" << 0 << "" << "" << "" << "";
        QTest::newRow("one point fewer skipped")
            << linha(QByteArray(IP).remove(30, 1), "10.0.0.1") << "" << 0 << "" << "" << "" << "";
        QTest::newRow("blanks around the colour")
            << linha(COR, "   255   ") << "" << 255 << "" << "" << "" << "";
        QTest::newRow("hexadecimal colours")
            << linha(COR, "$FF00000F") << "" << qint32(0xFF00000F) << "" << "" << "" << "";
        QTest::newRow("value from column 49 loses its first character")
            << IP + "10.0.0.1\r\n" << "0.0.0.1" << 0 << "" << "" << "" << "";
        const QByteArray ip60 = QByteArray("10.1.1.1:/").leftJustified(59, 'x') + 'Z';
        QTest::newRow("60 characters kept, the rest ignored")
            << linha(IP, ip60 + "IGNORED") << QString::fromLatin1(ip60) << 0 << "" << "" << "" << "";
        QTest::newRow("order value in lower case")
            << linha(ORDEM, "data") << "" << 0 << "data" << "" << "" << "";
        QTest::newRow("no lines at all") << QByteArray() << "" << 0 << "" << "" << "" << "";
        QTest::newRow("last line wins")
            << linha(IP, "first") + linha(COR, "1") + linha(IP, "second") + linha(COR, "2")
            << "second" << 2 << "" << "" << "" << "";
        QTest::newRow("a later empty value replaces an earlier one")
            << linha(IP, "first") + IP + "\r\n" << "" << 0 << "" << "" << "" << "";
        QTest::newRow("tab stays part of a text value")
            << linha(LAB, "\tMatriz ") << "" << 0 << "" << "" << QString::fromLatin1(LAB) << "\tMatriz";
        QTest::newRow("Windows-1252 value")
            << linha(LAB, "Farm\xE1" "cia S\xE3o Jo\xE3o") << "" << 0 << "" << "" << QString::fromLatin1(LAB)
            << QStringLiteral("Farmácia São João");
        QTest::newRow("ordinary text cut to 30")
            << linha(LAB, QByteArray(45, 'L')) << "" << 0 << "" << "" << QString::fromLatin1(LAB)
            << QString(30, QLatin1Char('L'));
        QTest::newRow("station address cut to 40")
            << linha(ESTACAO, QByteArray(45, '4')) << "" << 0 << "" << "" << QString::fromLatin1(ESTACAO)
            << QString(40, QLatin1Char('4'));
        QTest::newRow("activity log cut to 3")
            << linha(LOG, "SIMSIM") << "" << 0 << "" << "" << QString::fromLatin1(LOG) << "SIM";
        QTest::newRow("backup path any length")
            << linha(BACKUP, QByteArray(60, 'p')) << "" << 0 << "" << "" << QString::fromLatin1(BACKUP)
            << QString(60, QLatin1Char('p'));
        QTest::newRow("odd lines skipped")
            << QByteArray("\r\n\r\n; comment\r\n") + QByteArray(47, '.') + "\r\n" + QByteArray(200, '\xFF') + "\n"
                   + linha(COR, "9") + "IP DO SERVIDOR\r\n" + QByteArray("\t") + linha(IP, "tabbed")
            << "" << 9 << "" << "" << "" << "";
        QTest::newRow("bad colour stops reading")
            << linha(IP, "before") + linha(COR, "12a") + linha(ORDEM, "DATA")
            << "before" << 0 << "" << "'12a' is not a valid integer value" << "" << "";
        QTest::newRow("empty colour is not an integer")
            << linha(COR, "") << "" << 0 << "" << "'' is not a valid integer value" << "" << "";
        QTest::newRow("label only, no value")
            << COR + "\r\n" << "" << 0 << "" << "'' is not a valid integer value" << "" << "";
        QTest::newRow("tab before the colour")
            << linha(COR, "\t255") << "" << 0 << "" << "'\t255' is not a valid integer value" << "" << "";
    }

    void reads()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, ip);
        QFETCH(int, cor);
        QFETCH(QString, ordem);
        QFETCH(QString, erro);
        QFETCH(QString, rotulo);
        QFETCH(QString, valor);

        test::TempFolders t;
        t.writeFile(QStringLiteral("program/KORVANTE.INI"), file);
        QString raised;
        try {
            LeConfiguracoes();
        } catch (const ConvertError &e) {
            raised = e.message();
        }
        QCOMPARE(raised, erro);
        QCOMPARE(IPServidorCentral, ip);
        QCOMPARE(CorFundoTelas, cor);
        QCOMPARE(OrdemVelix6, ordem);
        if (!rotulo.isEmpty())
            QCOMPARE(valorConfiguracao(rotulo), valor);
    }

    void startsFromInitialValues()
    {
        test::TempFolders t;
        t.writeFile(QStringLiteral("program/KORVANTE.INI"), linha(IP, "a") + linha(COR, "3") + linha(ORDEM, "DATA"));
        LeConfiguracoes();
        t.writeFile(QStringLiteral("program/KORVANTE.INI"), QByteArray());
        LeConfiguracoes();
        QCOMPARE(IPServidorCentral, QString());
        QCOMPARE(CorFundoTelas, 0);
        QCOMPARE(OrdemVelix6, QString());
    }

    void missingFile()
    {
        test::TempFolders t;
        QCOMPARE(arquivoConfiguracoes(), t.program() + QStringLiteral("/KORVANTE.INI"));
        try {
            LeConfiguracoes();
            QFAIL("no error for a missing file");
        } catch (const ArquivoConfiguracoesAusente &e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Arquivo KORVANTE.INI não encontrado. Execute o programa Instalio.exe para criá-lo."));
        }
    }

    // An installed program's folder is not the user's: the settings file may
    // stand in the user's configuration folder and the LOG folder goes to the
    // user's data folder. One beside the executable still comes first.
    void userFolders()
    {
        test::TempFolders t;
        QVERIFY(QDir().mkpath(t.program()));
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        const QByteArray oldData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(t.base() + QStringLiteral("/config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(t.base() + QStringLiteral("/data")));
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_CONFIG_HOME", oldConfig);
            qputenv("XDG_DATA_HOME", oldData);
            setProgramDir(t.program());
        });
        QCOMPARE(userConfigDir(), t.base() + QStringLiteral("/config/korvante/"));
        QCOMPARE(userDataDir(), t.base() + QStringLiteral("/data/korvante/"));

        // Neither file: the message names the file beside the executable.
        QCOMPARE(arquivoConfiguracoes(), t.program() + QStringLiteral("/KORVANTE.INI"));
        QVERIFY_THROWS_EXCEPTION(ArquivoConfiguracoesAusente, LeConfiguracoes());

        t.writeFile(QStringLiteral("config/korvante/KORVANTE.INI"), linha(IP, "10.0.0.2"));
        QCOMPARE(arquivoConfiguracoes(), t.base() + QStringLiteral("/config/korvante/KORVANTE.INI"));
        LeConfiguracoes();
        QCOMPARE(IPServidorCentral, QStringLiteral("10.0.0.2"));

        t.writeFile(QStringLiteral("program/KORVANTE.INI"), linha(IP, "10.0.0.1"));
        LeConfiguracoes();
        QCOMPARE(IPServidorCentral, QStringLiteral("10.0.0.1"));

        // A folder of that name beside the executable is reported, not passed over.
        QVERIFY(QFile::remove(t.program() + QStringLiteral("/KORVANTE.INI")));
        QVERIFY(QDir().mkpath(t.program() + QStringLiteral("/KORVANTE.INI")));
        QVERIFY_THROWS_EXCEPTION(FileError, LeConfiguracoes());

        // The LOG folder: beside a writable program folder, else in the data folder.
        const QString dia = QDate::currentDate().toString(QStringLiteral("MMdd"));
        QCOMPARE(preparaArquivoLog(), t.program() + QStringLiteral("/LOG/LOG") + dia + QStringLiteral(".TXT"));
        QVERIFY(!QDir(t.base() + QStringLiteral("/data")).exists());
        setProgramDir(t.base() + QStringLiteral("/gone"));   // no folder there at all
        QCOMPARE(preparaArquivoLog(), t.base() + QStringLiteral("/data/korvante/LOG/LOG") + dia + QStringLiteral(".TXT"));
        QVERIFY(QDir(t.base() + QStringLiteral("/data/korvante/LOG")).exists());
        QVERIFY(!QDir(t.base() + QStringLiteral("/gone")).exists());
        if (geteuid() != 0) {   // root may write anywhere
            setProgramDir(t.program());
            QVERIFY(QFile::setPermissions(t.program(), QFile::ReadOwner | QFile::ExeOwner));
            const QString log = preparaArquivoLog();
            QVERIFY(QFile::setPermissions(t.program(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            QCOMPARE(log, t.base() + QStringLiteral("/data/korvante/LOG/LOG") + dia + QStringLiteral(".TXT"));
        }
    }

    void unreadableFile()
    {
        test::TempFolders t;
        QVERIFY(QDir().mkpath(t.program() + QStringLiteral("/KORVANTE.INI")));
        QVERIFY_THROWS_EXCEPTION(FileError, LeConfiguracoes());
    }

    void labels()
    {
        const QStringList &r = rotulosConfiguracao();
        QCOMPARE(r.size(), 135);
        QCOMPARE(r.first(), QString::fromLatin1(IP));
        QCOMPARE(r.last(), QString::fromLatin1(ORDEM));
        for (const QString &l : r) {
            QCOMPARE(l.size(), 48);
            QVERIFY2(l.endsWith(QLatin1Char(':')), qPrintable(l));
            QCOMPARE(r.count(l), 1);
        }
    }

    void strToInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << "13222311" << true << 13222311;
        QTest::newRow("negative") << "-12" << true << -12;
        QTest::newRow("plus") << "+12" << true << 12;
        QTest::newRow("dollar hex") << "$C9C1A7" << true << 0xC9C1A7;
        QTest::newRow("0x hex") << "0x1f" << true << 31;
        QTest::newRow("0X hex") << "0X1F" << true << 31;
        QTest::newRow("system colour") << "$FF00000F" << true << qint32(0xFF00000F);
        QTest::newRow("negative hex") << "-$10" << true << -16;
        QTest::newRow("smallest") << "-2147483648" << true << std::numeric_limits<int>::min();
        QTest::newRow("largest") << "2147483647" << true << std::numeric_limits<int>::max();
        QTest::newRow("too large") << "2147483648" << false << 0;
        QTest::newRow("nine hex digits") << "$100000000" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("dollar only") << "$" << false << 0;
        QTest::newRow("inner blank") << "1 2" << false << 0;
        QTest::newRow("hex without prefix") << "FF" << false << 0;
        QTest::newRow("Arabic-Indic digit") << QStringLiteral("1\u0663") << false << 0;
    }

    void strToInt()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        if (valid) {
            QCOMPARE(StrToInt(text), value);
            return;
        }
        try {
            StrToInt(text);
            QFAIL("accepted");
        } catch (const ConvertError &e) {
            QCOMPARE(e.message(), QLatin1Char('\'') + text + QStringLiteral("' is not a valid integer value"));
            QCOMPARE(e.className(), QStringLiteral("EConvertError"));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
