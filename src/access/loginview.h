#pragma once
// What the login check and the workstation selection need of the main window:
// the login panel's two fields, focus, the panel's switch to the work area,
// the window's title and closing it. The main window implements it; tests use
// a plain object.

#include <QString>

namespace velix {

class LoginView {
public:
    virtual ~LoginView() = default;

    virtual QString nome() const = 0;              ///< text of EditNome
    virtual void setNome(const QString &text) = 0;
    virtual QString senha() const = 0;             ///< text of EditSenhaU
    virtual void focusNome() = 0;
    virtual void focusSenha() = 0;

    /// A successful check: hide PainelLogin, empty EditNome and EditSenhaU,
    /// take the Escape role from BotCancSenha, show PainelRelatorios.
    virtual void loginAccepted() = 0;

    virtual void setTitle(const QString &title) = 0;   ///< the main window's caption
    virtual void closeMainWindow() = 0;                ///< ends the program
};

} // namespace velix
