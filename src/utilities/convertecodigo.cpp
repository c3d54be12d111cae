#include "utilities/convertecodigo.h"
#include "platform/cp1252.h"

#include <array>

namespace velix {
namespace {

constexpr std::array<unsigned char, 256> tabelaAcentos()
{
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[size_t(b)] = static_cast<unsigned char>(b);
    const auto plana = [&t](std::initializer_list<int> bytes, char letra) {
        for (int b : bytes)
            t[size_t(b)] = static_cast<unsigned char>(letra);
    };
    plana({0xC0, 0xC1, 0xC2, 0xC3, 0xE0, 0xE1, 0xE2, 0xE3}, 'a');
    plana({0xC7, 0xE7}, 'c');
    plana({0xC9, 0xCA, 0xE9, 0xEA}, 'e');
    plana({0xCD, 0xED}, 'i');
    plana({0xD1, 0xF1}, 'n');
    plana({0xD3, 0xD4, 0xD5, 0xF3, 0xF4, 0xF5}, 'o');
    plana({0xDA, 0xDB, 0xDC, 0xFA, 0xFB, 0xFC}, 'u');
    return t;
}

constexpr std::array<unsigned char, 256> acentos = tabelaAcentos();

bool maiuscula(char c) { return c >= 'A' && c <= 'Z'; }
bool minuscula(char c) { return c >= 'a' && c <= 'z'; }
char paraMinuscula(char c) { return maiuscula(c) ? char(c - 'A' + 'a') : c; }
char paraMaiuscula(char c) { return minuscula(c) ? char(c - 'a' + 'A') : c; }

} // namespace

QByteArray BrLowerCase(const QByteArray &s)
{
    QByteArray r(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i)
        r[i] = static_cast<char>(acentos[static_cast<unsigned char>(s[i])]);
    return r;
}

QByteArray Converte_Codigo(const QByteArray &s)
{
    QByteArray r(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i)
        r[i] = paraMinuscula(s[i]);
    if (!r.isEmpty())
        r[0] = paraMaiuscula(r[0]);
    if (r.size() >= 10) {
        bool vitamina = true;
        for (int i = 0; i < 8 && vitamina; ++i)
            vitamina = paraMinuscula(r[i]) == "vitamina"[i];
        if (vitamina)
            r[9] = paraMaiuscula(r[9]);
    }
    return BrLowerCase(r);
}

QString BrLowerCase(const QString &s)
{
    return fromCp1252(BrLowerCase(toCp1252(s)));
}

QString Converte_Codigo(const QString &s)
{
    return fromCp1252(Converte_Codigo(toCp1252(s)));
}

} // namespace velix
