#include "platform/cp1252.h"
#include "platform/errors.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace velix {
namespace {

bool undefinedByte(unsigned char b)
{
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

} // namespace

QString fromCp1252(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        const bool end = i == bytes.size();
        if (end || undefinedByte(static_cast<unsigned char>(bytes[i]))) {
            if (i > start)
                out += decoder.decode(bytes.sliced(start, i - start));
            if (!end)
                out += QChar(static_cast<unsigned char>(bytes[i]));
            start = i + 1;
        }
    }
    return out;
}

QByteArray toCp1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    QStringEncoder encoder("windows-1252", QStringEncoder::Flag::Stateless);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        if (end || (text[i].unicode() < 0x100 && undefinedByte(static_cast<unsigned char>(text[i].unicode())))) {
            if (i > start) {
                QByteArray part = encoder.encode(QStringView(text).sliced(start, i - start));
                out += part;
            }
            if (!end)
                out += static_cast<char>(text[i].unicode());
            start = i + 1;
        }
    }
    return out;
}

unsigned char cp1252Code(QChar c)
{
    const QByteArray b = toCp1252(QString(c));
    return b.isEmpty() ? '?' : static_cast<unsigned char>(b[0]);
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
