#pragma once
// The user's workstation: the row of ESTACOES that names the user, the store's
// CNPJ and the station code under which the station's interface database lives.

#include "access/loginview.h"

#include <QString>

namespace velix {

/// Finds the workstation of NomeUsuario (case-insensitive) through DM().Estacoes;
/// sets EstacaoAtual, CNPJLoja, the window title and DM2's database; returns
/// the row's DATBASNAM, or "" when no workstation was found. Puts NomeUsuario
/// into the login panel's name field first. Shows the no-workstation and the
/// missing-CNPJ messages. Database errors reach the caller. ESTACOES is only read.
QString SelecionaEstacao(LoginView &view);

/// The window title of the chosen workstation.
QString tituloEstacao(const QString &nomeUsuario, const QString &estacao, const QString &cnpj);

/// The CNPJ punctuated as 00.000.000/0000-00; a shorter text leaves empty pieces.
QString cnpjPontuado(const QString &cnpj);

} // namespace velix
