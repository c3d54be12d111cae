#include "report/printersetup.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

namespace velix {
namespace {

const QString setupTitle = QStringLiteral("Configurar Impressora");

int indexOfSize(const QList<QPageSize> &sizes, const QPageSize &wanted)
{
    if (!wanted.isValid())
        return -1;
    for (qsizetype i = 0; i < sizes.size(); ++i)
        if (sizes.at(i).isEquivalentTo(wanted))
            return int(i);
    return -1;
}

} // namespace

QList<PrinterOption> installedPrinters()
{
    QList<PrinterOption> printers;
    const QString defaultName = QPrinterInfo::defaultPrinterName();
    for (const QPrinterInfo &info : QPrinterInfo::availablePrinters()) {
        PrinterOption p;
        p.name = info.printerName();
        p.description = info.description();
        p.pageSizes = info.supportedPageSizes();
        p.defaultPageSize = info.defaultPageSize();
        p.isDefault = info.isDefault() || p.name == defaultName;
        printers << p;
    }
    return printers;
}

QList<QPageSize> commonPageSizes()
{
    return {QPageSize(QPageSize::A4), QPageSize(QPageSize::Letter), QPageSize(QPageSize::Legal),
            QPageSize(QPageSize::A3), QPageSize(QPageSize::A5)};
}

PrinterSetupDialog::PrinterSetupDialog(const PrinterChoice &current, QList<PrinterOption> printers, QWidget *parent)
    : QDialog(parent), m_current(current), m_printers(std::move(printers))
{
    setWindowTitle(setupTitle);
    setModal(true);

    m_printer = new QComboBox(this);
    if (m_printers.isEmpty()) {
        m_printer->addItem(QStringLiteral("(nenhuma impressora instalada)"));
        m_printer->setEnabled(false);
    }
    int selected = -1;
    for (qsizetype i = 0; i < m_printers.size(); ++i) {
        const PrinterOption &p = m_printers.at(i);
        QString text = p.description.isEmpty() ? p.name : p.description;
        if (p.isDefault)
            text += QStringLiteral(" (padrão)");
        m_printer->addItem(text, p.name);
        if (p.name == current.printerName || (selected < 0 && p.isDefault))
            selected = int(i);
    }
    if (selected >= 0)
        m_printer->setCurrentIndex(selected);

    m_paper = new QComboBox(this);
    m_portrait = new QRadioButton(QStringLiteral("&Retrato"), this);
    m_landscape = new QRadioButton(QStringLiteral("&Paisagem"), this);
    auto *orientation = new QButtonGroup(this);
    orientation->addButton(m_portrait);
    orientation->addButton(m_landscape);
    const bool portrait =
        current.pageLayout.isValid() && current.pageLayout.orientation() == QPageLayout::Portrait;
    (portrait ? m_portrait : m_landscape)->setChecked(true);
    auto *orientationRow = new QHBoxLayout;
    orientationRow->addWidget(m_portrait);
    orientationRow->addWidget(m_landscape);
    orientationRow->addStretch(1);

    m_copies = new QSpinBox(this);
    m_copies->setRange(1, 999);
    m_copies->setValue(std::clamp(current.copies, 1, 999));

    fillPapers(current.pageLayout.isValid() ? current.pageLayout.pageSize() : QPageSize());
    connect(m_printer, &QComboBox::currentIndexChanged, this, [this] {
        const int paper = m_paper->currentIndex();
        fillPapers(paper >= 0 ? m_paper->itemData(paper).value<QPageSize>() : QPageSize());
    });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Impressora:"), m_printer);
    form->addRow(QStringLiteral("P&apel:"), m_paper);
    form->addRow(QStringLiteral("Orientação:"), orientationRow);
    form->addRow(QStringLiteral("&Cópias:"), m_copies);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_printer->setMinimumContentsLength(30);
    (m_printer->isEnabled() ? static_cast<QWidget *>(m_printer) : m_paper)->setFocus();
}

// The chosen printer's papers; `wanted` stays selected when the printer takes
// it, otherwise A4, otherwise the printer's default paper.
void PrinterSetupDialog::fillPapers(const QPageSize &wanted)
{
    const int printer = m_printers.isEmpty() ? -1 : m_printer->currentIndex();
    const PrinterOption *p = printer >= 0 ? &m_printers.at(printer) : nullptr;
    const QList<QPageSize> sizes = p && !p->pageSizes.isEmpty() ? p->pageSizes : commonPageSizes();

    QSignalBlocker block(m_paper);
    m_paper->clear();
    for (const QPageSize &size : sizes)
        m_paper->addItem(size.name(), QVariant::fromValue(size));
    int index = indexOfSize(sizes, wanted);
    if (index < 0)
        index = indexOfSize(sizes, QPageSize(QPageSize::A4));
    if (index < 0 && p)
        index = indexOfSize(sizes, p->defaultPageSize);
    m_paper->setCurrentIndex(std::max(index, 0));
}

PrinterChoice PrinterSetupDialog::choice() const
{
    PrinterChoice c = m_current;
    if (!m_printers.isEmpty() && m_printer->currentIndex() >= 0)
        c.printerName = m_printer->currentData().toString();
    const QPageSize paper = m_paper->currentData().value<QPageSize>();
    c.pageLayout = QPageLayout(paper, m_portrait->isChecked() ? QPageLayout::Portrait : QPageLayout::Landscape,
                               QMarginsF(0, 0, 0, 0));
    c.copies = m_copies->value();
    return c;
}

} // namespace velix
