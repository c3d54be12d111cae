#include "access/UChKProt.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace velix;

namespace {

// The encoding written out on texts of binary digits, independently of the
// byte arithmetic in the program: bits, rotate left by three, groups of eight
// read from the end, two letters per byte.
QString encodeByBits(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QString();
    QString bits;
    for (char ch : bytes)
        bits += QString::number(static_cast<unsigned char>(ch), 2).rightJustified(8, QLatin1Char('0'));
    bits = bits.mid(3) + bits.left(3);
    QString out;
    for (qsizetype start = bits.size() - 8; start >= 0; start -= 8) {
        const QString group = bits.mid(start, 8);
        out += QChar(u'A' + group.left(4).toInt(nullptr, 2));
        out += QChar(u'A' + group.mid(4).toInt(nullptr, 2));
    }
    return out;
}

} // namespace

class TestCodifica : public QObject {
    Q_OBJECT
private slots:
    void examples_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("A") << QStringLiteral("A") << QStringLiteral("AK");
        QTest::newRow("ABC") << QStringLiteral("ABC") << QStringLiteral("BKBCAK");
        QTest::newRow("JOAO") << QStringLiteral("JOAO") << QStringLiteral("HKAKHKFC");
        QTest::newRow("ÇA") << QStringLiteral("ÇA") << QStringLiteral("AODK");
        QTest::newRow("demo user") << QStringLiteral("DEMO") << QStringLiteral("HKGKCKCC");
        QTest::newRow("demo password") << QStringLiteral("1234") << QStringLiteral("KBJJJBIJ");
    }
    void examples()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(CodificaTexto(input), expected);
        QCOMPARE(CodificaTexto(input).size(), 2 * input.size());
    }

    void caseMatters()
    {
        QVERIFY(CodificaTexto(QStringLiteral("abc")) != CodificaTexto(QStringLiteral("ABC")));
    }

    void everySingleByte()
    {
        for (int b = 0; b < 256; ++b) {
            const QByteArray one(1, static_cast<char>(b));
            const int rotated = ((b << 3) | (b >> 5)) & 0xFF;
            const QString expected = QString(QChar(u'A' + (rotated >> 4))) + QChar(u'A' + (rotated & 15));
            QCOMPARE(CodificaTexto(one), expected);
        }
    }

    void randomTextsAgreeWithBitForm()
    {
        QRandomGenerator rng(20261210);
        for (int i = 0; i < 2000; ++i) {
            QByteArray bytes(rng.bounded(1, 64), Qt::Uninitialized);
            for (char &c : bytes)
                c = static_cast<char>(rng.bounded(256));
            QCOMPARE(CodificaTexto(bytes), encodeByBits(bytes));
        }
    }

    void everyCharacterCounts()
    {
        const QString base(40, QLatin1Char('M'));
        const QString encoded = CodificaTexto(base);
        QCOMPARE(encoded.size(), 80);
        for (int i = 0; i < base.size(); ++i) {
            QString changed = base;
            changed[i] = QLatin1Char('N');
            QVERIFY2(CodificaTexto(changed) != encoded, qPrintable(QString::number(i)));
        }
    }
};

QTEST_GUILESS_MAIN(TestCodifica)
#include "test_codifica.moc"
