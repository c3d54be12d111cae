#include "shell/startup.h"

#include "shell/application.h"
#include "shell/formrelatadministrativo.h"

namespace velix {

Programa::Programa()
{
    TituloAplicacao = QStringLiteral("VELIX6 - Relação Mensal de Notificações de Receita \"B2\"");

    m_janela = std::make_unique<TFormRelatAdministrativo>();
    if (m_janela->encerrarPrograma()) {
        m_encerrado = true;
        return;
    }
    // TODO(report module): create the report module RM here.
    // TODO(data modules): then create DM, then DM2; both start disconnected.
}

Programa::~Programa()
{
    // TODO(data modules, report module): destroy DM2, DM and RM here, before the window.
    m_janela.reset();
}

int Programa::executa()
{
    if (m_encerrado)
        return 0;
    m_janela->show();
    // The main window starts as the active window, also where no window
    // manager activates it; its first activation shows the login panel.
    m_janela->raise();
    m_janela->activateWindow();
    return QApplication::exec();
}

} // namespace velix
