#include "report/reportlayout.h"

#include <QDate>
#include <QDateTime>
#include <QFont>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace velix::report {
namespace {

// Stands for the page count while pages are still being laid out.
constexpr QChar pagesMarker(0x0001);
constexpr double epsilon = 0.01;

// Measures texts in points: a 72-dpi device makes one pixel one point.
class FontTable {
public:
    FontTable() : m_device(1, 1, QImage::Format_Mono)
    {
        const int dotsPerMeter = qRound(72 / 0.0254);
        m_device.setDotsPerMeterX(dotsPerMeter);
        m_device.setDotsPerMeterY(dotsPerMeter);
    }

    quint16 index(const FontStyle &style)
    {
        for (size_t i = 0; i < m_styles.size(); ++i)
            if (m_styles[i] == style)
                return quint16(i);
        // A draw item holds its font as a 16-bit index.
        if (m_styles.size() > std::numeric_limits<quint16>::max())
            throw ReportError(QStringLiteral("The report uses more fonts than can be printed"));
        m_styles.push_back(style);
        m_metrics.push_back(std::make_unique<QFontMetricsF>(reportFont(style), &m_device));
        return quint16(m_styles.size() - 1);
    }

    const QFontMetricsF &metrics(quint16 font) const { return *m_metrics[font]; }
    double lineHeight(quint16 font) const { return m_metrics[font]->lineSpacing(); }
    const std::vector<FontStyle> &styles() const { return m_styles; }

private:
    QImage m_device;
    std::vector<FontStyle> m_styles;
    std::vector<std::unique_ptr<QFontMetricsF>> m_metrics;
};

double advance(const QFontMetricsF &metrics, const QString &text)
{
    if (text.contains(pagesMarker)) {
        QString sample = text;
        sample.replace(pagesMarker, QStringLiteral("000"));
        return metrics.horizontalAdvance(sample);
    }
    return metrics.horizontalAdvance(text);
}

// Breaks one word that is wider than the line, character by character.
void breakWord(const QString &word, double width, const QFontMetricsF &metrics, QStringList &lines, QString &rest)
{
    QString part;
    for (const QChar c : word) {
        if (!part.isEmpty() && advance(metrics, part + c) > width) {
            lines << part;
            part.clear();
        }
        part += c;
    }
    rest = part;
}

class Layouter {
public:
    Layouter(const ReportDef &def, const ConnectionMap &connections, const std::function<void(int)> &pageStarted)
        : m_def(def), m_connections(connections), m_pageStarted(pageStarted)
    {
        const QRectF paint = def.page.paintRect(QPageLayout::Point);
        m_left = paint.left();
        m_top = paint.top();
        m_bottom = paint.bottom();
        m_width = paint.width();
    }

