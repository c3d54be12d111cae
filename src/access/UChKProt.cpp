#include "access/UChKProt.h"
#include "platform/cp1252.h"

namespace velix {

QString CodificaTexto(const QByteArray &bytes)
{
    const qsizetype n = bytes.size();
    QString out;
    out.reserve(2 * n);
    // Output byte k (k = 0 .. n-1) is c_(n-k): the input byte at n-k-1 shifted
    // left by three, completed by the top three bits of the next byte (the
    // first byte for the last one, which closes the rotation).
    for (qsizetype k = n - 1; k >= 0; --k) {
        const unsigned b = static_cast<unsigned char>(bytes[k]);
        const unsigned next = static_cast<unsigned char>(bytes[(k + 1) % n]);
        const unsigned c = (b * 8 + next / 32) % 256;
        out += QChar(u'A' + (c >> 4));
        out += QChar(u'A' + (c & 0x0F));
    }
    return out;
}

QString CodificaTexto(const QString &text)
{
    return CodificaTexto(toCp1252(text));
}

} // namespace velix
