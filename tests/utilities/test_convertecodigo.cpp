#include "platform/cp1252.h"
#include "utilities/convertecodigo.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace velix;

namespace {

// The accent table written out as characters, independently of the byte
// values the program uses.
QChar semAcento(QChar c)
{
    static const QList<std::pair<QString, QChar>> tabela = {
        {QStringLiteral("ÀÁÂÃàáâã"), u'a'}, {QStringLiteral("Çç"), u'c'},   {QStringLiteral("ÉÊéê"), u'e'},
        {QStringLiteral("Íí"), u'i'},       {QStringLiteral("Ññ"), u'n'},   {QStringLiteral("ÓÔÕóôõ"), u'o'},
        {QStringLiteral("ÚÛÜúûü"), u'u'},
    };
    for (const auto &[acentuadas, plana] : tabela)
        if (acentuadas.contains(c))
            return plana;
    return c;
}

QChar asciiMinuscula(QChar c)
{
    return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c;
}

QChar byteChar(int b)
{
    return fromCp1252(QByteArray(1, static_cast<char>(b))).at(0);
}

} // namespace

class TestConverteCodigo : public QObject {
    Q_OBJECT
private slots:
    void converte_data()
    {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<QString>("esperado");
        const auto row = [](const char *nome, const QString &e, const QString &s) { QTest::newRow(nome) << e << s; };
        row("fluoxetina", QStringLiteral("FLUOXETINA"), QStringLiteral("Fluoxetina"));
        row("two words", QStringLiteral("CLORIDRATO DE SIBUTRAMINA"), QStringLiteral("Cloridrato de sibutramina"));
        row("vitamina b12", QStringLiteral("VITAMINA B12"), QStringLiteral("Vitamina B12"));
        row("only the 10th", QStringLiteral("VITAMINA B1 + B6"), QStringLiteral("Vitamina B1 + b6"));
        row("accented first letter", QStringLiteral("ÁCIDO ASCÓRBICO"), QStringLiteral("acido ascorbico"));
        row("second run", QStringLiteral("acido ascorbico"), QStringLiteral("Acido ascorbico"));
        row("sodio", QStringLiteral("SÓDIO"), QStringLiteral("Sodio"));
        row("eter", QStringLiteral("ÉTER"), QStringLiteral("eter"));
        row("empty", QString(), QString());
        row("already formatted", QStringLiteral("Fluoxetina"), QStringLiteral("Fluoxetina"));
        row("one letter", QStringLiteral("a"), QStringLiteral("A"));
        row("one accented letter", QStringLiteral("Á"), QStringLiteral("a"));
        row("vitamina e", QStringLiteral("Vitamina e"), QStringLiteral("Vitamina E"));
        row("vitamina, 8", QStringLiteral("VITAMINA"), QStringLiteral("Vitamina"));
        row("vitamina, 9", QStringLiteral("vitamina "), QStringLiteral("Vitamina "));
        row("vitamina, 9 letters", QStringLiteral("VITAMINAS"), QStringLiteral("Vitaminas"));
        row("vitamina, 10", QStringLiteral("vitamina-c"), QStringLiteral("Vitamina-C"));
        row("vitamina, mixed case", QStringLiteral("ViTaMiNa k2"), QStringLiteral("Vitamina K2"));
        row("vitamina, any 9th", QStringLiteral("VITAMINAXB"), QStringLiteral("VitaminaxB"));
        row("vitamina, 10th a digit", QStringLiteral("VITAMINA 1A"), QStringLiteral("Vitamina 1a"));
        row("vitamina, 10th a blank", QStringLiteral("VITAMINA  C"), QStringLiteral("Vitamina  c"));
        row("vitamina, 10th accented", QStringLiteral("VITAMINA ÉSTER"), QStringLiteral("Vitamina ester"));
        row("vitamina with an accent", QStringLiteral("VÍTAMINA E"), QStringLiteral("Vitamina e"));
        row("vitamina not first", QStringLiteral("X VITAMINA B"), QStringLiteral("X vitamina b"));
        row("outside the table", QStringLiteral("ÈTER ÄLFA åÖÿ"), QStringLiteral("Èter Älfa åÖÿ"));
        row("every letter of the table", QStringLiteral("XÀÁÂÃàáâãÇçÉÊéêÍíÑñÓÔÕóôõÚÛÜúûü"),
            QStringLiteral("X") + QStringLiteral("aaaaaaaa") + QStringLiteral("cc") + QStringLiteral("eeee")
                + QStringLiteral("ii") + QStringLiteral("nn") + QStringLiteral("oooooo") + QStringLiteral("uuuuuu"));
        row("digits and signs", QStringLiteral("123 + ABC-%/(Z)"), QStringLiteral("123 + abc-%/(z)"));
        row("caron letters keep their case", QStringLiteral("ŠŽ ŒA"), QStringLiteral("ŠŽ Œa"));
        row("control bytes", QString::fromLatin1("\x01\tA\x7f"), QString::fromLatin1("\x01\ta\x7f"));
    }
    void converte()
    {
        QFETCH(QString, entrada);
        QFETCH(QString, esperado);
        QCOMPARE(Converte_Codigo(entrada), esperado);
        QCOMPARE(Converte_Codigo(toCp1252(entrada)), toCp1252(esperado));
    }

