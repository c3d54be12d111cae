#include "report/reportrender.h"

#include <QFileInfo>
#include <QFont>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <map>

namespace velix::report {
namespace {

Qt::Alignment alignment(Align a)
{
    switch (a) {
    case Align::Center: return Qt::AlignHCenter;
    case Align::Right: return Qt::AlignRight;
    case Align::Left: break;
    }
    return Qt::AlignLeft;
}

QString number(double value)
{
    return QString::number(value, 'f', 2);
}

QString cssFont(const FontStyle &f)
{
    return QStringLiteral("%1%2%3pt '%4',Arial,Helvetica,sans-serif")
        .arg(f.italic ? QStringLiteral("italic ") : QString(), f.bold ? QStringLiteral("bold ") : QString(),
             number(f.size), f.family);
}

QPageLayout fullPage(const QPageLayout &layout)
{
    return QPageLayout(layout.pageSize(), layout.orientation(), QMarginsF(0, 0, 0, 0));
}

} // namespace

void paintLaidOutPage(const LaidOutReport &report, int index, QPainter &painter)
{
    if (index < 0 || index >= int(report.pages.size()))
        return;
    const double dpi = painter.device() ? painter.device()->logicalDpiY() : 72;
    std::vector<QFont> fonts;
    fonts.reserve(report.fonts.size());
    for (const FontStyle &style : report.fonts)
        fonts.push_back(reportFont(style, dpi));

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const DrawItem &item : report.pages[size_t(index)].items) {
        switch (item.kind) {
        case DrawItem::Text:
            painter.setPen(Qt::black);
            painter.setFont(fonts[item.font]);
            painter.drawText(item.rect, int(alignment(item.align) | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip),
                             item.text);
            break;
        case DrawItem::Line:
            painter.setPen(QPen(Qt::black, item.lineWidth, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(item.rect.topLeft(), item.rect.bottomRight());
            break;
        case DrawItem::Rect:
            painter.setPen(item.lineWidth > 0 ? QPen(Qt::black, item.lineWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)
                                              : QPen(Qt::NoPen));
            painter.setBrush(item.fillGray >= 0 ? QBrush(QColor(item.fillGray, item.fillGray, item.fillGray))
                                                : QBrush(Qt::NoBrush));
            painter.drawRect(item.rect);
            painter.setBrush(Qt::NoBrush);
            break;
        }
    }
    painter.restore();
}

void writePdf(const LaidOutReport &report, const QString &fileName)
{
    QPdfWriter writer(fileName);
    writer.setCreator(QStringLiteral("VELIX6"));
    writer.setTitle(report.title.isEmpty() ? report.name : report.title);
    writer.setResolution(720);
    writer.setPageLayout(fullPage(report.page));
    const double scale = writer.resolution() / 72.0;
    QPainter painter;
    if (!painter.begin(&writer))
        throw FileError(QStringLiteral("Não foi possível gravar o arquivo \"%1\".").arg(fileName));
    for (int i = 0; i < int(report.pages.size()); ++i) {
        if (i > 0)
            writer.newPage();
        painter.resetTransform();
        painter.scale(scale, scale);
        paintLaidOutPage(report, i, painter);
    }
    if (!painter.end())
        throw FileError(QStringLiteral("Não foi possível gravar o arquivo \"%1\".").arg(fileName));
}

QByteArray htmlPage(const LaidOutReport &report)
{
    const QSizeF size = report.page.fullRect(QPageLayout::Point).size();
    QString html;
    html.reserve(int(report.pages.size()) * 40000);
    html += QStringLiteral("<!DOCTYPE html>\n<html lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\">\n<title>")
            + (report.title.isEmpty() ? report.name : report.title).toHtmlEscaped()
            + QStringLiteral("</title>\n<style>\n"
                             "body{margin:0;padding:12pt;background:#8a8a8a}\n"
                             ".p{position:relative;overflow:hidden;background:#fff;margin:0 auto 12pt auto;"
                             "box-shadow:0 0 4pt #444;page-break-after:always;width:%1pt;height:%2pt}\n"
                             ".p svg{position:absolute;left:0;top:0}\n"
                             ".t{position:absolute;white-space:pre;color:#000}\n"
                             "@page{size:%1pt %2pt;margin:0}\n"
                             "@media print{body{padding:0;background:none}.p{margin:0;box-shadow:none}}\n")
                  .arg(number(size.width()), number(size.height()));
    for (size_t i = 0; i < report.fonts.size(); ++i)
        html += QStringLiteral(".f%1{font:%2}\n").arg(i).arg(cssFont(report.fonts[i]));
    html += QStringLiteral("</style>\n</head>\n<body>\n");

    for (const LaidOutPage &page : report.pages) {
        html += QStringLiteral("<div class=\"p\">\n<svg width=\"%1pt\" height=\"%2pt\" viewBox=\"0 0 %1 %2\">\n")
                    .arg(number(size.width()), number(size.height()));
        for (const DrawItem &item : page.items) {
            if (item.kind == DrawItem::Line) {
                html += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke=\"#000\" stroke-width=\"%5\"/>\n")
                            .arg(number(item.rect.left()), number(item.rect.top()), number(item.rect.right()),
                                 number(item.rect.bottom()), number(item.lineWidth));
            } else if (item.kind == DrawItem::Rect) {
                const QString fill = item.fillGray >= 0 ? QStringLiteral("rgb(%1,%1,%1)").arg(item.fillGray)
                                                        : QStringLiteral("none");
                const QString stroke = item.lineWidth > 0
                                           ? QStringLiteral(" stroke=\"#000\" stroke-width=\"%1\"").arg(number(item.lineWidth))
                                           : QString();
                html += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"%6/>\n")
                            .arg(number(item.rect.left()), number(item.rect.top()), number(item.rect.width()),
                                 number(item.rect.height()), fill, stroke);
            }
        }
        html += QStringLiteral("</svg>\n");
        for (const DrawItem &item : page.items) {
            if (item.kind != DrawItem::Text)
                continue;
            const char *align = item.align == Align::Center ? "center" : item.align == Align::Right ? "right" : "left";
            html += QStringLiteral("<div class=\"t f%1\" style=\"left:%2pt;top:%3pt;width:%4pt;line-height:%5pt;"
                                   "text-align:%6\">")
                        .arg(item.font)
                        .arg(number(item.rect.left()), number(item.rect.top()), number(item.rect.width()),
                             number(item.rect.height()), QLatin1String(align))
                    + item.text.toHtmlEscaped() + QStringLiteral("</div>\n");
        }
        html += QStringLiteral("</div>\n");
    }
    html += QStringLiteral("</body>\n</html>\n");
    return html.toUtf8();
}

