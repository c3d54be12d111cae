#include "report/printerdevice.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace velix {

void applyPrinterChoice(QPrinter &device, const PrinterChoice &choice, const QPageLayout &fallback)
{
    if (!choice.printerName.isEmpty())
        device.setPrinterName(choice.printerName);
    // Size and orientation one by one: a whole layout whose margins lie inside
    // the printer's unprintable border would be refused with its paper.
    const QPageLayout layout = choice.pageLayout.isValid() ? choice.pageLayout : fallback;
    if (layout.isValid()) {
        device.setPageSize(layout.pageSize());
        device.setPageOrientation(layout.orientation());
    }
    device.setCopyCount(choice.copies);
    device.setCollateCopies(choice.collate);
}

QTransform pageOnSheet(const QPageLayout &page, const QPageLayout &sheet)
{
    const QSizeF from = page.fullRect(QPageLayout::Point).size();
    const QSizeF to = sheet.fullRect(QPageLayout::Point).size();
    if (from.isEmpty() || to.isEmpty())
        return {};
    const double fit = std::min({1.0, to.width() / from.width(), to.height() / from.height()});
    QTransform t;
    t.translate((to.width() - from.width() * fit) / 2, (to.height() - from.height() * fit) / 2);
    t.scale(fit, fit);
    return t;
}

void printReportDocument(const ReportDocument &document, QPrinter &device, const std::function<void(int)> &pageStarted)
{
    QPainter painter;
    if (!painter.begin(&device))
        return;
    const QTransform onSheet = pageOnSheet(document.pageLayout(), device.pageLayout());
    for (int i = 0; i < document.pageCount(); ++i) {
        if (i > 0)
            device.newPage();
        if (pageStarted)
            pageStarted(i + 1);
        painter.save();
        // The painter starts at the printable area's corner: move back to the
        // sheet's corner, make one unit one point, and place the page.
        const QRect printable = device.pageLayout().paintRectPixels(device.resolution());
        painter.resetTransform();
        painter.translate(-printable.left(), -printable.top());
        painter.scale(device.resolution() / 72.0, device.resolution() / 72.0);
        painter.setTransform(onSheet, true);
        document.paintPage(i, painter);
        painter.restore();
    }
    painter.end();
}

} // namespace velix