    void brLowerCaseEveryByte()
    {
        QByteArray todos(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            todos[b] = static_cast<char>(b);
        const QByteArray resultado = BrLowerCase(todos);
        QCOMPARE(resultado.size(), 256);
        int trocados = 0;
        for (int b = 0; b < 256; ++b) {
            const QChar esperado = semAcento(byteChar(b));
            QCOMPARE(byteChar(static_cast<unsigned char>(resultado[b])), esperado);
            trocados += esperado != byteChar(b);
        }
        QCOMPARE(trocados, 30);
        QCOMPARE(BrLowerCase(QStringLiteral("È")), QStringLiteral("È"));
        QCOMPARE(BrLowerCase(QStringLiteral("ABC Ção")), QStringLiteral("ABC cao"));
    }

    // Every byte as the first character, and as the 10th after "vitamina".
    void converteEveryByteAtTheCapitalPlaces()
    {
        for (int b = 0; b < 256; ++b) {
            const QChar c = byteChar(b);
            const bool letra = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
            const QChar esperado = letra ? c.toUpper() : semAcento(c);
            QCOMPARE(Converte_Codigo(QString(c)), QString(esperado));
            QCOMPARE(Converte_Codigo(QStringLiteral("VITAMINA ") + c + QStringLiteral("Z")),
                     QStringLiteral("Vitamina ") + esperado + QStringLiteral("z"));
        }
    }

    void lengthKept()
    {
        QRandomGenerator rng(20261211);
        for (int i = 0; i < 2000; ++i) {
            QByteArray bytes(rng.bounded(0, 70), Qt::Uninitialized);
            for (char &c : bytes)
                c = static_cast<char>(rng.bounded(256));
            if (i % 3 == 0 && bytes.size() >= 8)
                bytes.replace(0, 8, "vItAmInA");
            const QByteArray r = Converte_Codigo(bytes);
            QCOMPARE(r.size(), bytes.size());
            QCOMPARE(BrLowerCase(bytes).size(), bytes.size());
            // Only A-Z change case; nothing but the table's characters loses an accent.
            for (qsizetype k = 0; k < bytes.size(); ++k) {
                const QChar antes = byteChar(static_cast<unsigned char>(bytes[k]));
                const QChar depois = byteChar(static_cast<unsigned char>(r[k]));
                QCOMPARE(asciiMinuscula(depois), asciiMinuscula(semAcento(antes)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestConverteCodigo)
#include "test_convertecodigo.moc"
