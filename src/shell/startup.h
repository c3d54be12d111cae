#pragma once
// The program from start to end: the application title, the program's objects
// in their creation order, the event loop, and their destruction.

#include <memory>

namespace velix {

class TFormRelatAdministrativo;
class TDM;
class RMInstance;
class TDM2;
class SinaisDeEncerramento;

class Programa {
public:
    /// Sets the application title, starts watching SIGTERM and SIGINT, and
    /// creates the main window (which reads the settings file), then the other
    /// modules, in that order. A signal while the window's creation waits on
    /// a message box closes the box and the program ends (encerrado()).
    Programa();
    /// Destroys the objects in the reverse order of their creation.
    ~Programa();

    Programa(const Programa &) = delete;
    Programa &operator=(const Programa &) = delete;

    /// The settings file was missing (its message has been shown) or a
    /// signal came while the window was created: nothing else is created and
    /// the program ends without showing a window.
    bool encerrado() const { return m_encerrado; }

    /// Shows the main window and runs the event loop until it closes. SIGTERM
    /// and SIGINT (blocked beforehand, see platform/sinais.h) end it like
    /// "Sair" (see encerraPorSinal()).
    int executa();

    /// A signal asked the program to end: it ends as "Sair" ends it, closing
    /// the window. Nothing modal is shown from now on; open message boxes,
    /// dialogs and the preview are closed; a long command running is asked
    /// to stop, and the window closes once it has rolled back and returned.
    void encerraPorSinal();

    TFormRelatAdministrativo *janela() const { return m_janela.get(); }

private:
    /// Closes what is modal and, when nothing runs any more, the window;
    /// true when the window is closed.
    bool tentaEncerrar();

    std::unique_ptr<SinaisDeEncerramento> m_sinais;
    std::unique_ptr<TFormRelatAdministrativo> m_janela;
    std::unique_ptr<RMInstance> m_rm;
    std::unique_ptr<TDM> m_dm;
    std::unique_ptr<TDM2> m_dm2;
    bool m_encerrado = false;
    bool m_encerrandoPorSinal = false;
};

} // namespace velix
