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

void printReportDocument(const ReportDocument &document, QPrinter &device, const std::function<void(int)> &pageStarted)
{
    QPainter painter;
    if (!painter.begin(&device))
        return;
    for (int i = 0; i < document.pageCount(); ++i) {
        if (i > 0)
            device.newPage();
        if (pageStarted)
            pageStarted(i + 1);
        painter.save();
        // The painter starts at the printable area's corner: move back to the
        // page's corner and make one unit one point.
        const QRect printable = device.pageLayout().paintRectPixels(device.resolution());
        painter.resetTransform();
        painter.translate(-printable.left(), -printable.top());
        painter.scale(device.resolution() / 72.0, device.resolution() / 72.0);
        document.paintPage(i, painter);
        painter.restore();
    }
    painter.end();
}

} // namespace velix
