#pragma once
// Moves a PrinterChoice into and out of a QPrinter, and prints a rendered
// report on one.

#include "platform/modal.h"

#include <QTransform>

#include <functional>

class QPrinter;

namespace velix {

/// Sets up `device` from `choice`: printer, paper and orientation (a choice
/// without a page layout takes `fallback`'s), copies and collation. The
/// device keeps its own margins: the report is painted on the full sheet.
void applyPrinterChoice(QPrinter &device, const PrinterChoice &choice, const QPageLayout &fallback);

/// How a report page of layout `page` lies on a sheet of layout `sheet`, both
/// in points: unchanged when it fits; scaled down until it fits when the
/// sheet is smaller (a portrait sheet for a landscape book, Letter for A4);
/// centred on the sheet. Never enlarged, never turned.
QTransform pageOnSheet(const QPageLayout &page, const QPageLayout &sheet);

/// Paints every page of `document` on `device`, one page per sheet, each
/// placed by pageOnSheet(); `pageStarted` (optional) is told each page number
/// before it is printed.
void printReportDocument(const ReportDocument &document, QPrinter &device,
                         const std::function<void(int page)> &pageStarted = {});

} // namespace velix
