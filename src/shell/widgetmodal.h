#pragma once
// The modal seam of the running program: real message boxes, the error
// dialog, the report preview and the print-setup dialog, each modal over the
// active window (or the main window).

#include "platform/modal.h"

#include <QPointer>

class QLabel;
class QMessageBox;
class QWidget;

namespace velix {

class WidgetModal : public ModalSeam {
public:
    void showMessage(const QString &text, MessageIcon icon = MessageIcon::None) override;
    void showNotice(const QString &text) override;
    void showError(const ErrorReport &report) override;
    void showPreview(const ReportDocument &document, const PrinterChoice &printer) override;
    bool printerSetup(PrinterChoice &printer) override;
    void showStatus(const QString &title, const QString &text) override;
    void updateStatus(const QString &text) override;
    void hideStatus() override;

    /// The program is ending: message boxes, previews and dialogs asked for
    /// from now on are not shown (a question gets its default answer).
    void encerrando() { m_encerrando = true; }

private:
    static QWidget *owner();
    /// Paints the status window now: the work runs on this thread.
    void pintaStatus();

    QPointer<QMessageBox> m_aviso;
    QPointer<QWidget> m_status;
    QPointer<QLabel> m_statusText;
    bool m_encerrando = false;
};

} // namespace velix
