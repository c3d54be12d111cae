#pragma once
// The family's texts are 8-bit, code page Windows-1252: in the database, in the
// program's text files and in the settings file. These helpers convert between
// those bytes and QString. Every byte 0-255 round-trips: the five bytes the
// code page leaves undefined (81, 8D, 8F, 90, 9D) map to the control
// characters of the same number, as Windows itself maps them.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velix {

QString fromCp1252(QByteArrayView bytes);
QByteArray toCp1252(const QString &text);

/// The 8-bit code of one character (0-255); characters outside the code page give '?'.
unsigned char cp1252Code(QChar c);

/// Reads a whole text file as Windows-1252; throws FileError when it cannot be read.
QString readCp1252File(const QString &path);

/// Writes a text file as Windows-1252, replacing it; throws FileError on failure.
void writeCp1252File(const QString &path, const QString &text);

} // namespace velix
