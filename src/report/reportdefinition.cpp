#include "report/reportdefinition.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPageSize>

#include <cmath>

namespace velix::report {
namespace {

constexpr double pointsPerCm = 72.0 / 2.54;

// What a definition file may ask for. A file edited by hand can hold any
// number: each one is checked here, before anything is laid out, so that a
// slip of the keyboard gives a clear error instead of a black page or a
// layout that never ends.
constexpr double maxCm = 100;          // positions, sizes, padding, column widths
constexpr double maxMarginCm = 20;
constexpr double maxLineWidth = 20;    // points
constexpr double maxKeepWithRows = 1000;

// Reads one definition file; every error names the file and the place in it.
class Reader {
public:
    Reader(const QString &fileName, const ConnectionSchema &schema) : m_file(fileName), m_schema(schema) {}

    [[noreturn]] void fail(const QString &what) const
    {
        throw ReportError(QStringLiteral("Report definition file \"%1\": %2").arg(m_file, what));
    }

    void checkKeys(const QJsonObject &o, std::initializer_list<const char *> allowed, const QString &where) const
    {
        for (auto it = o.begin(); it != o.end(); ++it) {
            bool known = false;
            for (const char *k : allowed)
                known = known || it.key() == QLatin1String(k);
            if (!known)
                fail(QStringLiteral("unknown key \"%1\" in %2").arg(it.key(), where));
        }
    }

    double number(const QJsonObject &o, const char *key, double fallback, const QString &where, bool required = false) const
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined()) {
            if (required)
                fail(QStringLiteral("%1 has no \"%2\"").arg(where, QLatin1String(key)));
            return fallback;
        }
        if (!v.isDouble())
            fail(QStringLiteral("\"%1\" in %2 is not a number").arg(QLatin1String(key), where));
        return v.toDouble();
    }

    /// A number that must lie within [low, high] (and be whole when asked).
    double ranged(const QJsonObject &o, const char *key, double fallback, double low, double high,
                  const QString &where, bool required = false) const
    {
        const double value = number(o, key, fallback, where, required);
        checkRange(value, key, low, high, where);
        return value;
    }

    void checkRange(double value, const char *key, double low, double high, const QString &where) const
    {
        if (!(value >= low && value <= high))   // also false for NaN
            fail(QStringLiteral("\"%1\" in %2 is %3, outside %4 to %5")
                     .arg(QLatin1String(key), where, QString::number(value, 'g', 12), QString::number(low),
                          QString::number(high)));
    }

    int whole(const QJsonObject &o, const char *key, int fallback, int low, int high, const QString &where,
              const QString &what) const
    {
        const double value = number(o, key, fallback, where);
        if (value != std::floor(value))
            fail(QStringLiteral("\"%1\" in %2 is not a whole number%3").arg(QLatin1String(key), where, what));
        checkRange(value, key, low, high, where);
        return int(value);
    }

    double cm(const QJsonObject &o, const char *key, double fallbackCm, const QString &where, bool required = false) const
    {
        const double value = number(o, key, fallbackCm, where, required);
        if (value < 0)
            fail(QStringLiteral("\"%1\" in %2 is negative").arg(QLatin1String(key), where));
        checkRange(value, key, 0, maxCm, where);
        return value * pointsPerCm;
    }

