#pragma once
// The login check of the login panel.

#include "access/loginview.h"

#include <QString>

namespace velix {

/// Checks the name and password typed in the login panel against USUARIOS
/// (both upper-cased and encoded with CodificaTexto) and the user's access to
/// this program. On failure shows the message, moves the focus and returns
/// false; the panel stays up. On success hides the panel, selects the
/// workstation and opens the pharmacy's registration data (DM().DadosGer); with
/// no usable workstation the main window is closed. Database errors reach the
/// caller. USUARIOS is only read.
bool ValidaUsuario(LoginView &view);

/// The folder "LOG" beside the executable (in the user's data folder when the
/// program's folder is not writable, see programWriteDir()), created when
/// missing (failures are ignored); returns the name of the day's log file LOG/LOGmmdd.TXT in it.
QString preparaArquivoLog();

} // namespace velix
