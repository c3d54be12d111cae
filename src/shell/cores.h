#pragma once
// Colour values as the family's settings hold them: 0x00BBGGRR (blue, green
// and red bytes), or a system colour (its index in the low byte) when the top
// byte is 0xFF.

#include <QColor>

namespace velix {

/// The colour a settings value stands for; system colours come from the
/// application's palette.
QColor corDoValor(qint32 valor);

} // namespace velix
