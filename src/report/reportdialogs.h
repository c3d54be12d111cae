#pragma once
// The report engine's windows: the modal preview and the print-setup dialog.
// Only the window's modal seam calls these; everything else goes through
// modal().showPreview() / modal().printerSetup().

#include "platform/modal.h"

#include <QDialog>
#include <QPrinter>

class QPrintPreviewWidget;
class QLabel;
class QWidget;

namespace velix {

/// Shows `document` in the modal, maximised preview; returns when it is closed.
void execReportPreview(const ReportDocument &document, const PrinterChoice &printer, QWidget *parent = nullptr);

/// Shows the print-setup dialog "Configurar Impressora" (PrinterSetupDialog)
/// over the installed printers; true and `printer` updated when confirmed,
/// false and `printer` unchanged when cancelled.
bool execPrinterSetup(PrinterChoice &printer, QWidget *parent = nullptr);

/// The file a preview saves to: `typed` when it ends in an extension of a
/// renderer (.pdf, .html, .htm), otherwise `typed` plus the first extension
/// of the chosen name filter ("Adobe Acrobat (PDF) (*.pdf)" gives ".pdf").
QString previewSaveFileName(const QString &typed, const QString &selectedFilter);

/// The preview's page label: "Página 3 de 12  ·  100 %".
QString previewPageText(int page, int pages, int zoomPercent);

/// The preview window "Report Preview": modal, maximised, at 100 %. Its
/// toolbar speaks Portuguese ("Imprimir", "Salvar", "Ampliar", "Reduzir",
/// "Primeira", "Anterior", "Próxima", "Última", "Fechar"); each tooltip
/// names the key too.
/// Keys: Ctrl+P print, Ctrl+S save, + and - zoom, PgUp/PgDn page, Home/End
/// first/last page, Esc close.
class ReportPreviewDialog : public QDialog {
    Q_OBJECT
public:
    ReportPreviewDialog(const ReportDocument &document, const PrinterChoice &printer, QWidget *parent = nullptr);

    QPrintPreviewWidget *view() const { return m_view; }
    /// The printer the Print button prints on.
    const QPrinter &printer() const { return m_printer; }

public slots:
    void print();
    void save();
    void zoomIn();
    void zoomOut();
    void nextPage();
    void previousPage();

private:
    void updatePageLabel();

    const ReportDocument &m_document;
    QPrinter m_printer;
    QPrintPreviewWidget *m_view;
    QLabel *m_pageLabel;
};

} // namespace velix
