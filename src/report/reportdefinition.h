#pragma once
// The report definition file: a JSON document of our own (docs/report-format.md)
// holding named reports made of bands. Loading checks the whole file against
// the connections the program offers, so a bad file fails before any page is
// laid out, with an error that names the file and what is wrong.

#include "platform/errors.h"

#include <QList>
#include <QMap>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace velix::report {

/// An error of the report engine or of a report definition file.
class ReportError : public Error {
public:
    explicit ReportError(const QString &message) : Error(message, QStringLiteral("EReportError")) {}
};

/// The connections a definition may name, with their fields.
using ConnectionSchema = QMap<QString, QStringList>;

/// The font sizes, in points, a definition may ask for; also the bounds of a
/// text's shrinking, whatever the file says.
constexpr double minFontSize = 1;
constexpr double maxFontSize = 200;

struct FontStyle {
    QString family = QStringLiteral("Liberation Sans");
    double size = 9;      ///< points
    bool bold = false;
    bool italic = false;
    bool operator==(const FontStyle &) const = default;
};

enum class Align { Left, Center, Right };

/// A text with references, parsed once: "Página {PAGE} de {PAGES}",
/// "{rvdsDadosGer.CGC|cnpj}".
///
/// Separators in square brackets split a text into parts that each stand for
/// a value: "{rvdsDadosGer.MES}[ / ]{rvdsDadosGer.EXERCICIO}". A part whose
/// references are all blank is left out with its own text ("CNPJ {...CGC}"),
/// and a separator prints only between two parts that print (the first
/// separator between them when parts in between were left out). A text
/// without separators prints whole, blank values as nothing.
struct TextPiece {
    enum Kind { Literal, Field, Page, Pages, Count, Separator };
    Kind kind = Literal;
    QString text;        ///< Literal, Separator: the text; Field: the field name
    QString connection;  ///< Field only
    QString format;      ///< Field only: "", "date", "cnpj" or "upper"
};

struct TextTemplate {
    QList<TextPiece> pieces;
    bool usesPages() const;
    bool hasSeparators() const;
};

/// Parses a text with references; throws ReportError naming `where`.
TextTemplate parseTemplate(const QString &text, const ConnectionSchema &schema, const QString &where);

struct Element {
    enum Kind { Text, Line, Rect };
    Kind kind = Text;
    QRectF box;             ///< points; for a line, from topLeft to bottomRight
    TextTemplate text;
    FontStyle font;
    Align align = Align::Left;
    double lineWidth = 0.5; ///< points
    int fillGray = -1;      ///< Rect: 0-255 fill, -1 none
    bool shrink = true;     ///< Text: smaller font before growing when too long
    double minSize = 6;     ///< Text: smallest font when shrinking (minFontSize-maxFontSize)
};

struct Column {
    QString title;
    TextTemplate text;
    double width = 0;       ///< points
    Align align = Align::Left;
};

enum class BandKind { PageHeader, Title, Detail, NoData, Summary, PageFooter };

struct Band {
    BandKind kind = BandKind::Title;
    double height = 0;          ///< points; grows when its texts need more room
    QList<Element> elements;
    bool onFirstPage = true;    ///< PageHeader: also on the first page
    bool atBottom = false;      ///< Summary: at the foot of the last page
    int keepWithRows = 1;       ///< Summary: last table rows kept on its page
    // Detail only:
    QString connection;
    QList<Column> columns;
    FontStyle headerFont;
    FontStyle font;
    double padding = 2;         ///< points around each cell's text
    int headerGray = 225;
};

struct ReportDef {
    QString name;
    QString title;
    QPageLayout page;           ///< size, orientation and margins
    QList<Band> bands;
    const Band *band(BandKind kind) const;
};

struct ReportProjectDef {
    QString fileName;
    QList<ReportDef> reports;
    /// The report by name (exact), nullptr when the file has none.
    const ReportDef *find(const QString &name) const;
};

/// Reads a definition file. Throws ReportError when the file is missing
/// ("The following reporting project does not exist:" and the path), cannot
/// be read or is not a valid definition.
ReportProjectDef loadReportProject(const QString &fileName, const ConnectionSchema &schema);

/// Reads a definition from bytes; `fileName` names it in errors.
ReportProjectDef parseReportProject(const QByteArray &json, const QString &fileName,
                                    const ConnectionSchema &schema);

/// The text of the missing-file error.
QString missingProjectMessage(const QString &fileName);

} // namespace velix::report
