#pragma once
// Output of laid-out reports: painting a page, the PDF and HTML renderers,
// and the rendered report that the preview shows and saves.

#include "platform/modal.h"
#include "report/reportlayout.h"

#include <QList>

#include <optional>

class QPainter;

namespace velix::report {

/// Paints page `index`; the painter's coordinates are the full page in points.
void paintLaidOutPage(const LaidOutReport &report, int index, QPainter &painter);

/// Writes the report as a PDF file (fonts embedded). Throws FileError.
void writePdf(const LaidOutReport &report, const QString &fileName);

/// The report as one self-contained HTML page (no outside files).
QByteArray htmlPage(const LaidOutReport &report);
/// Writes htmlPage() to a file. Throws FileError.
void writeHtml(const LaidOutReport &report, const QString &fileName);

/// The report's texts, page by page and line by line (items on one line
/// joined by " | "): what a reader sees, for comparisons.
QString plainText(const LaidOutReport &report);

/// A file format a report can be saved in.
struct ReportRenderer {
    enum Kind { Pdf, Html };
    Kind kind;
    QString displayName;    ///< "Adobe Acrobat (PDF)"
    QString fileExtension;  ///< "*.pdf", or several joined by ';'
    /// The extensions without "*.": {"pdf"}, {"html", "htm"}.
    QStringList suffixes() const;
    /// "Adobe Acrobat (PDF) (*.pdf)": a file dialog's name filter.
    QString nameFilter() const;
    void save(const LaidOutReport &report, const QString &fileName) const;
};

ReportRenderer pdfRenderer();
ReportRenderer htmlRenderer();

/// The renderer for a file name's extension (any case), nullopt for others.
std::optional<ReportRenderer> rendererForFile(const QString &fileName);

/// A laid-out report as the preview shows it. title() is the report's name
/// in the definition file; jobTitle() names the print job.
class RenderedReport final : public ReportDocument {
public:
    explicit RenderedReport(LaidOutReport report, QString jobTitle = QStringLiteral("ReportPrinter Report"));

    const LaidOutReport &laidOut() const { return m_report; }
    QString jobTitle() const { return m_jobTitle; }

    QString title() const override { return m_report.name; }
    int pageCount() const override { return int(m_report.pages.size()); }
    QPageLayout pageLayout() const override;
    void paintPage(int index, QPainter &painter) const override;
    /// PDF for ".pdf", HTML for ".html"/".htm"; other names throw ReportError.
    void saveAs(const QString &fileName) const override;

private:
    LaidOutReport m_report;
    QString m_jobTitle;
};

} // namespace velix::report