void writeHtml(const LaidOutReport &report, const QString &fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(htmlPage(report)) < 0 || !file.commit())
        throw FileError(QStringLiteral("Não foi possível gravar o arquivo \"%1\".").arg(fileName));
}

QString plainText(const LaidOutReport &report)
{
    QString out;
    for (size_t p = 0; p < report.pages.size(); ++p) {
        out += QStringLiteral("=== %1/%2 ===\n").arg(p + 1).arg(report.pages.size());
        // Lines by their top edge (to 1/10 point), items left to right.
        std::map<std::pair<qint64, double>, QString> lines;
        for (const DrawItem &item : report.pages[p].items)
            if (item.kind == DrawItem::Text)
                lines[{qRound64(item.rect.top() * 10), item.rect.left()}] = item.text;
        qint64 row = -1;
        QString line;
        for (const auto &[key, text] : lines) {
            if (key.first != row) {
                if (row >= 0)
                    out += line + QLatin1Char('\n');
                row = key.first;
                line = text;
            } else {
                line += QStringLiteral(" | ") + text;
            }
        }
        if (row >= 0)
            out += line + QLatin1Char('\n');
    }
    return out;
}

QStringList ReportRenderer::suffixes() const
{
    QStringList out;
    for (const QString &pattern : fileExtension.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        out << pattern.trimmed().remove(QStringLiteral("*.")).toLower();
    return out;
}

QString ReportRenderer::nameFilter() const
{
    QString patterns = fileExtension;
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return QStringLiteral("%1 (%2)").arg(displayName, patterns);
}

void ReportRenderer::save(const LaidOutReport &report, const QString &fileName) const
{
    if (kind == Pdf)
        writePdf(report, fileName);
    else
        writeHtml(report, fileName);
}

ReportRenderer pdfRenderer()
{
    return {ReportRenderer::Pdf, QStringLiteral("Adobe Acrobat (PDF)"), QStringLiteral("*.pdf")};
}

ReportRenderer htmlRenderer()
{
    return {ReportRenderer::Html, QStringLiteral("Web Page (HTML)"), QStringLiteral("*.html;*.htm")};
}

std::optional<ReportRenderer> rendererForFile(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const ReportRenderer &r : {pdfRenderer(), htmlRenderer()})
        if (r.suffixes().contains(suffix))
            return r;
    return std::nullopt;
}

RenderedReport::RenderedReport(LaidOutReport report, QString jobTitle)
    : m_report(std::move(report)), m_jobTitle(std::move(jobTitle))
{
}

QPageLayout RenderedReport::pageLayout() const
{
    return fullPage(m_report.page);
}

void RenderedReport::paintPage(int index, QPainter &painter) const
{
    paintLaidOutPage(m_report, index, painter);
}

void RenderedReport::saveAs(const QString &fileName) const
{
    const std::optional<ReportRenderer> renderer = rendererForFile(fileName);
    if (!renderer)
        throw ReportError(QStringLiteral("Cannot save the report as \"%1\": use a name ending in .pdf or .html")
                              .arg(fileName));
    renderer->save(m_report, fileName);
}

} // namespace velix::report
