#pragma once
// The layout engine: runs a report definition over its data connections and
// produces pages of draw items (text lines, lines, rectangles) in points. The
// renderers (PDF, HTML, screen, printer) only paint these items, so every
// output shows the same pages.
//
// Texts never get cut: a field longer than its cell wraps onto more lines
// (the table row grows); a fixed text first shrinks down to its smallest font
// and then grows its band, pushing what lies below it down.
//
// Needs a QGuiApplication (fonts are measured with the real font files).

#include "report/reportdata.h"
#include "report/reportdefinition.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QFont;

namespace velix::report {

struct DrawItem {
    enum Kind : quint8 { Text, Line, Rect };
    Kind kind = Text;
    Align align = Align::Left;
    qint16 fillGray = -1;     ///< Rect: 0-255 fill, -1 none
    quint16 font = 0;         ///< Text: index into LaidOutReport::fonts
    float lineWidth = 0.5f;   ///< Line, Rect: points (0: no outline for a filled Rect)
    QRectF rect;              ///< Text: the line's box; Line: p1 = topLeft, p2 = bottomRight
    QString text;             ///< Text: one line, already wrapped
};

struct LaidOutPage {
    std::vector<DrawItem> items;
};

struct LaidOutReport {
    QString name;             ///< the report's name in the definition file
    QString title;
    QPageLayout page;
    std::vector<FontStyle> fonts;
    std::vector<LaidOutPage> pages;
    int rowCount = 0;         ///< rows of the detail connection
};

using ConnectionMap = QHash<QString, ReportDataConnection *>;

/// Lays the report out over the connections (by name). A connection the
/// report names but the map lacks reads as empty. `pageStarted` is told the
/// number of each new page. Leaves every connection on its first row.
LaidOutReport layoutReport(const ReportDef &report, const ConnectionMap &connections,
                           const std::function<void(int page)> &pageStarted = {});

/// The font as the engine measures and draws it, `size` in points for a
/// device of `dpi` dots per inch.
QFont reportFont(const FontStyle &style, double dpi = 72, double size = 0);

/// Breaks `text` into lines no wider than `width` points: at blanks where it
/// can, inside a word when the word alone is wider; explicit line breaks are
/// kept. Every character but the blanks at the breaks stays.
QStringList wrapText(const QString &text, double width, const QFontMetricsF &metrics);

/// The text of a field value as the reports print it: dates dd/mm/yyyy, null
/// as empty; `format` "cnpj" punctuates 14 digits as 00.000.000/0000-00,
/// "upper" turns to capitals, "date" reads ISO dates in texts.
QString fieldText(const QVariant &value, const QString &format = {});

} // namespace velix::report
