#pragma once
// Values to and from Firebird's message buffers, for the statements of
// firebird.cpp: where each parameter or result column sits in the buffer, and
// the conversion of its value (texts in the column's own character set, see
// "Texts" in firebird.h; blobs read and written whole). Internal to src/data.

#include "data/fbapi.h"
#include "data/tabelas.h"
#include "data/value.h"

namespace velix::detail {

/// One column of a message: its type (nullable bit cleared), sub-type,
/// character set (low byte), length in bytes, scale, and where its value and
/// its null flag sit in the buffer.
struct ColumnInfo {
    unsigned type;
    int subType;
    unsigned charSet;
    unsigned length;
    int scale;
    unsigned offset;
    unsigned nullOffset;
};

/// Column `i` of `meta`.
ColumnInfo columnInfo(Status &st, Firebird::IMessageMetadata *meta, unsigned i);

/// The kind of field a column holds: CHAR FixedText, VARCHAR Text, a scaled
/// SMALLINT / INTEGER and every BIGINT Decimal, BOOLEAN Integer, ...
FieldType fieldTypeOf(const ColumnInfo &c);

/// The bytes the server gives each character of a column's length: 4 in UTF8,
/// 3 in UNICODE_FSS, 1 in every other character set.
int bytesPerChar(unsigned charSet);

/// The value of column `c` in the message `buf` (null when its null flag is
/// set); a blob is read whole in `tra`. `dbUtf8`: the database's default
/// character set is UTF8 or UNICODE_FSS.
Value readValue(FbApi &api, Firebird::IAttachment *att, Firebird::ITransaction *tra, const ColumnInfo &c,
                const unsigned char *buf, bool dbUtf8);

/// Writes `value`, converted to the column's type, as parameter `index`
/// (0-based) of the message `buf`; a blob is created in `tra`. Throws
/// ConvertError when the value does not convert, DatabaseError when it does not
/// fit the column (text longer than the column once trailing blanks are cut,
/// a number out of range).
void writeValue(FbApi &api, Firebird::IAttachment *att, Firebird::ITransaction *tra, const ColumnInfo &c,
                unsigned char *buf, const Value &value, unsigned index, bool dbUtf8);

} // namespace velix::detail