    LaidOutReport run()
    {
        for (ReportDataConnection *c : m_connections)
            if (c)
                c->first();
        const Band *detail = m_def.band(BandKind::Detail);
        ReportDataConnection *rows = detail ? connection(detail->connection) : nullptr;
        if (rows) {
            for (rows->first(); !rows->eof(); rows->next())
                ++m_count;
            rows->first();
        }

        if (const Band *footer = m_def.band(BandKind::PageFooter)) {
            std::vector<DrawItem> sample;
            m_footerHeight = placeBand(*footer, sample);
        }
        m_contentBottom = m_bottom - m_footerHeight;
        m_laterContentTop = m_top;
        if (const Band *header = m_def.band(BandKind::PageHeader)) {
            std::vector<DrawItem> sample;
            m_laterContentTop += placeBand(*header, sample);
        }
        // The block after the table and how many of the table's last rows
        // stay on its page.
        double closingHeight = 0;
        int keepRows = 0;
        if (const Band *summary = m_def.band(BandKind::Summary)) {
            std::vector<DrawItem> sample;
            closingHeight = placeBand(*summary, sample);
            keepRows = summary->keepWithRows;
        }

        startPage();
        if (const Band *title = m_def.band(BandKind::Title))
            placeFlowing(*title);

        if (detail) {
            if (rows && !rows->eof())
                layoutTable(*detail, *rows, closingHeight, keepRows);
            else if (const Band *noData = m_def.band(BandKind::NoData))
                placeFlowing(*noData);
        }

        if (const Band *summary = m_def.band(BandKind::Summary)) {
            std::vector<DrawItem> items;
            const double height = placeBand(*summary, items);
            if (m_y + height > m_contentBottom + epsilon && m_y > m_pageContentTop + epsilon)
                startPage();
            const double top = summary->atBottom ? std::max(m_y, m_contentBottom - height) : m_y;
            translate(items, top);
            append(items);
            m_y = top + height;
        }

        const int pages = int(m_out.pages.size());
        if (const Band *footer = m_def.band(BandKind::PageFooter)) {
            for (int i = 0; i < pages; ++i) {
                m_page = i + 1;
                std::vector<DrawItem> items;
                placeBand(*footer, items);
                translate(items, m_contentBottom);
                auto &page = m_out.pages[size_t(i)].items;
                page.insert(page.end(), std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
            }
        }
        const QString total = QString::number(pages);
        for (LaidOutPage &page : m_out.pages)
            for (DrawItem &item : page.items)
                if (item.kind == DrawItem::Text && item.text.contains(pagesMarker))
                    item.text.replace(pagesMarker, total);

        for (ReportDataConnection *c : m_connections)
            if (c)
                c->first();
        m_out.name = m_def.name;
        m_out.title = m_def.title;
        m_out.page = m_def.page;
        m_out.fonts = m_fonts.styles();
        m_out.rowCount = m_count;
        return std::move(m_out);
    }

private:
    ReportDataConnection *connection(const QString &name) const { return m_connections.value(name, nullptr); }

    // The text of a template on the current rows. With separators, a part
    // whose references are all blank is left out, and a separator joins two
    // parts that print (the first one between them).
    QString eval(const TextTemplate &t) const
    {
        const bool separated = t.hasSeparators();
        QString out, part, separator;
        bool hasValue = false, allBlank = true, printed = false, joined = false;
        auto endPart = [&] {
            if (!(separated && hasValue && allBlank) && !part.isEmpty()) {
                if (printed && joined)
                    out += separator;
                out += part;
                printed = true;
                joined = false;
            }
            part.clear();
            hasValue = false;
            allBlank = true;
        };
        for (const TextPiece &p : t.pieces) {
            switch (p.kind) {
            case TextPiece::Literal: part += p.text; break;
            // Page numbers and the row count are never blank.
            case TextPiece::Page: part += QString::number(m_page); allBlank = false; break;
            case TextPiece::Pages: part += pagesMarker; allBlank = false; break;
            case TextPiece::Count: part += QString::number(m_count); allBlank = false; break;
            case TextPiece::Field: {
                hasValue = true;
                if (ReportDataConnection *c = connection(p.connection); c && !c->eof()) {
                    const QString value = fieldText(c->value(p.text), p.format);
                    allBlank = allBlank && value.trimmed().isEmpty();
                    part += value;
                }
                break;
            }
            case TextPiece::Separator:
                endPart();
                if (printed && !joined) {
                    separator = p.text;
                    joined = true;
                }
                break;
            }
        }
        endPart();
        return out;
    }

    void startPage()
    {
        m_out.pages.emplace_back();
        ++m_page;
        if (m_pageStarted)
            m_pageStarted(m_page);
        m_y = m_top;
        if (const Band *header = m_def.band(BandKind::PageHeader); header && (m_page > 1 || header->onFirstPage)) {
            std::vector<DrawItem> items;
            const double height = placeBand(*header, items);
            translate(items, m_y);
            append(items);
            m_y += height;
        }
        m_pageContentTop = m_y;
    }

    std::vector<DrawItem> &items() { return m_out.pages.back().items; }

    void append(std::vector<DrawItem> &more)
    {
        auto &page = items();
        page.insert(page.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }

    // A band in the flow: on a new page when it does not fit on this one.
    void placeFlowing(const Band &band)
    {
        std::vector<DrawItem> out;
        const double height = placeBand(band, out);
        if (m_y + height > m_contentBottom + epsilon && m_y > m_pageContentTop + epsilon)
            startPage();
        translate(out, m_y);
        append(out);
        m_y += height;
    }

    static void translate(std::vector<DrawItem> &items, double dy)
    {
        for (DrawItem &item : items)
            item.rect.translate(0, dy);
    }

    void addText(std::vector<DrawItem> &out, const QStringList &lines, const QRectF &box, quint16 font, Align align)
    {
        const double lh = m_fonts.lineHeight(font);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines.at(i).isEmpty())
                continue;
            DrawItem item;
            item.kind = DrawItem::Text;
            item.align = align;
            item.font = font;
            item.rect = QRectF(box.left(), box.top() + double(i) * lh, box.width(), lh);
            item.text = lines.at(i);
            out.push_back(std::move(item));
        }
    }

