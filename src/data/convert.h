#pragma once
// Conversions between column values, shared by the fields of the cached
// datasets and the connection's parameters. Internal to src/data.

#include "data/tabelas.h"
#include "data/value.h"

namespace velix::detail {

/// `value` as a value of a column of `type` (text cut to `size` characters,
/// decimals at `scale`). A null stays null; an empty text into a non-text
/// column gives null. Throws ConvertError when the value does not convert.
Value convertTo(const Value &value, FieldType type, int size, int scale);

/// `value` as a value of `type` for a field reader (asInteger, asDate, ...):
/// like convertTo, except that a text that is empty or only blanks is not a
/// number, date or time and throws ConvertError ("'' is not a valid integer
/// value"). A null gives null; any other result is never null.
Value readAs(const Value &value, FieldType type, int scale);

/// Throws ConvertError unless `text` can be stored: Windows-1252 text (every
/// character in the code page) without NUL.
void checkStorableText(const QString &text);

/// `text` as the Windows-1252 bytes stored for it (checkStorableText first).
QByteArray storableBytes(const QString &text);

/// The text form of a value (the rules of Field::asString).
QString displayText(const Value &value);

/// A number, date or text as the shortest decimal text with ',' as separator.
QString formatFloat(double value);

} // namespace velix::detail
