#pragma once
// The uniform form of the DCB descriptions (DCB.DESCRICAO, the Brazilian common
// names of the substances), as the printed book shows them. Both routines work
// on single Windows-1252 bytes and keep the length of the text.
//
// BrLowerCase: these 30 characters become a plain small letter; every other
// byte, A-Z included, stays as it is (È, Ä, Å, Ë, Ì, Î, Ï, Ò, Ö, Ù, Ý and their
// small forms too):
//   À Á Â Ã à á â ã (C0-C3, E0-E3) -> a     Ñ ñ (D1, F1)                   -> n
//   Ç ç (C7, E7)                   -> c     Ó Ô Õ ó ô õ (D3-D5, F3-F5)     -> o
//   É Ê é ê (C9, CA, E9, EA)       -> e     Ú Û Ü ú û ü (DA-DC, FA-FC)     -> u
//   Í í (CD, ED)                   -> i
//
// Converte_Codigo, in this order:
//   1. every capital A-Z becomes its small letter (no other byte changes case);
//   2. the first character becomes a capital when it is a-z;
//   3. when the first 8 characters, with A-Z read as small letters, are
//      "vitamina", the 10th character becomes a capital when it is a-z (a text
//      of 9 characters or fewer is left alone by this step);
//   4. BrLowerCase.
// The accents go last, so an accented first letter ends small and plain:
//   FLUOXETINA -> Fluoxetina        VITAMINA B1 + B6 -> Vitamina B1 + b6
//   ÁCIDO ASCÓRBICO -> acido ascorbico, and that again -> Acido ascorbico

#include <QByteArray>
#include <QString>

namespace velix {

QByteArray BrLowerCase(const QByteArray &s);
QByteArray Converte_Codigo(const QByteArray &s);

/// The same on texts as the program holds them (decoded from Windows-1252).
QString BrLowerCase(const QString &s);
QString Converte_Codigo(const QString &s);

} // namespace velix
