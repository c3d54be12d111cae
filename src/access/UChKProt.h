#pragma once
// The family's encoding of user names and passwords, as stored in
// USUARIOS.USUARIO and USUARIOS.SENHA by the family's other programs.
// A text of n characters (Windows-1252 codes 0-255) becomes 2n letters "A"-"P":
// the bits of the whole text rotated left by three, the bytes taken in reverse
// order, each written as two letters (high half first). Nothing ever decodes.

#include <QByteArray>
#include <QString>

namespace velix {

/// Encodes the 8-bit codes of `text`; case is kept, callers upper-case first.
QString CodificaTexto(const QString &text);

/// The same on raw Windows-1252 bytes.
QString CodificaTexto(const QByteArray &bytes);

} // namespace velix
