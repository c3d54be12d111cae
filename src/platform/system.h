#pragma once
// Stand-ins for what the program asks of the operating system.

#include <QString>

namespace velix {

/// The logon name of the user running the program, at most 49 characters;
/// the empty text when it cannot be read.
QString NomeUsuarioWindows();

/// The program's own file version as four numbers, "major.minor.release.build".
QString programFileVersion();

} // namespace velix