    static DrawItem line(QPointF a, QPointF b, double width)
    {
        DrawItem item;
        item.kind = DrawItem::Line;
        item.lineWidth = float(width);
        item.rect = QRectF(a, b);
        return item;
    }

    static DrawItem rect(const QRectF &r, double width, int fill)
    {
        DrawItem item;
        item.kind = DrawItem::Rect;
        item.lineWidth = float(width);
        item.fillGray = qint16(fill);
        item.rect = r;
        return item;
    }

    // Lays a fixed band out with its top at 0, page coordinates in x; returns
    // its height, grown by texts that needed more room than their boxes.
    double placeBand(const Band &band, std::vector<DrawItem> &out)
    {
        struct Placed {
            const Element *e = nullptr;
            quint16 font = 0;
            QStringList lines;
            double extra = 0, shift = 0, grow = 0;
        };
        std::vector<Placed> placed;
        placed.reserve(size_t(band.elements.size()));
        for (const Element &e : band.elements) {
            Placed p;
            p.e = &e;
            placed.push_back(std::move(p));
        }
        std::stable_sort(placed.begin(), placed.end(), [](const Placed &a, const Placed &b) {
            return std::min(a.e->box.top(), a.e->box.bottom()) < std::min(b.e->box.top(), b.e->box.bottom());
        });

        for (Placed &p : placed) {
            const Element &e = *p.e;
            if (e.kind != Element::Text)
                continue;
            const QString text = eval(e.text);
            p.font = m_fonts.index(e.font);
            p.lines = wrapText(text, e.box.width(), m_fonts.metrics(p.font));
            double need = double(p.lines.size()) * m_fonts.lineHeight(p.font);
            if (need <= e.box.height() + epsilon)
                continue;
            if (e.shrink) {
                // Half a point at a time, never below the smallest size a
                // definition may use, whatever this element asks for: a few
                // hundred steps at most.
                FontStyle smaller = e.font;
                const double smallest = std::max(minFontSize, std::min(e.minSize, maxFontSize));
                const double room = std::floor((e.font.size - smallest + epsilon) / 0.5);
                const int steps = room > 0 ? int(std::min(room, 2 * (maxFontSize - minFontSize))) : 0;
                for (int step = 1; step <= steps; ++step) {
                    smaller.size = e.font.size - 0.5 * step;
                    const quint16 f = m_fonts.index(smaller);
                    QStringList lines = wrapText(text, e.box.width(), m_fonts.metrics(f));
                    if (double(lines.size()) * m_fonts.lineHeight(f) <= e.box.height() + epsilon) {
                        p.font = f;
                        p.lines = lines;
                        need = 0;
                        break;
                    }
                }
            }
            p.extra = std::max(0.0, need - e.box.height());
        }

        // What lies wholly below a grown text moves down by its growth; boxes
        // and lines around a grown text grow with it.
        double delta = 0;
        for (size_t i = 0; i < placed.size(); ++i) {
            Placed &p = placed[i];
            const QRectF box = p.e->box.normalized();
            for (size_t j = 0; j < placed.size(); ++j) {
                const Placed &t = placed[j];
                if (j >= i || t.e->kind != Element::Text)
                    continue;
                if (t.e->box.bottom() <= box.top() + epsilon)
                    p.shift = std::max(p.shift, t.shift + t.extra);
            }
            delta = std::max(delta, p.shift + p.extra);
        }
        for (Placed &p : placed) {
            if (p.e->kind == Element::Text)
                continue;
            const QRectF box = p.e->box.normalized();
            for (const Placed &t : placed)
                if (t.e->kind == Element::Text && t.e->box.top() >= box.top() - epsilon
                    && t.e->box.bottom() <= box.bottom() + epsilon && box.height() > epsilon)
                    p.grow = std::max(p.grow, t.shift + t.extra - p.shift);
            delta = std::max(delta, p.shift + p.grow);
        }

        for (const Placed &p : placed) {
            const Element &e = *p.e;
            const QPointF offset(m_left, p.shift);
            switch (e.kind) {
            case Element::Text: {
                const QRectF box = e.box.translated(offset);
                addText(out, p.lines, box, p.font, e.align);
                break;
            }
            case Element::Line: {
                QPointF a = e.box.topLeft() + offset, b = e.box.bottomRight() + offset;
                (a.y() > b.y() ? a : b).ry() += p.grow;
                out.push_back(line(a, b, e.lineWidth));
                break;
            }
            case Element::Rect:
                out.push_back(rect(e.box.translated(offset).adjusted(0, 0, 0, p.grow), e.lineWidth, e.fillGray));
                break;
            }
        }
        return band.height + delta;
    }

