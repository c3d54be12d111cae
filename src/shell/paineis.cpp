// The main window's panels as the commands see them: the progress panel,
// Memo1 and the inconsistency panel for the book commands, and the
// registration-data panel with its fields.

#include "shell/formrelatadministrativo.h"

#include "platform/programa.h"
#include "settings/configuracoes.h"
#include "shell/ligacaocampo.h"
#include "shell/termometro.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace velix {

// The panels as the book commands see them

void TFormRelatAdministrativo::posicionaTermometro(const QRect &geometria)
{
    PainelTermometro->setGeometry(geometria);
}

QRect TFormRelatAdministrativo::geometriaTermometro() const
{
    return PainelTermometro->geometry();
}

void TFormRelatAdministrativo::mostraTermometro()
{
    PainelTermometro->show();
    PainelTermometro->raise();
}

void TFormRelatAdministrativo::escondeTermometro()
{
    PainelTermometro->hide();
}

void TFormRelatAdministrativo::setMinimoTermometro(int valor)
{
    Termometro->setMinValue(valor);
}

void TFormRelatAdministrativo::setMaximoTermometro(int valor)
{
    Termometro->setMaxValue(valor);
}

void TFormRelatAdministrativo::setProgressoTermometro(int valor)
{
    Termometro->setProgress(valor);
}

void TFormRelatAdministrativo::setLegendaTermometro(const QString &texto)
{
    Label1->setText(texto);
}

void TFormRelatAdministrativo::repintaTermometro()
{
    PainelTermometro->repaint();
}

void TFormRelatAdministrativo::processaMensagens()
{
    QCoreApplication::processEvents();
}

void TFormRelatAdministrativo::setMemo1(const QString &texto)
{
    Memo1->setPlainText(texto);
}

QString TFormRelatAdministrativo::memo1() const
{
    return Memo1->toPlainText();
}

void TFormRelatAdministrativo::mostraInconsistencias(const QString &texto)
{
    mmo1->setPlainText(texto);
    pnl1->setGeometry(141, 15, 537, 442);
    pnl1->show();
    pnl1->raise();
    mmo1->setFocus(Qt::OtherFocusReason);
}

QString TFormRelatAdministrativo::ordemVelix6() const
{
    return OrdemVelix6;
}

// Registration-data panel

void TFormRelatAdministrativo::actConfCadExecute()
{
    ligaPainelConfigLivro();
    m_cadastro.actConfCadExecute();
}

void TFormRelatAdministrativo::BitBtn36Click()
{
    m_cadastro.BitBtn36Click();
}

void TFormRelatAdministrativo::DBEdit31KeyPress()
{
    // Enter moves on to the next field.
    focusNextChild();
}

void TFormRelatAdministrativo::DBComboBox1KeyPress()
{
    focusNextChild();
}

void TFormRelatAdministrativo::DBEdit3KeyPress()
{
    focusNextChild();
}

void TFormRelatAdministrativo::mostraPainel()
{
    PainelConfigLivro->setGeometry(132, 112, 501, 321);
    PainelConfigLivro->show();
    PainelConfigLivro->raise();
    if (m_botaoCancelar != BitBtn36) {
        m_cancelarAntesDoCadastro = m_botaoCancelar;
        setBotaoCancelar(BitBtn36);
    }
}

void TFormRelatAdministrativo::escondePainel()
{
    PainelConfigLivro->hide();
    if (m_botaoCancelar == BitBtn36)
        setBotaoCancelar(m_cancelarAntesDoCadastro);
    m_cancelarAntesDoCadastro = nullptr;
}

void TFormRelatAdministrativo::focaCampo(const QString &coluna)
{
    QWidget *campo = coluna == QLatin1String("CGC") ? static_cast<QWidget *>(DBEdit3) : DBEdit1;
    for (LigacaoCampo *l : PainelConfigLivro->findChildren<LigacaoCampo *>())
        if (l->coluna() == coluna)
            campo = l->controle();
    if (campo->isVisible() && campo->isEnabled())
        campo->setFocus(Qt::OtherFocusReason);
}

} // namespace velix
