#include "report/reportdialogs.h"
#include "report/printerdevice.h"
#include "report/printersetup.h"
#include "report/reportrender.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QToolBar>
#include <QVBoxLayout>

namespace velix {
namespace {

const QString previewTitle = QStringLiteral("Report Preview");
const QString statusTitle = QStringLiteral("Report Status");
const QString printingStatus = QStringLiteral("Printing page %p");

QString jobTitleOf(const ReportDocument &document)
{
    if (const auto *rendered = dynamic_cast<const report::RenderedReport *>(&document))
        return rendered->jobTitle();
    return document.title();
}

} // namespace

QString previewSaveFileName(const QString &typed, const QString &selectedFilter)
{
    if (typed.isEmpty() || report::rendererForFile(typed))
        return typed;
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(selectedFilter);
    return m.hasMatch() ? typed + QLatin1Char('.') + m.captured(1) : typed;
}

QString previewPageText(int page, int pages, int zoomPercent)
{
    return QStringLiteral("Página %1 de %2  ·  %3 %").arg(page).arg(pages).arg(zoomPercent);
}

ReportPreviewDialog::ReportPreviewDialog(const ReportDocument &document, const PrinterChoice &printer, QWidget *parent)
    : QDialog(parent), m_document(document), m_printer(QPrinter::HighResolution)
{
    setWindowTitle(previewTitle);
    setModal(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setWindowState(windowState() | Qt::WindowMaximized);
    // Printer, paper, orientation and copies as chosen in "Configurar
    // Impressora" (the report's own paper until then). The report keeps its
    // layout; each page is fitted on the sheet, so the preview shows what the
    // printer will get.
    applyPrinterChoice(m_printer, printer, document.pageLayout());
    m_printer.setDocName(jobTitleOf(document));

    m_view = new QPrintPreviewWidget(&m_printer, this);
    connect(m_view, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter *device) { printReportDocument(m_document, *device); });
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, &ReportPreviewDialog::updatePageLabel);

    auto *bar = new QToolBar(this);
    auto add = [&](const QString &text, QList<QKeySequence> keys, auto slot) {
        QAction *a = bar->addAction(text);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        a->setToolTip(text + QStringLiteral(" (") + keys.first().toString(QKeySequence::NativeText) + QLatin1Char(')'));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add(QStringLiteral("Imprimir"), {QKeySequence::Print}, &ReportPreviewDialog::print);
    add(QStringLiteral("Salvar"), {QKeySequence::Save}, &ReportPreviewDialog::save);
    bar->addSeparator();
    add(QStringLiteral("Ampliar"), {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal), QKeySequence::ZoomIn},
        &ReportPreviewDialog::zoomIn);
    add(QStringLiteral("Reduzir"), {QKeySequence(Qt::Key_Minus), QKeySequence::ZoomOut}, &ReportPreviewDialog::zoomOut);
    add(QStringLiteral("100 %"), {QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] { m_view->setZoomFactor(1.0); });
    bar->addSeparator();
    add(QStringLiteral("Primeira"), {QKeySequence(Qt::Key_Home)}, [this] { m_view->setCurrentPage(1); });
    add(QStringLiteral("Anterior"), {QKeySequence(Qt::Key_PageUp)}, &ReportPreviewDialog::previousPage);
    add(QStringLiteral("Próxima"), {QKeySequence(Qt::Key_PageDown)}, &ReportPreviewDialog::nextPage);
    add(QStringLiteral("Última"), {QKeySequence(Qt::Key_End)}, [this] { m_view->setCurrentPage(m_view->pageCount()); });
    m_pageLabel = new QLabel(bar);
    m_pageLabel->setContentsMargins(12, 0, 12, 0);
    bar->addWidget(m_pageLabel);
    bar->addSeparator();
    add(QStringLiteral("Fechar"), {QKeySequence(Qt::Key_Escape)}, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_view, 1);

    m_view->setZoomMode(QPrintPreviewWidget::CustomZoom);
    m_view->setZoomFactor(1.0);
    m_view->updatePreview();
    updatePageLabel();
}

void ReportPreviewDialog::updatePageLabel()
{
    m_pageLabel->setText(previewPageText(m_view->currentPage(), m_view->pageCount(),
                                         qRound(m_view->zoomFactor() * 100)));
}

void ReportPreviewDialog::zoomIn()
{
    m_view->zoomIn();
    updatePageLabel();
}

void ReportPreviewDialog::zoomOut()
{
    m_view->zoomOut();
    updatePageLabel();
}

void ReportPreviewDialog::nextPage()
{
    m_view->setCurrentPage(std::min(m_view->pageCount(), m_view->currentPage() + 1));
    updatePageLabel();
}

void ReportPreviewDialog::previousPage()
{
    m_view->setCurrentPage(std::max(1, m_view->currentPage() - 1));
    updatePageLabel();
}

void ReportPreviewDialog::print()
{
    guarded(previewTitle, [this] {
        QPrintDialog dialog(&m_printer, this);
        dialog.setOption(QAbstractPrintDialog::PrintCollateCopies);
        if (dialog.exec() != QDialog::Accepted)
            return;
        StatusWindow status(statusTitle, printingStatus);
        printReportDocument(m_document, m_printer, [&](int page) { status.step(page); });
    });
}

void ReportPreviewDialog::save()
{
    const QStringList filters{report::pdfRenderer().nameFilter(), report::htmlRenderer().nameFilter()};
    QFileDialog dialog(this, QStringLiteral("Salvar relatório"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString fileName = previewSaveFileName(dialog.selectedFiles().first(), dialog.selectedNameFilter());
    guarded(previewTitle, [&] { m_document.saveAs(fileName); });
}

void execReportPreview(const ReportDocument &document, const PrinterChoice &printer, QWidget *parent)
{
    ReportPreviewDialog dialog(document, printer, parent);
    // Without a window manager nothing maximises a window: it is given the
    // screen's available area itself, which a window manager then keeps.
    if (QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        dialog.setGeometry(screen->availableGeometry());
    dialog.showMaximized();
    dialog.exec();
}

bool execPrinterSetup(PrinterChoice &printer, QWidget *parent)
{
    PrinterSetupDialog dialog(printer, installedPrinters(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printer = dialog.choice();
    return true;
}

} // namespace velix
