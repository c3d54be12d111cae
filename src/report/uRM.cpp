#include "report/uRM.h"

#include "data/tabelas.h"
#include "platform/paths.h"

#include <QDir>
#include <QScopeGuard>

namespace velix {
namespace {

QStringList columnsOf(const char *table)
{
    return columnList(QLatin1String(table)).split(QStringLiteral(", "));
}

} // namespace

TRvDataSetConnection::TRvDataSetConnection(QString name, QStringList fieldNames)
    : m_name(std::move(name)), m_fields(std::move(fieldNames))
{
}

bool TRvSystem::printerSetup()
{
    PrinterChoice choice = Printer;
    if (!modal().printerSetup(choice))
        return false;
    Printer = choice;
    return true;
}

void TRvSystem::run(const report::ReportDef &report, const report::ConnectionMap &connections)
{
    std::optional<report::RenderedReport> document;
    {
        std::optional<StatusWindow> window;
        if (ShowStatus)
            window.emplace(TitleStatus, StatusFormat, StatusDelayMs, StatusIntervalMs);
        auto status = [&](int page) {
            if (window)
                window->step(page);
            if (ShowStatus && onStatus)
                onStatus(QString(StatusFormat).replace(QLatin1String("%p"), QString::number(page)));
        };
        m_generating = true;
        const auto done = qScopeGuard([this] { m_generating = false; });
        document.emplace(report::layoutReport(report, connections, status), JobTitle);
    }
    // The status window has closed before the preview opens.
    modal().showPreview(*document, Printer);
}

report::ConnectionSchema TRvProject::schema() const
{
    report::ConnectionSchema schema;
    for (const TRvDataSetConnection *c : Connections)
        schema.insert(c->name(), c->fieldNames());
    return schema;
}

void TRvProject::open()
{
    if (!m_project)
        m_project = report::loadReportProject(QDir::toNativeSeparators(ProjectFile), schema());
}

bool TRvProject::execute(const QString &reportName)
{
    open();
    const report::ReportDef *def = m_project->find(reportName);
    if (!def || !Engine)
        return false;
    report::ConnectionMap connections;
    for (TRvDataSetConnection *c : Connections)
        connections.insert(c->name(), c->DataSet);
    Engine->run(*def, connections);
    return true;
}

TRM::TRM()
    : rvdsDadosGer(QStringLiteral("rvdsDadosGer"), columnsOf("DADOSGER")),
      rvdsVELIX6(QStringLiteral("rvdsVELIX6"), columnsOf("VELIX6")),
      rpdf1(report::pdfRenderer()),
      rhtml1(report::htmlRenderer())
{
    rvprjct1.Engine = &rvsystm1;
    rvprjct1.ProjectFile = rootPath(QStringLiteral("RPT/VELIX6.rav"));
    rvprjct1.Connections = {&rvdsDadosGer, &rvdsVELIX6};
}

} // namespace velix
