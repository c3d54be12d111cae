#include "platform/cp1252.h"
#include "platform/errors.h"

#include <QFile>
#include <QSaveFile>

#include <array>

namespace velix {
namespace {

// The characters of bytes 80-9F; the undefined ones keep their own number.
constexpr std::array<char16_t, 32> high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,   // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,   // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,   // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,   // 98-9F
};

// The byte of a character, or -1 when the code page lacks it.
int byteOf(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    for (int i = 0; i < int(high.size()); ++i)
        if (high[size_t(i)] == c)
            return 0x80 + i;
    return -1;
}

// Walks the characters of `text` (a surrogate pair is one character, a lone
// surrogate one character that no code page has), calling f(codePoint, byte)
// with byte -1 for a character outside the code page.
template <class F>
void forEachCharacter(const QString &text, F &&f)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            f(char32_t(u), int(u));
            continue;
        }
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            f(QChar::surrogateToUcs4(u, text[i + 1].unicode()), -1);
            ++i;
            continue;
        }
        f(char32_t(u), QChar::isSurrogate(u) ? -1 : byteOf(u));
    }
}

} // namespace

bool inCp1252(char32_t codePoint)
{
    return codePoint <= 0xFFFF && !QChar::isSurrogate(codePoint) && byteOf(codePoint) >= 0;
}

QString fromCp1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *p = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        p[i] = QChar(b >= 0x80 && b < 0xA0 ? high[b - 0x80] : char16_t(b));
    }
    return out;
}

QByteArray toCp1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    forEachCharacter(text, [&](char32_t, int b) { out += b < 0 ? '?' : char(b); });
    return out;
}

QByteArray toCp1252Exact(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    forEachCharacter(text, [&](char32_t c, int b) {
        if (b < 0) {
            const QString shown = QChar::isSurrogate(c) ? QString() : QStringLiteral(" (%1)").arg(QString::fromUcs4(&c, 1));
            const QString code = QStringLiteral("%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
            throw ConvertError(QStringLiteral("The text holds the character U+%1%2, which Windows-1252 does not have; "
                                              "it cannot be stored")
                                   .arg(code, shown));
        }
        out += char(b);
    });
    return out;
}

bool isCp1252(const QString &text)
{
    bool ok = true;
    forEachCharacter(text, [&](char32_t, int b) { ok = ok && b >= 0; });
    return ok;
}

unsigned char cp1252Code(QChar c)
{
    const int b = c.isSurrogate() ? -1 : byteOf(c.unicode());
    return b < 0 ? '?' : static_cast<unsigned char>(b);
}

QString readCp1252File(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Cannot open file \"%1\": %2").arg(path, f.errorString()));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Cannot read file \"%1\": %2").arg(path, f.errorString()));
    return fromCp1252(bytes);
}

void writeCp1252File(const QString &path, const QString &text)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(toCp1252(text)) < 0 || !f.commit())
        throw FileError(QStringLiteral("Cannot write file \"%1\": %2").arg(path, f.errorString()));
}

} // namespace velix
