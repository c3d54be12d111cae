#pragma once
// The 8-bit texts of the family on a pharmacy database of any default
// character set (NONE, WIN1252, ISO8859_1, UTF8), for the tests of the
// embedded engine and of the server route.
//
//   TDM dm;                       // pointed at the database
//   const QString problem = textBytesRoundTrip(dm, QStringLiteral("UTF8"));
//   QVERIFY2(problem.isEmpty(), qPrintable(problem));

#include <QByteArray>
#include <QList>
#include <QString>

namespace velix {
class TDM;
}

namespace velix::test {

/// Every byte 0x20-0xFF, in texts that fit a DCB description (60 characters),
/// and one ordinary accented text.
QList<QByteArray> everyByteTexts();

/// The bytes a column of a database of default character set `charset` holds
/// for the Windows-1252 text `cp1252`: the same bytes, or their UTF-8 in UTF8.
QByteArray storedBytes(const QByteArray &cp1252, const QString &charset);

/// On the (empty) pharmacy database of `dm`, whose default character set is
/// `charset`: writes every byte through the cached datasets (DCB by key,
/// DADOSGER by all its old values), checks the stored bytes, reads back rows
/// stored as raw bytes by another program, finds rows by literals in statement
/// text, and checks that text Windows-1252 lacks and NUL are refused with
/// ConvertError and store nothing. Returns "" when all holds, else the first
/// thing that did not.
QString textBytesRoundTrip(TDM &dm, const QString &charset);

} // namespace velix::test
