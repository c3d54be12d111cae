#include "report/printerdevice.h"

#include <QPainter>
#include <QPrinter>

namespace velix {

void applyPrinterChoice(QPrinter &device, const PrinterChoice &choice, const QPageLayout &fallback)
{
    if (!choice.printerName.isEmpty())
        device.setPrinterName(choice.printerName);
    const QPageLayout layout = choice.pageLayout.isValid() ? choice.pageLayout : fallback;
    if (layout.isValid())
        device.setPageLayout(layout);
    device.setCopyCount(choice.copies);
    device.setCollateCopies(choice.collate);
}

PrinterChoice printerChoiceOf(const QPrinter &device)
{
    PrinterChoice choice;
    choice.printerName = device.printerName();
    choice.pageLayout = device.pageLayout();
    choice.copies = device.copyCount();
    choice.collate = device.collateCopies();
    return choice;
}

void printReportDocument(const ReportDocument &document, QPrinter &device)
{
    QPainter painter;
    if (!painter.begin(&device))
        return;
    const QSizeF points = document.pageLayout().fullRect(QPageLayout::Point).size();
    for (int i = 0; i < document.pageCount(); ++i) {
        if (i > 0)
            device.newPage();
        painter.save();
        // Full page in points, whatever the printer's margins and resolution.
        painter.setViewport(device.pageLayout().fullRectPixels(device.resolution())
                                .translated(-device.pageLayout().paintRectPixels(device.resolution()).topLeft()));
        painter.setWindow(QRectF(QPointF(0, 0), points).toRect());
        document.paintPage(i, painter);
        painter.restore();
    }
    painter.end();
}

} // namespace velix
