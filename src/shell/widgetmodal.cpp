#include "shell/widgetmodal.h"

#include "report/reportdialogs.h"
#include "shell/application.h"
#include "shell/formrelatadministrativo.h"

#include <QApplication>
#include <QMessageBox>

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

void WidgetModal::showError(const ErrorReport &report)
{
    QMessageBox box(QMessageBox::Critical, TituloAplicacao, report.message, QMessageBox::Ok, owner());
    box.setInformativeText(QStringLiteral("Tipo do erro: ") + report.kind + QStringLiteral("\nOcorrido em: ")
                           + report.where);
    box.exec();
}

void WidgetModal::showPreview(const ReportDocument &document, const PrinterChoice &printer)
{
    execReportPreview(document, printer, owner());
}

bool WidgetModal::printerSetup(PrinterChoice &printer)
{
    return execPrinterSetup(printer, owner());
}

} // namespace velix
