#pragma once
// Values pasted into SQL text.
//
// Statements are built as text, with values between single quotes:
//     "... where LOJA = '" + sqlQuote(Loja) + "'"
// Every statement builder passes each quoted value through sqlQuote, so that an
// apostrophe inside a value can neither break the statement nor change it.

#include <QString>

namespace velix {

/// The value with every apostrophe doubled, WITHOUT surrounding quotes.
/// "D'Ávila" gives "D''Ávila"; a value without apostrophes is returned unchanged.
/// A value that no statement can carry throws ConvertError: one holding a NUL
/// character (it would end the statement's text inside the literal) or a
/// character Windows-1252 lacks.
QString sqlQuote(const QString &value);

} // namespace velix
