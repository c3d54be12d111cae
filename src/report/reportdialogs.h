#pragma once
// The report engine's windows: the modal preview and the print-setup dialog.
// Only the window's modal seam calls these; everything else goes through
// modal().showPreview() / modal().printerSetup().

#include "platform/modal.h"

class QWidget;

namespace velix {

/// Shows `document` in the modal, maximised preview; returns when it is closed.
void execReportPreview(const ReportDocument &document, const PrinterChoice &printer, QWidget *parent = nullptr);

/// Shows the print-setup dialog; true and `printer` updated when confirmed.
bool execPrinterSetup(PrinterChoice &printer, QWidget *parent = nullptr);

} // namespace velix