    QString text(const QJsonObject &o, const char *key, const QString &where, bool required = false) const
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined()) {
            if (required)
                fail(QStringLiteral("%1 has no \"%2\"").arg(where, QLatin1String(key)));
            return {};
        }
        if (!v.isString())
            fail(QStringLiteral("\"%1\" in %2 is not a text").arg(QLatin1String(key), where));
        return v.toString();
    }

    bool flag(const QJsonObject &o, const char *key, bool fallback, const QString &where) const
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return fallback;
        if (!v.isBool())
            fail(QStringLiteral("\"%1\" in %2 is not true or false").arg(QLatin1String(key), where));
        return v.toBool();
    }

    QJsonObject object(const QJsonValue &v, const QString &where) const
    {
        if (!v.isObject())
            fail(QStringLiteral("%1 is not an object").arg(where));
        return v.toObject();
    }

    QJsonArray array(const QJsonObject &o, const char *key, const QString &where) const
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return {};
        if (!v.isArray())
            fail(QStringLiteral("\"%1\" in %2 is not a list").arg(QLatin1String(key), where));
        return v.toArray();
    }

    FontStyle font(const QJsonObject &o, const char *key, FontStyle base, const QString &where) const
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return base;
        const QString here = QStringLiteral("the font of %1").arg(where);
        const QJsonObject f = object(v, here);
        checkKeys(f, {"family", "size", "bold", "italic"}, here);
        if (f.contains(QLatin1String("family")))
            base.family = text(f, "family", here);
        base.size = number(f, "size", base.size, here);
        if (!(base.size >= minFontSize && base.size <= maxFontSize))
            fail(QStringLiteral("font size %1 in %2 is out of range").arg(base.size).arg(where));
        base.bold = flag(f, "bold", base.bold, here);
        base.italic = flag(f, "italic", base.italic, here);
        return base;
    }

    Align align(const QJsonObject &o, const QString &where) const
    {
        const QString a = text(o, "align", where);
        if (a.isEmpty() || a == QLatin1String("left"))
            return Align::Left;
        if (a == QLatin1String("center"))
            return Align::Center;
        if (a == QLatin1String("right"))
            return Align::Right;
        fail(QStringLiteral("unknown alignment \"%1\" in %2").arg(a, where));
    }

    TextTemplate textTemplate(const QJsonObject &o, const char *key, const QString &where) const
    {
        try {
            return parseTemplate(text(o, key, where), m_schema, where);
        } catch (const ReportError &e) {
            fail(e.message());
        }
    }

    Element element(const QJsonObject &o, const FontStyle &baseFont, const QString &where) const
    {
        Element e;
        const QString type = text(o, "type", where, true);
        if (type == QLatin1String("text")) {
            checkKeys(o, {"type", "x", "y", "width", "height", "text", "font", "align", "shrink", "minSize"}, where);
            e.kind = Element::Text;
            e.box = QRectF(cm(o, "x", 0, where), cm(o, "y", 0, where), cm(o, "width", 0, where, true),
                           cm(o, "height", 0, where, true));
            e.text = textTemplate(o, "text", where);
            e.font = font(o, "font", baseFont, where);
            e.align = align(o, where);
            e.shrink = flag(o, "shrink", true, where);
            e.minSize = ranged(o, "minSize", 6, minFontSize, maxFontSize, where);
        } else if (type == QLatin1String("line")) {
            checkKeys(o, {"type", "x1", "y1", "x2", "y2", "lineWidth"}, where);
            e.kind = Element::Line;
            e.box = QRectF(QPointF(cm(o, "x1", 0, where), cm(o, "y1", 0, where)),
                           QPointF(cm(o, "x2", 0, where), cm(o, "y2", 0, where)));
            e.lineWidth = ranged(o, "lineWidth", 0.5, 0, maxLineWidth, where);
        } else if (type == QLatin1String("rect")) {
            checkKeys(o, {"type", "x", "y", "width", "height", "lineWidth", "fill"}, where);
            e.kind = Element::Rect;
            e.box = QRectF(cm(o, "x", 0, where), cm(o, "y", 0, where), cm(o, "width", 0, where, true),
                           cm(o, "height", 0, where, true));
            e.lineWidth = ranged(o, "lineWidth", 0.5, 0, maxLineWidth, where);
            if (o.contains(QLatin1String("fill")))
                e.fillGray = whole(o, "fill", 0, 0, 255, where, QString());
        } else {
            fail(QStringLiteral("unknown element type \"%1\" in %2").arg(type, where));
        }
        return e;
    }

    Band band(const QJsonObject &o, const FontStyle &baseFont, const QString &where) const
    {
        Band b;
        const QString kind = text(o, "kind", where, true);
        static const QList<std::pair<QString, BandKind>> kinds = {
            {QStringLiteral("pageHeader"), BandKind::PageHeader}, {QStringLiteral("title"), BandKind::Title},
            {QStringLiteral("detail"), BandKind::Detail},         {QStringLiteral("noData"), BandKind::NoData},
            {QStringLiteral("summary"), BandKind::Summary},       {QStringLiteral("pageFooter"), BandKind::PageFooter}};
        auto found = std::find_if(kinds.begin(), kinds.end(), [&](const auto &k) { return k.first == kind; });
        if (found == kinds.end())
            fail(QStringLiteral("unknown band kind \"%1\" in %2").arg(kind, where));
        b.kind = found->second;
        const QString here = QStringLiteral("%1 (%2)").arg(where, kind);

        if (b.kind == BandKind::Detail) {
            checkKeys(o, {"kind", "connection", "font", "headerFont", "padding", "headerFill", "columns"}, here);
            b.connection = text(o, "connection", here, true);
            if (!m_schema.contains(b.connection))
                fail(QStringLiteral("unknown connection \"%1\" in %2").arg(b.connection, here));
            b.font = font(o, "font", baseFont, here);
            FontStyle bold = b.font;
            bold.bold = true;
            b.headerFont = font(o, "headerFont", bold, here);
            b.padding = cm(o, "padding", 0.07, here);
            b.headerGray = whole(o, "headerFill", 225, 0, 255, here, QString());
            const QJsonArray columns = array(o, "columns", here);
            if (columns.isEmpty())
                fail(QStringLiteral("%1 has no columns").arg(here));
            for (int i = 0; i < columns.size(); ++i) {
                const QString at = QStringLiteral("%1, column %2").arg(here).arg(i + 1);
                const QJsonObject c = object(columns.at(i), at);
                checkKeys(c, {"title", "text", "width", "align"}, at);
                Column col;
                col.title = text(c, "title", at);
                col.text = textTemplate(c, "text", at);
                col.width = cm(c, "width", 0, at, true);
                col.align = align(c, at);
                b.columns.append(col);
            }
            return b;
        }

        checkKeys(o, {"kind", "height", "elements", "onFirstPage", "atBottom", "keepWithRows"}, here);
        b.height = cm(o, "height", 0, here, true);
        b.onFirstPage = flag(o, "onFirstPage", true, here);
        b.atBottom = flag(o, "atBottom", false, here);
        b.keepWithRows = whole(o, "keepWithRows", 1, 0, int(maxKeepWithRows), here, QStringLiteral(" of rows"));
        const QJsonArray elements = array(o, "elements", here);
        for (int i = 0; i < elements.size(); ++i) {
            const QString at = QStringLiteral("%1, element %2").arg(here).arg(i + 1);
            b.elements.append(element(object(elements.at(i), at), baseFont, at));
        }
        return b;
    }

    QPageLayout page(const QJsonObject &report, const QString &where) const
    {
        const QJsonValue v = report.value(QLatin1String("page"));
        QJsonObject p;
        const QString here = QStringLiteral("the page of %1").arg(where);
        if (!v.isUndefined())
            p = object(v, here);
        checkKeys(p, {"size", "orientation", "margins"}, here);
        const QString size = p.contains(QLatin1String("size")) ? text(p, "size", here) : QStringLiteral("A4");
        QPageSize pageSize;
        if (size == QLatin1String("A4"))
            pageSize = QPageSize(QPageSize::A4);
        else if (size == QLatin1String("Letter"))
            pageSize = QPageSize(QPageSize::Letter);
        else if (size == QLatin1String("Legal"))
            pageSize = QPageSize(QPageSize::Legal);
        else
            fail(QStringLiteral("unknown page size \"%1\" in %2").arg(size, where));
        const QString orientation = p.contains(QLatin1String("orientation")) ? text(p, "orientation", here)
                                                                             : QStringLiteral("portrait");
        if (orientation != QLatin1String("portrait") && orientation != QLatin1String("landscape"))
            fail(QStringLiteral("unknown orientation \"%1\" in %2").arg(orientation, where));
        QMarginsF margins(1, 1, 1, 1);
        const QJsonArray m = array(p, "margins", here);
        if (!m.isEmpty()) {
            if (m.size() != 4 || !m.at(0).isDouble() || !m.at(1).isDouble() || !m.at(2).isDouble() || !m.at(3).isDouble())
                fail(QStringLiteral("\"margins\" in %1 must be four numbers (left, top, right, bottom)").arg(here));
            margins = QMarginsF(m.at(0).toDouble(), m.at(1).toDouble(), m.at(2).toDouble(), m.at(3).toDouble());
            for (int i = 0; i < 4; ++i)
                checkRange(m.at(i).toDouble(), "margins", 0, maxMarginCm, here);
        }
        const QSizeF full = pageSize.size(QPageSize::Millimeter) / 10;
        const QSizeF paper = orientation == QLatin1String("landscape") ? full.transposed() : full;
        if (margins.left() + margins.right() >= paper.width() - 1 || margins.top() + margins.bottom() >= paper.height() - 1)
            fail(QStringLiteral("\"margins\" in %1 leave less than 1 cm of the page").arg(here));
        return QPageLayout(pageSize,
                           orientation == QLatin1String("landscape") ? QPageLayout::Landscape : QPageLayout::Portrait,
                           margins * pointsPerCm, QPageLayout::Point);
    }

    ReportProjectDef read(const QByteArray &json) const
    {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
        if (error.error != QJsonParseError::NoError)
            fail(QStringLiteral("not valid JSON at offset %1: %2").arg(error.offset).arg(error.errorString()));
        if (!doc.isObject())
            fail(QStringLiteral("the file is not a JSON object"));
        const QJsonObject root = doc.object();
        checkKeys(root, {"format", "version", "font", "reports"}, QStringLiteral("the file"));
        if (root.value(QLatin1String("format")).toString() != QLatin1String("VELIX6 report definition"))
            fail(QStringLiteral("\"format\" is not \"VELIX6 report definition\""));
        if (number(root, "version", 1, QStringLiteral("the file")) != 1)
            fail(QStringLiteral("version %1 is not supported").arg(root.value(QLatin1String("version")).toDouble()));
        const FontStyle baseFont = font(root, "font", FontStyle(), QStringLiteral("the file"));

        ReportProjectDef project;
        project.fileName = m_file;
        const QJsonArray reports = array(root, "reports", QStringLiteral("the file"));
        for (int i = 0; i < reports.size(); ++i) {
            QString where = QStringLiteral("report %1").arg(i + 1);
            const QJsonObject r = object(reports.at(i), where);
            ReportDef report;
            report.name = text(r, "name", where).trimmed();
            if (report.name.isEmpty())
                fail(QStringLiteral("%1 has no name").arg(where));
            where = QStringLiteral("report \"%1\"").arg(report.name);
            if (project.find(report.name))
                fail(QStringLiteral("%1 is defined twice").arg(where));
            checkKeys(r, {"name", "title", "page", "font", "bands"}, where);
            report.title = text(r, "title", where);
            report.page = page(r, where);
            const FontStyle reportFont = font(r, "font", baseFont, where);
            const QJsonArray bands = array(r, "bands", where);
            for (int j = 0; j < bands.size(); ++j) {
                const QString at = QStringLiteral("%1, band %2").arg(where).arg(j + 1);
                const Band b = band(object(bands.at(j), at), reportFont, at);
                if (report.band(b.kind))
                    fail(QStringLiteral("%1 repeats a band kind").arg(at));
                report.bands.append(b);
            }
            if (report.band(BandKind::NoData) && !report.band(BandKind::Detail))
                fail(QStringLiteral("%1 has a noData band but no detail band").arg(where));
            project.reports.append(report);
        }
        return project;
    }

