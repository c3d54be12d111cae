#include "reportfuzz.h"

#include "data/tabelas.h"
#include "report/reportdata.h"
#include "report/reportdefinition.h"
#include "report/reportlayout.h"
#include "report/reportrender.h"

#include <QDate>
#include <QImage>
#include <QPainter>

namespace velix::fuzz {
namespace {

QStringList columnsOf(const char *table)
{
    return columnList(QLatin1String(table)).split(QStringLiteral(", "));
}

report::MemoryConnection dadosGer()
{
    const QStringList fields = columnsOf("DADOSGER");
    QVariantList row;
    for (const QString &f : fields)
        row << (f == QLatin1String("CGC") ? QStringLiteral("12345678000195") : f + QStringLiteral(" da farmácia"));
    return report::MemoryConnection(fields, {row});
}

report::MemoryConnection livro()
{
    const QStringList fields = columnsOf("VELIX6");
    QVector<QVariantList> rows;
    for (int i = 0; i < 30; ++i) {
        QVariantList row;
        for (const QString &f : fields) {
            if (f == QLatin1String("DATA"))
                row << QDate(2026, 11, 1 + i % 28);
            else if (i % 7 == 3)
                row << QVariant();   // empty fields too
            else
                row << QStringLiteral("%1 %2 ÁÇÕ").arg(f).arg(i).repeated(1 + i % 3);
        }
        rows << row;
    }
    return report::MemoryConnection(fields, rows);
}

} // namespace

void layOutDefinition(const QByteArray &definition)
{
    report::MemoryConnection registration = dadosGer();
    report::MemoryConnection book = livro();
    const report::ConnectionSchema schema{{QStringLiteral("rvdsDadosGer"), registration.fieldNames()},
                                          {QStringLiteral("rvdsVELIX6"), book.fieldNames()}};
    const report::ReportProjectDef project = report::parseReportProject(definition, QStringLiteral("VELIX6.rav"), schema);
    const report::ConnectionMap connections{{QStringLiteral("rvdsDadosGer"), &registration},
                                            {QStringLiteral("rvdsVELIX6"), &book}};
    for (const report::ReportDef &def : project.reports) {
        const report::LaidOutReport out = report::layoutReport(def, connections);
        report::htmlPage(out);
        if (!out.pages.empty()) {
            // The first page painted small: what the preview and the printer do.
            QImage image(60, 85, QImage::Format_RGB32);
            QPainter painter(&image);
            painter.scale(60.0 / 842, 60.0 / 842);
            report::paintLaidOutPage(out, 0, painter);
        }
    }
}

} // namespace velix::fuzz
