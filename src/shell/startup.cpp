#include "shell/startup.h"

#include "shell/application.h"
#include "shell/formrelatadministrativo.h"
#include "data/udm.h"
#include "data/udm2.h"
#include "report/uRM.h"
#include "settings/configuracoes.h"

namespace velix {

Programa::Programa()
{
    TituloAplicacao = QStringLiteral("VELIX6 - Relação Mensal de Notificações de Receita \"B2\"");

    m_janela = std::make_unique<TFormRelatAdministrativo>();
    if (m_janela->encerrarPrograma()) {
        m_encerrado = true;
        return;
    }
    m_rm = std::make_unique<RMInstance>();
    // The data modules, both disconnected: DM connects at the login, DM2 at
    // the first book preparation.
    m_dm = std::make_unique<TDM>(IPServidorCentral);
    m_dm2 = std::make_unique<TDM2>(IPServidorCentral);
}

Programa::~Programa()
{
    m_dm2.reset();
    m_dm.reset();
    m_rm.reset();
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
