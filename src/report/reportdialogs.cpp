#include "report/reportdialogs.h"
#include "report/printerdevice.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace velix {

void execReportPreview(const ReportDocument &document, const PrinterChoice &printer, QWidget *parent)
{
    QPrinter device(QPrinter::HighResolution);
    applyPrinterChoice(device, printer, document.pageLayout());
    QPrintPreviewDialog dialog(&device, parent);
    dialog.setWindowTitle(QStringLiteral("Report Preview"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&document](QPrinter *p) {
        printReportDocument(document, *p);
    });
    dialog.showMaximized();
    dialog.exec();
}

bool execPrinterSetup(PrinterChoice &printer, QWidget *parent)
{
    QPrinter device(QPrinter::HighResolution);
    applyPrinterChoice(device, printer, QPageLayout());
    QPageSetupDialog dialog(&device, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printer = printerChoiceOf(device);
    return true;
}

} // namespace velix
