#pragma once
// The modal seam of the running program: real message boxes, the error
// dialog, the report preview and the print-setup dialog, each modal over the
// active window (or the main window).

#include "platform/modal.h"

class QWidget;

namespace velix {

class WidgetModal : public ModalSeam {
public:
    void showMessage(const QString &text, MessageIcon icon = MessageIcon::None) override;
    void showError(const ErrorReport &report) override;
    void showPreview(const ReportDocument &document, const PrinterChoice &printer) override;
    bool printerSetup(PrinterChoice &printer) override;

private:
    static QWidget *owner();
};

} // namespace velix
