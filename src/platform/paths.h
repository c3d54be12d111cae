#pragma once
// Where the program's files live.
//
// The family keeps its files under one root folder (C:\KORVANTE on Windows):
// the client-library file, the databases, the report definition file, the
// error report and the order-selection trace. Here the root folder is the
// environment variable KORVANTE_DIR when it is set, else C:\KORVANTE on
// Windows and ~/korvante elsewhere.
//
// The settings file KORVANTE.INI and the LOG folder sit in the program's own
// folder: the folder of the executable. An installed program's folder is not
// writable by the user who runs it: the LOG folder then goes to the user's
// data folder (~/.local/share/korvante/) and KORVANTE.INI, when none stands
// beside the executable, is read from the user's configuration folder
// (~/.config/korvante/). A build in a checkout, whose folder is writable,
// keeps everything beside the executable.

#include <QString>

namespace velix {

/// The root folder, without a trailing separator.
QString rootDir();

/// A file or folder under the root folder; `relative` uses '/' (for example
/// "dados/korvante.bd" or "RPT/VELIX6.rav").
QString rootPath(const QString &relative);

/// The folder of the running executable, with a trailing '/'.
/// setProgramDir() replaces it (an embedding program or a test running the
/// window's code from another folder); an empty text restores the default.
QString programDir();
void setProgramDir(const QString &dir);

/// The folder for files the program writes beside itself (the LOG folder), with
/// a trailing '/': programDir() when the user may create files there, else
/// the user's data folder userDataDir().
QString programWriteDir();

/// The user's folders of the family, with a trailing '/': data
/// ($XDG_DATA_HOME or ~/.local/share, then "korvante/") and configuration
/// ($XDG_CONFIG_HOME or ~/.config, then "korvante/"). Not created here.
QString userDataDir();
QString userConfigDir();

} // namespace velix