    // The detail band: a table with its header row on every page. The last
    // `keepRows` rows stay on one page with the `closingHeight` points that
    // follow the table (fewer when they cannot share one page), so the block
    // after the table never stands alone on a page.
    void layoutTable(const Band &band, ReportDataConnection &rows, double closingHeight, int keepRows)
    {
        const quint16 headerFont = m_fonts.index(band.headerFont);
        const quint16 bodyFont = m_fonts.index(band.font);
        const double pad = band.padding;
        const double lh = m_fonts.lineHeight(bodyFont);
        std::vector<double> xs{m_left};
        for (const Column &c : band.columns)
            xs.push_back(xs.back() + c.width);

        std::vector<QStringList> headerLines;
        int headerCount = 1;
        for (const Column &c : band.columns) {
            headerLines.push_back(wrapText(c.title, c.width - 2 * pad, m_fonts.metrics(headerFont)));
            headerCount = std::max(headerCount, int(headerLines.back().size()));
        }
        const double headerHeight = headerCount * m_fonts.lineHeight(headerFont) + 2 * pad;

        double tableTop = 0;
        bool rowsOnPage = false;
        auto openTable = [&] {
            tableTop = m_y;
            auto &out = items();
            out.push_back(rect(QRectF(m_left, m_y, xs.back() - m_left, headerHeight), 0, band.headerGray));
            for (size_t i = 0; i < headerLines.size(); ++i)
                addText(out, headerLines[i], QRectF(xs[i] + pad, m_y + pad, xs[i + 1] - xs[i] - 2 * pad, 0),
                        headerFont, Align::Center);
            m_y += headerHeight;
            out.push_back(line(QPointF(m_left, m_y), QPointF(xs.back(), m_y), 0.5));
            rowsOnPage = false;
        };
        auto closeTable = [&] {
            auto &out = items();
            out.push_back(rect(QRectF(m_left, tableTop, xs.back() - m_left, m_y - tableTop), 0.75, -1));
            for (size_t i = 1; i + 1 < xs.size(); ++i)
                out.push_back(line(QPointF(xs[i], tableTop), QPointF(xs[i], m_y), 0.35));
        };
        auto nextPage = [&] {
            closeTable();
            startPage();
            openTable();
        };

        struct TableRow {
            std::vector<QStringList> cells;
            double height = 0;
        };
        auto readRow = [&] {
            TableRow row;
            row.cells.resize(size_t(band.columns.size()));
            int lineCount = 1;
            for (qsizetype i = 0; i < band.columns.size(); ++i) {
                const Column &c = band.columns.at(i);
                row.cells[size_t(i)] = wrapText(eval(c.text), c.width - 2 * pad, m_fonts.metrics(bodyFont));
                lineCount = std::max(lineCount, int(row.cells[size_t(i)].size()));
            }
            row.height = lineCount * lh + 2 * pad;
            return row;
        };
        auto placeRow = [&](const TableRow &row) {
            if (rowsOnPage && m_y + row.height > m_contentBottom + epsilon)
                nextPage();
            auto &out = items();
            if (rowsOnPage)
                out.push_back(line(QPointF(m_left, m_y), QPointF(xs.back(), m_y), 0.25));
            for (size_t i = 0; i < row.cells.size(); ++i)
                addText(out, row.cells[i], QRectF(xs[i] + pad, m_y + pad, xs[i + 1] - xs[i] - 2 * pad, 0), bodyFont,
                        band.columns.at(qsizetype(i)).align);
            m_y += row.height;
            rowsOnPage = true;
        };

        // The last rows are read ahead. Of them, `kept` share a page with the
        // closing block: as many as fit on a page of their own with it.
        const int tailStart = closingHeight > 0 ? std::max(0, m_count - std::max(keepRows, 0)) : m_count;
        std::vector<TableRow> tail;
        size_t kept = 0;
        double keptHeight = 0;
        auto readTail = [&] {
            for (; !rows.eof(); rows.next())
                tail.push_back(readRow());
            const double room = m_contentBottom - m_laterContentTop - headerHeight - closingHeight;
            for (auto it = tail.rbegin(); it != tail.rend() && keptHeight + it->height <= room + epsilon; ++it) {
                keptHeight += it->height;
                ++kept;
            }
        };

        if (tailStart == 0)
            readTail();
        const double firstNeed =
            headerHeight + (kept > 0 && kept == tail.size() ? keptHeight + closingHeight : lh + 2 * pad);
        if (m_y + firstNeed > m_contentBottom + epsilon && m_y > m_pageContentTop + epsilon)
            startPage();
        openTable();
        for (int index = 0; index < tailStart && !rows.eof(); ++index, rows.next())
            placeRow(readRow());
        if (tailStart > 0)
            readTail();
        for (size_t i = 0; i < tail.size(); ++i) {
            if (kept > 0 && i == tail.size() - kept && rowsOnPage
                && m_y + keptHeight + closingHeight > m_contentBottom + epsilon)
                nextPage();
            placeRow(tail[i]);
        }
        closeTable();
    }

