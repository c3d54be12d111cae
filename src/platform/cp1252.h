#pragma once
// The family's texts are 8-bit, code page Windows-1252: in the database, in the
// program's text files and in the settings file. These helpers convert between
// those bytes and QString.
//
// Every byte 0-255 decodes to one character and encodes back to the same byte:
// bytes 00-7F and A0-FF are the characters of the same number, 80-9F the
// characters Windows-1252 puts there (80 is "€", 96 is "–", 93 is "“", ...),
// and the five bytes the code page leaves undefined (81, 8D, 8F, 90, 9D) map
// to the control characters of the same number, as Windows itself maps them.
//
// A character outside the code page (any other character: "→", U+200B, the
// C1 controls other than those five, a character beyond U+FFFF, a lone
// surrogate) has no byte. toCp1252() and cp1252Code() write it as one '?'
// each; toCp1252Exact() refuses it. Text that is stored anywhere goes through
// toCp1252Exact(), so that such a character is never stored as another one.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velix {

QString fromCp1252(QByteArrayView bytes);

/// One byte per character; a character outside the code page gives '?'.
QByteArray toCp1252(const QString &text);

/// One byte per character; throws ConvertError naming the first character
/// outside the code page ("... the character U+2192 (→), which Windows-1252
/// does not have").
QByteArray toCp1252Exact(const QString &text);

/// True when every character of `text` is in the code page.
bool isCp1252(const QString &text);

/// True when the character (a code point) is in the code page.
bool inCp1252(char32_t codePoint);

/// The 8-bit code of one character (0-255); characters outside the code page give '?'.
unsigned char cp1252Code(QChar c);

/// Reads a whole text file as Windows-1252; throws FileError when it cannot be read.
QString readCp1252File(const QString &path);

/// Writes a text file as Windows-1252, replacing it; throws FileError on failure.
void writeCp1252File(const QString &path, const QString &text);

} // namespace velix
