#pragma once
// Moves a PrinterChoice into and out of a QPrinter, and prints a rendered
// report on one.

#include "platform/modal.h"

#include <functional>

class QPrinter;

namespace velix {

/// Sets up `device` from `choice`; a choice without a page layout takes `fallback`.
void applyPrinterChoice(QPrinter &device, const PrinterChoice &choice, const QPageLayout &fallback);

/// The choice that `device` now holds.
PrinterChoice printerChoiceOf(const QPrinter &device);

/// Paints every page of `document` on `device`, one page per sheet;
/// `pageStarted` (optional) is told each page number before it is printed.
void printReportDocument(const ReportDocument &document, QPrinter &device,
                         const std::function<void(int page)> &pageStarted = {});

} // namespace velix
