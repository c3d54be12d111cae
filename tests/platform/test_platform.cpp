#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/programa.h"
#include "platform/ritmo.h"
#include "platform/system.h"
#include "recordingmodal.h"
#include "tempfolders.h"

#include <QDir>
#include <QStringDecoder>
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

    // Every code point: the code page's characters give their byte, every other
    // character one '?' (none vanishes, none becomes a control byte), and the
    // exact form refuses it.
    void cp1252_everyCodePoint()
    {
        QHash<char32_t, unsigned char> page;
        for (int b = 0; b < 256; ++b)
            page.insert(b >= 0x80 && b < 0xA0 ? char32_t(0) : char32_t(b), static_cast<unsigned char>(b));
        const QString windows = QStringDecoder("windows-1252").decode(QByteArray("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A"
                                                                                 "\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97"
                                                                                 "\x98\x99\x9A\x9B\x9C\x9E\x9F"));
        const QByteArray windowsBytes("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95"
                                      "\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F");
        QCOMPARE(windows.size(), 27);
        page.remove(0);
        page.insert(0, 0);
        for (int i = 0; i < windows.size(); ++i)
            page.insert(windows[i].unicode(), static_cast<unsigned char>(windowsBytes[i]));
        for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
            page.insert(b, b);
        QCOMPARE(page.size(), 256);

        int outside = 0;
        for (char32_t c = 0; c <= 0x10FFFF; ++c) {
            const QString text = c > 0xFFFF ? QString::fromUcs4(&c, 1) : QString(QChar(char16_t(c)));
            const auto it = page.constFind(c);
            const bool in = it != page.constEnd();
            const QByteArray bytes = toCp1252(text);
            if (bytes.size() != 1 || static_cast<unsigned char>(bytes[0]) != (in ? *it : '?'))
                QFAIL(qPrintable(QStringLiteral("U+%1 gives %2").arg(uint(c), 4, 16).arg(QString::fromLatin1(bytes.toHex()))));
            if (inCp1252(c) != in || isCp1252(text) != in)
                QFAIL(qPrintable(QStringLiteral("U+%1 misjudged").arg(uint(c), 4, 16)));
            if (c <= 0xFFFF && cp1252Code(QChar(char16_t(c))) != (in ? *it : '?'))
                QFAIL(qPrintable(QStringLiteral("cp1252Code(U+%1)").arg(uint(c), 4, 16)));
            if (in) {
                if (toCp1252Exact(text) != bytes || fromCp1252(bytes) != text)
                    QFAIL(qPrintable(QStringLiteral("U+%1 does not round-trip").arg(uint(c), 4, 16)));
            } else {
                ++outside;
                try {
                    toCp1252Exact(text);
                    QFAIL(qPrintable(QStringLiteral("U+%1 was accepted").arg(uint(c), 4, 16)));
                } catch (const ConvertError &) {
                }
            }
        }
        QCOMPARE(outside, 0x110000 - 256);

        // One '?' per character, a pair of surrogates being one character.
        const QString mixed = QStringLiteral("a\u2192b\u200Bc") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("d");
        QCOMPARE(toCp1252(mixed), QByteArray("a?b?c?d"));
        try {
            toCp1252Exact(QStringLiteral("Dipirona \u2192 500 mg"));
            QFAIL("accepted");
        } catch (const ConvertError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("U+2192 (\u2192)")), qPrintable(e.message()));
        }
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