    const ReportDef &m_def;
    const ConnectionMap &m_connections;
    const std::function<void(int)> &m_pageStarted;
    FontTable m_fonts;
    LaidOutReport m_out;
    double m_left = 0, m_top = 0, m_bottom = 0, m_width = 0;
    double m_footerHeight = 0, m_contentBottom = 0, m_pageContentTop = 0;
    double m_laterContentTop = 0;   ///< where content starts below the page header
    double m_y = 0;
    int m_page = 0;
    int m_count = 0;
};

} // namespace

QFont reportFont(const FontStyle &style, double dpi, double size)
{
    QFont font(style.family);
    font.setPointSizeF((size > 0 ? size : style.size) * 72.0 / dpi);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

QStringList wrapText(const QString &text, double width, const QFontMetricsF &metrics)
{
    QStringList lines;
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (const QString &paragraph : paragraphs) {
        if (advance(metrics, paragraph) <= width) {
            lines << paragraph;
            continue;
        }
        QString current;
        const QStringList words = paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString &word : words) {
            const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
            if (advance(metrics, candidate) <= width) {
                current = candidate;
                continue;
            }
            if (!current.isEmpty())
                lines << current;
            current.clear();
            if (advance(metrics, word) <= width)
                current = word;
            else
                breakWord(word, width, metrics, lines, current);
        }
        lines << current;
    }
    return lines;
}

QString fieldText(const QVariant &value, const QString &format)
{
    if (value.isNull())
        return {};
    QString text;
    switch (value.typeId()) {
    case QMetaType::QDate: text = value.toDate().toString(QStringLiteral("dd/MM/yyyy")); break;
    case QMetaType::QDateTime: text = value.toDateTime().date().toString(QStringLiteral("dd/MM/yyyy")); break;
    default: text = value.toString(); break;
    }
    if (format == QLatin1String("date")) {
        const QDate d = QDate::fromString(text.left(10), Qt::ISODate);
        if (d.isValid())
            text = d.toString(QStringLiteral("dd/MM/yyyy"));
    } else if (format == QLatin1String("cnpj")) {
        QString digits;
        for (const QChar c : text)
            if (c.isDigit())
                digits += c;
        if (digits.size() == 14)
            text = QStringLiteral("%1.%2.%3/%4-%5")
                       .arg(digits.mid(0, 2), digits.mid(2, 3), digits.mid(5, 3), digits.mid(8, 4), digits.mid(12, 2));
    } else if (format == QLatin1String("upper")) {
        text = text.toUpper();
    }
    return text;
}

LaidOutReport layoutReport(const ReportDef &report, const ConnectionMap &connections,
                           const std::function<void(int)> &pageStarted)
{
    return Layouter(report, connections, pageStarted).run();
}

} // namespace velix::report
