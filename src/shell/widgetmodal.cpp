#include "shell/widgetmodal.h"

#include "report/reportdialogs.h"
#include "shell/application.h"
#include "shell/formrelatadministrativo.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

namespace velix {

QWidget *WidgetModal::owner()
{
    if (QWidget *w = QApplication::activeWindow())
        return w;
    // Before the main window is shown (start-up messages) the box stands alone.
    if (FormRelatAdministrativo && FormRelatAdministrativo->isVisible())
        return FormRelatAdministrativo;
    return nullptr;
}

void WidgetModal::showMessage(const QString &text, MessageIcon icon)
{
    if (m_encerrando)
        return;
    QMessageBox::Icon i = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::None: break;
    case MessageIcon::Information: i = QMessageBox::Information; break;
    case MessageIcon::Warning: i = QMessageBox::Warning; break;
    case MessageIcon::Critical: i = QMessageBox::Critical; break;
    }
    QMessageBox box(i, TituloAplicacao, text, QMessageBox::Ok, owner());
    box.exec();
}

void WidgetModal::showNotice(const QString &text)
{
    if (m_encerrando)
        return;
    if (!m_aviso) {
        m_aviso = new QMessageBox(QMessageBox::Information, TituloAplicacao, text, QMessageBox::Ok, owner());
        m_aviso->setAttribute(Qt::WA_DeleteOnClose);
        m_aviso->setWindowModality(Qt::NonModal);
    }
    m_aviso->setText(text);
    m_aviso->show();
    m_aviso->raise();
}

void WidgetModal::showError(const ErrorReport &report)
{
    if (m_encerrando)
        return;
    QMessageBox box(QMessageBox::Critical, TituloAplicacao, report.message, QMessageBox::Ok, owner());
    box.setInformativeText(QStringLiteral("Tipo do erro: ") + report.kind + QStringLiteral("\nOcorrido em: ")
                           + report.where);
    box.exec();
}

void WidgetModal::showPreview(const ReportDocument &document, const PrinterChoice &printer)
{
    if (m_encerrando)
        return;
    execReportPreview(document, printer, owner());
}

bool WidgetModal::printerSetup(PrinterChoice &printer)
{
    if (m_encerrando)
        return false;
    return execPrinterSetup(printer, owner());
}

void WidgetModal::showStatus(const QString &title, const QString &text)
{
    if (!m_status) {
        // A small tool window over the working window, without a close box:
        // it goes away by itself when the work is done.
        auto *janela = new QWidget(owner(), Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
        janela->setObjectName(QStringLiteral("ReportStatus"));
        janela->setAttribute(Qt::WA_DeleteOnClose);
        janela->setAttribute(Qt::WA_ShowWithoutActivating);
        auto *texto = new QLabel(janela);
        texto->setAlignment(Qt::AlignCenter);
        texto->setMinimumWidth(260);
        auto *layout = new QVBoxLayout(janela);
        layout->setContentsMargins(24, 16, 24, 16);
        layout->addWidget(texto);
        m_status = janela;
        m_statusText = texto;
    }
    m_status->setWindowTitle(title);
    m_statusText->setText(text);
    if (!m_status->isVisible()) {
        m_status->adjustSize();
        if (QWidget *sobre = m_status->parentWidget()) {
            QRect r = m_status->frameGeometry();
            r.moveCenter(sobre->frameGeometry().center());
            m_status->move(r.topLeft());
        }
        m_status->show();
    }
    pintaStatus();
}

void WidgetModal::updateStatus(const QString &text)
{
    if (!m_status)
        return;
    m_statusText->setText(text);
    pintaStatus();
}

void WidgetModal::hideStatus()
{
    if (m_status)
        m_status->close();
}

void WidgetModal::pintaStatus()
{
    // Only what the window system needs to show and paint it: no user input,
    // and no socket notifiers (an ending signal waits until the work is done).
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    if (m_status)
        m_status->repaint();
}

} // namespace velix
