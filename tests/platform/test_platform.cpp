#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/programa.h"
#include "platform/ritmo.h"
#include "platform/system.h"
#include "recordingmodal.h"
#include "tempfolders.h"

#include <QDir>
#include <QtTest>

using namespace velix;

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void cp1252_everyByteRoundTrips()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all += static_cast<char>(b);
        const QString text = fromCp1252(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(toCp1252(text), all);
        QCOMPARE(fromCp1252(QByteArray("\xC7\xE3o \x80")), QStringLiteral("Ção €"));
        QCOMPARE(cp1252Code(QChar(0x20AC)), static_cast<unsigned char>(0x80));
    }

    void cp1252_files()
    {
        test::TempFolders t;
        const QString path = t.base() + QStringLiteral("/x.txt");
        writeCp1252File(path, QStringLiteral("Relação Mensal\r\n"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("Rela\xE7\xE3o Mensal\r\n"));
        QCOMPARE(readCp1252File(path), QStringLiteral("Relação Mensal\r\n"));
        QVERIFY_THROWS_EXCEPTION(FileError, readCp1252File(t.base() + QStringLiteral("/missing.txt")));
    }

    // Screen work at the first call, then not before the interval has passed.
    void ritmo()
    {
        Ritmo r(200);
        QVERIFY(r.hora(1000));
        QVERIFY(!r.hora(1000));
        QVERIFY(!r.hora(1199));
        QVERIFY(r.hora(1200));
        QVERIFY(!r.hora(1399));
        QVERIFY(r.hora(5000));
        Ritmo porRelogio;
        QVERIFY(porRelogio.hora());
        QVERIFY(!porRelogio.hora());
    }

    void rootFolder()
    {
        test::TempFolders t;
        QCOMPARE(rootDir(), QDir::cleanPath(t.root()));
        QCOMPARE(rootPath(QStringLiteral("RPT/VELIX6.rav")), t.root() + QStringLiteral("/RPT/VELIX6.rav"));
        QCOMPARE(programDir(), t.program() + QLatin1Char('/'));
    }

    void rootFolderDefaultsToHome()
    {
        const QByteArray old = qgetenv("KORVANTE_DIR");
        qunsetenv("KORVANTE_DIR");
        QCOMPARE(rootDir(), QDir::homePath() + QStringLiteral("/korvante"));
        if (!old.isEmpty())
            qputenv("KORVANTE_DIR", old);
    }

    void logonNameAndVersion()
    {
        QVERIFY(NomeUsuarioWindows().size() <= 49);
        QVERIFY(!NomeUsuarioWindows().isEmpty());
        QCOMPARE(programFileVersion(), QStringLiteral("1.0.0.0"));
    }

    void upperAZ_changesOnlyPlainLetters()
    {
        QCOMPARE(upperAZ(QStringLiteral("joão çá z1")), QStringLiteral("JOãO çá Z1"));
    }

    void guarded_reportsAndGoesOn()
    {
        test::RecordingModal seam;
        QVERIFY(!guarded(QStringLiteral("cmd"), [] { throw ConvertError(QStringLiteral("'x' is not a valid integer value")); }));
        QCOMPARE(seam.errors.size(), 1);
        QCOMPARE(seam.errors[0].message, QStringLiteral("'x' is not a valid integer value"));
        QCOMPARE(seam.errors[0].kind, QStringLiteral("EConvertError"));
        QCOMPARE(seam.errors[0].where, QStringLiteral("cmd"));
        QVERIFY(!guarded(QStringLiteral("std"), [] { throw std::out_of_range("index"); }));
        QVERIFY(!guarded(QStringLiteral("any"), [] { throw 42; }));
        QCOMPARE(seam.errors.size(), 3);
        QCOMPARE(seam.errors[2].kind, QStringLiteral("Unknown"));
        QVERIFY(guarded(QStringLiteral("ok"), [] {}));
        QCOMPARE(seam.errors.size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
