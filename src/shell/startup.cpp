#include "shell/startup.h"

#include "shell/application.h"
#include "shell/formrelatadministrativo.h"
#include "shell/widgetmodal.h"
#include "data/udm.h"
#include "data/udm2.h"
#include "report/uRM.h"
#include "platform/exclusivo.h"
#include "platform/sinais.h"
#include "settings/configuracoes.h"

#include <QDialog>
#include <QThread>
#include <QTimer>

namespace velix {

Programa::Programa()
{
    TituloAplicacao = QStringLiteral("VELIX6 - Relação Mensal de Notificações de Receita \"B2\"");

    // Watched from the start: creating the window may already wait on a
    // message box (no settings file).
    m_sinais = std::make_unique<SinaisDeEncerramento>();
    QObject::connect(m_sinais.get(), &SinaisDeEncerramento::recebido, m_sinais.get(), [this] { encerraPorSinal(); });

    m_janela = std::make_unique<TFormRelatAdministrativo>();
    if (m_encerrandoPorSinal || m_janela->encerrarPrograma()) {
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
    m_sinais.reset();
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

void Programa::encerraPorSinal()
{
    if (m_encerrandoPorSinal)
        return;
    m_encerrandoPorSinal = true;
    if (auto *dialogos = dynamic_cast<WidgetModal *>(&modal()))
        dialogos->encerrando();
    ComandoExclusivo::pedeCancelamento();
    if (!m_janela) {
        // The window is still being created: close its message box; the
        // constructor sees m_encerrandoPorSinal.
        if (QWidget *m = QApplication::activeModalWidget()) {
            if (auto *d = qobject_cast<QDialog *>(m))
                d->reject();
            else
                m->close();
        }
        return;
    }
    if (tentaEncerrar())
        return;
    // Something still runs (a long command rolling back, a report being laid
    // out, a modal dialog's loop still unwinding): try again shortly.
    auto *tentativas = new QTimer(m_janela.get());
    QObject::connect(tentativas, &QTimer::timeout, m_janela.get(), [this, tentativas] {
        if (tentaEncerrar())
            tentativas->stop();
    });
    tentativas->start(50);
}

bool Programa::tentaEncerrar()
{
    // The innermost modal window first: message boxes, dialogs, the preview.
    QWidget *anterior = nullptr;
    while (QWidget *m = QApplication::activeModalWidget()) {
        if (m == anterior)
            break;
        anterior = m;
        if (auto *d = qobject_cast<QDialog *>(m))
            d->reject();
        else
            m->close();
    }
    // Close the window only from the main event loop, once every modal loop has
    // returned and neither a long command nor a report is running.
    if (QThread::currentThread()->loopLevel() > 1 || QApplication::activeModalWidget() || ComandoExclusivo::ativo()
        || (RM && RM->rvsystm1.generating()))
        return false;
    if (m_janela->isVisible())
        m_janela->close();
    return !m_janela->isVisible();
}

} // namespace velix
