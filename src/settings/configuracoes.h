#pragma once
// The product family's shared settings file KORVANTE.INI, in the program's own
// folder (or the user's configuration folder, see arquivoConfiguracoes()). Read once, while the main window is being created, before either
// database module exists.
//
// The file is 8-bit text (Windows-1252), one setting per line, lines ending in
// CR LF or LF. Columns 1-48 hold the label (words filled up with points, a
// colon in column 48), column 49 is a separator, columns 50-109 the value.
//
// To be used from the main (user-interface) thread only.

#include "platform/errors.h"

#include <QString>
#include <QStringList>

namespace velix {

/// Address of the central database server, at most 60 characters; empty when
/// the file has no line for it (the database paths then have no host part).
inline QString IPServidorCentral;
/// Background colour of the windows: 0x00BBGGRR, or a system colour when the
/// top byte is 0xFF. 0 (black) when the file has no line for it.
inline qint32 CorFundoTelas = 0;
/// Order of the printed book: "DATA" (any case) orders it by date, anything
/// else by DCB, date and notification number.
inline QString OrdemVelix6;

/// The 135 labels this program recognises, in the order the reader tests them.
const QStringList &rotulosConfiguracao();

/// The value last read for a recognised label, as stored (trimmed and cut to
/// the label's width; the colour as its decimal text); empty when the file had
/// no line for it or the label is not recognised.
QString valorConfiguracao(const QString &rotulo);

/// The settings file: the program's folder followed by "KORVANTE.INI". When
/// nothing of that name stands there but one stands in the user's
/// configuration folder (userConfigDir(), for an installed program whose
/// folder the user cannot write), that one. Anything named KORVANTE.INI beside
/// the executable, a folder included, is the settings file, so that a wrong
/// one is reported rather than passed over.
QString arquivoConfiguracoes();

/// The settings file does not exist. The window's creation shows message() and
/// ends the program before any window is shown.
class ArquivoConfiguracoesAusente : public Error {
public:
    ArquivoConfiguracoesAusente();
};

/// Reads the settings file into IPServidorCentral, CorFundoTelas, OrdemVelix6
/// and the other recognised settings; every setting starts at its initial
/// value. Throws ArquivoConfiguracoesAusente when the file does not exist,
/// FileError when it cannot be read and ConvertError for a colour that is not
/// an integer; reading stops there and the settings of later lines keep their
/// initial values.
void LeConfiguracoes();

/// A whole text as a signed 32-bit integer: optional sign, then decimal
/// digits, or hexadecimal digits after "$" or "0x" (up to eight of them, so
/// "$FF00000F" is a negative value). Anything else, the empty text included,
/// throws ConvertError "'<text>' is not a valid integer value".
qint32 StrToInt(const QString &text);

} // namespace velix
