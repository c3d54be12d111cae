#pragma once
// "Configurar Impressora": the print-setup dialog of the report system. The
// user chooses the printer, its paper, the orientation and the number of
// copies on which the following books print; the choice holds for the rest
// of the run (nothing is stored). Cancel (or Esc) changes nothing.
//
// With no printer installed the dialog still opens: the printer list says so
// and cannot be changed, and paper, orientation and copies can still be
// chosen for the one output left, the print dialog's "print to file (PDF)".
// No message box of its own is shown in either case; the printer name of the
// choice stays as it was.
//
// A confirmed choice always holds a paper and orientation. The books keep
// their own page layout (A4 landscape); when printed, each page is fitted on
// the chosen sheet (see printReportDocument).

#include "platform/modal.h"

#include <QDialog>
#include <QList>
#include <QPageSize>
#include <QString>

class QComboBox;
class QRadioButton;
class QSpinBox;

namespace velix {

/// A printer as the dialog offers it.
struct PrinterOption {
    QString name;                 ///< the system's name for it (PrinterChoice::printerName)
    QString description;          ///< what the list shows; empty: the name
    QList<QPageSize> pageSizes;   ///< the papers it takes; empty: the common ones
    QPageSize defaultPageSize;
    bool isDefault = false;       ///< the system's default printer
};

/// The printers installed on this computer (QPrinterInfo), the default one
/// marked.
QList<PrinterOption> installedPrinters();

/// The papers offered when a printer names none, or no printer is installed:
/// A4, Letter, Legal, A3, A5.
QList<QPageSize> commonPageSizes();

class PrinterSetupDialog : public QDialog {
    Q_OBJECT
public:
    /// Opens on `current`: its printer when it is among `printers`, otherwise
    /// the default printer; its paper when the printer takes it, otherwise A4,
    /// otherwise the printer's default paper; its orientation, landscape (the
    /// books' own) when it has none; its copies.
    PrinterSetupDialog(const PrinterChoice &current, QList<PrinterOption> printers, QWidget *parent = nullptr);

    /// The choice as the dialog shows it now (collation kept from `current`).
    PrinterChoice choice() const;

    QComboBox *printerBox() const { return m_printer; }
    QComboBox *paperBox() const { return m_paper; }
    QRadioButton *portraitButton() const { return m_portrait; }
    QRadioButton *landscapeButton() const { return m_landscape; }
    QSpinBox *copiesBox() const { return m_copies; }

private:
    void fillPapers(const QPageSize &wanted);

    PrinterChoice m_current;
    QList<PrinterOption> m_printers;
    QComboBox *m_printer;
    QComboBox *m_paper;
    QRadioButton *m_portrait;
    QRadioButton *m_landscape;
    QSpinBox *m_copies;
};

} // namespace velix
