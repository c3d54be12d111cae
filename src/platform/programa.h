#pragma once
// Program-wide values shared by the subsystems. Each is set by one subsystem
// and read by others; the comments say who sets it.
//
// To be used from the main (user-interface) thread only.

#include <QString>

namespace velix {

/// The user's name, at most 60 characters: the logon name at first activation,
/// the typed name in upper case after a successful login.
inline QString NomeUsuario;
/// The first 20 characters of the logged-in user's ACESSO value.
inline QString AcessoUsuario;
/// The CNPJ (digits only, at most 14) of the pharmacy of the user's workstation;
/// empty until the workstation selection sets it.
inline QString CNPJLoja;
/// The workstation code, at most 2 characters; empty until a workstation is chosen.
inline QString EstacaoAtual;
/// The name of the day's log file, set by the login check.
inline QString ArquivoLog;

/// Cuts a text to its first `width` characters (the program's fixed capacities).
inline QString cut(const QString &text, qsizetype width) { return text.left(width); }

/// Upper case of the letters a to z only; every other character stays.
QString upperAZ(const QString &text);

} // namespace velix