private:
    QString m_file;
    const ConnectionSchema &m_schema;
};

} // namespace

bool TextTemplate::usesPages() const
{
    return std::any_of(pieces.begin(), pieces.end(), [](const TextPiece &p) { return p.kind == TextPiece::Pages; });
}

bool TextTemplate::hasSeparators() const
{
    return std::any_of(pieces.begin(), pieces.end(), [](const TextPiece &p) { return p.kind == TextPiece::Separator; });
}

TextTemplate parseTemplate(const QString &text, const ConnectionSchema &schema, const QString &where)
{
    TextTemplate t;
    QString literal;
    auto flush = [&] {
        if (!literal.isEmpty())
            t.pieces.append(TextPiece{TextPiece::Literal, literal, {}, {}});
        literal.clear();
    };
    auto doubled = [&](qsizetype i) { return i + 1 < text.size() && text.at(i + 1) == text.at(i); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('}') || c == QLatin1Char(']')) {
            if (doubled(i))
                ++i;
            literal += c;
            continue;
        }
        if (c != QLatin1Char('{') && c != QLatin1Char('[')) {
            literal += c;
            continue;
        }
        if (doubled(i)) {
            literal += c;
            ++i;
            continue;
        }
        if (c == QLatin1Char('[')) {
            const qsizetype close = text.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0)
                throw ReportError(QStringLiteral("unclosed \"[\" in the text of %1").arg(where));
            const QString separator = text.mid(i + 1, close - i - 1);
            if (separator.contains(QLatin1Char('{')) || separator.contains(QLatin1Char('[')))
                throw ReportError(QStringLiteral("the separator \"[%1]\" in %2 holds more than text").arg(separator, where));
            i = close;
            flush();
            t.pieces.append(TextPiece{TextPiece::Separator, separator, {}, {}});
            continue;
        }
        const qsizetype close = text.indexOf(QLatin1Char('}'), i + 1);
        if (close < 0)
            throw ReportError(QStringLiteral("unclosed \"{\" in the text of %1").arg(where));
        const QString ref = text.mid(i + 1, close - i - 1).trimmed();
        i = close;
        flush();
        TextPiece piece;
        if (ref == QLatin1String("PAGE")) {
            piece.kind = TextPiece::Page;
        } else if (ref == QLatin1String("PAGES")) {
            piece.kind = TextPiece::Pages;
        } else if (ref == QLatin1String("COUNT")) {
            piece.kind = TextPiece::Count;
        } else {
            piece.kind = TextPiece::Field;
            QString name = ref;
            const qsizetype bar = ref.indexOf(QLatin1Char('|'));
            if (bar >= 0) {
                piece.format = ref.mid(bar + 1).trimmed();
                name = ref.left(bar).trimmed();
                static const QStringList formats = {QStringLiteral("date"), QStringLiteral("cnpj"),
                                                    QStringLiteral("upper")};
                if (!formats.contains(piece.format))
                    throw ReportError(QStringLiteral("unknown format \"%1\" in %2").arg(piece.format, where));
            }
            const qsizetype dot = name.indexOf(QLatin1Char('.'));
            if (dot <= 0)
                throw ReportError(QStringLiteral("\"{%1}\" in %2 is not connection.FIELD").arg(ref, where));
            piece.connection = name.left(dot);
            piece.text = name.mid(dot + 1).toUpper();
            const auto conn = schema.constFind(piece.connection);
            if (conn == schema.constEnd())
                throw ReportError(QStringLiteral("unknown connection \"%1\" in %2").arg(piece.connection, where));
            if (!conn->contains(piece.text, Qt::CaseInsensitive))
                throw ReportError(QStringLiteral("unknown field \"%1\" of connection \"%2\" in %3")
                                      .arg(piece.text, piece.connection, where));
        }
        t.pieces.append(piece);
    }
    flush();
    return t;
}

const Band *ReportDef::band(BandKind kind) const
{
    for (const Band &b : bands)
        if (b.kind == kind)
            return &b;
    return nullptr;
}

const ReportDef *ReportProjectDef::find(const QString &name) const
{
    for (const ReportDef &r : reports)
        if (r.name == name)
            return &r;
    return nullptr;
}

QString missingProjectMessage(const QString &fileName)
{
    return QStringLiteral("The following reporting project does not exist:\n\"%1\"").arg(fileName);
}

ReportProjectDef parseReportProject(const QByteArray &json, const QString &fileName, const ConnectionSchema &schema)
{
    return Reader(fileName, schema).read(json);
}

ReportProjectDef loadReportProject(const QString &fileName, const ConnectionSchema &schema)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile())
        throw ReportError(missingProjectMessage(QDir::toNativeSeparators(fileName)));
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("Report definition file \"%1\": cannot be read (%2)")
                              .arg(fileName, file.errorString()));
    return parseReportProject(file.readAll(), fileName, schema);
}

} // namespace velix::report
