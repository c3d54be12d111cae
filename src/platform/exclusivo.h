#pragma once
// The long commands that walk and change many rows (book preparation, capsule
// correction, DCB formatting) let the window process messages while they run,
// so the user could start another command in the middle of one. Only one of
// them runs at a time, and while one runs the window refuses every command
// that would disturb it (another long command, the book commands, the
// registration data, the login, closing the window) with a short message.
//
//   ComandoExclusivo exclusivo(QStringLiteral("a preparação do livro"));  // throws ComandoEmCurso
//   ... walk, calling ComandoExclusivo::verificaCancelamento() now and then ...
//
// Ending the program while a long command runs (a signal from the desktop
// session) asks it to stop: pedeCancelamento() makes its next
// verificaCancelamento() throw Cancelado, so the command rolls its work back
// and returns before the window closes.
//
// To be used from the main (user-interface) thread only.

#include "platform/errors.h"

#include <QString>

namespace velix {

/// A command refused because a long command is running.
class ComandoEmCurso : public Error {
public:
    explicit ComandoEmCurso(const QString &message) : Error(message, QStringLiteral("EComandoEmCurso")) {}
};

/// A long command stopped at the program's request (the program is ending).
class Cancelado : public Error {
public:
    Cancelado() : Error(QStringLiteral("Operação cancelada: o programa está sendo encerrado."), QStringLiteral("EAbort")) {}
};

class ComandoExclusivo {
public:
    /// Marks `descricao` ("a preparação do livro") as the running long
    /// command. Throws ComandoEmCurso when another one is running.
    explicit ComandoExclusivo(const QString &descricao);
    ~ComandoExclusivo();
    ComandoExclusivo(const ComandoExclusivo &) = delete;
    ComandoExclusivo &operator=(const ComandoExclusivo &) = delete;

    /// True while a long command runs.
    static bool ativo();
    /// The description of the running long command ("" when none).
    static QString emCurso();
    /// The message that refuses a command while a long command runs:
    /// "Aguarde: <descrição> está em andamento."
    static QString mensagemRecusa();
    /// Throws ComandoEmCurso with mensagemRecusa() while a long command runs.
    static void recusaSeAtivo();

    /// Asks the running long command to stop (nothing when none runs).
    static void pedeCancelamento();
    static bool cancelamentoPedido();
    /// Throws Cancelado when a stop was asked for.
    static void verificaCancelamento();

private:
    QString m_anterior;
};

} // namespace velix
