#pragma once
// The report module RM: the report system that runs the books, the report
// project read from the definition file, the two data connections the
// reports read and the two file renderers offered when a preview is saved.
//
// Created once at start, after the main window and before the data modules;
// to be used from the user-interface thread only.

#include "platform/modal.h"
#include "report/reportdata.h"
#include "report/reportdefinition.h"
#include "report/reportrender.h"

#include <functional>
#include <memory>
#include <optional>

namespace velix {

/// A file renderer of the report module (rpdf1, rhtml1).
using TRvRender = report::ReportRenderer;

/// A named data connection. Its rows come from `DataSet`, which the data
/// module's adapter supplies; without one the connection reads as empty.
class TRvDataSetConnection {
public:
    TRvDataSetConnection(QString name, QStringList fieldNames);
    QString name() const { return m_name; }
    QStringList fieldNames() const { return m_fields; }

    report::ReportDataConnection *DataSet = nullptr;

private:
    QString m_name;
    QStringList m_fields;
};

/// The report system: runs a report and shows it in the modal preview; holds
/// the printer the books print on.
class TRvSystem {
public:
    // Fixed settings.
    QString TitleSetup = QStringLiteral("Output Options");
    QString TitleStatus = QStringLiteral("Report Status");
    QString TitlePreview = QStringLiteral("Report Preview");
    QString StatusFormat = QStringLiteral("Generating page %p");
    QString StatusPrintFormat = QStringLiteral("Printing page %p");
    QString JobTitle = QStringLiteral("ReportPrinter Report");
    enum class Destination { Preview, Printer, File };
    Destination DefaultDest = Destination::Preview;
    bool ShowStatus = true;
    bool AllowPrintFromPreview = true;
    bool PreviewModal = true;
    bool PreviewMaximized = true;
    int PreviewZoom = 100;            ///< per cent
    double UnitsFactor = 2.54;        ///< centimetres

    /// The printer the books print on; printerSetup() changes it for the run.
    PrinterChoice Printer;

    /// Told "Generating page n" for each page while a report is laid out;
    /// nothing when unset.
    std::function<void(const QString &status)> onStatus;
    /// The status window (TitleStatus, StatusFormat) shows while a report is
    /// laid out when ShowStatus is set and the run lasts longer than
    /// StatusDelayMs; its page number changes at most every StatusIntervalMs.
    int StatusDelayMs = 400;
    int StatusIntervalMs = 250;

    /// True while a report is being laid out.
    bool generating() const { return m_generating; }

    void setRenderObject(const TRvRender *render) { m_render = render; }
    const TRvRender *renderObject() const { return m_render; }

    /// The print-setup dialog through the modal seam: a confirmed choice
    /// replaces Printer, a cancelled one changes nothing.
    bool printerSetup();

    /// Lays `report` out over `connections` and shows it in the preview;
    /// returns when the preview is closed.
    void run(const report::ReportDef &report, const report::ConnectionMap &connections);

private:
    const TRvRender *m_render = nullptr;
    bool m_generating = false;
};

/// The report project: the reports of the definition file.
class TRvProject {
public:
    TRvSystem *Engine = nullptr;
    QString ProjectFile;
    QList<TRvDataSetConnection *> Connections;

    bool isOpen() const { return m_project.has_value(); }
    /// Reads ProjectFile. Throws report::ReportError when it is missing
    /// ("The following reporting project does not exist:" and the path) or
    /// not a valid definition.
    void open();
    /// Drops the loaded reports; the next execution reads the file again.
    void close() { m_project.reset(); }
    /// Runs the named report (reading the file first when the project is not
    /// open). A name the file does not hold prints nothing, says nothing and
    /// returns false.
    bool execute(const QString &reportName);

    /// The connections' names and fields, as the definition may name them.
    report::ConnectionSchema schema() const;

private:
    std::optional<report::ReportProjectDef> m_project;
};

class TRM {
public:
    TRM();
    TRM(const TRM &) = delete;
    TRM &operator=(const TRM &) = delete;

    TRvSystem rvsystm1;
    TRvProject rvprjct1;
    TRvDataSetConnection rvdsDadosGer;
    TRvDataSetConnection rvdsVELIX6;
    const TRvRender rpdf1;
    const TRvRender rhtml1;
};

/// The report module; created at start (see RMInstance), never null after.
inline TRM *RM = nullptr;

/// Owns the report module and makes it RM for its lifetime.
class RMInstance {
public:
    RMInstance() : m_rm(std::make_unique<TRM>()) { RM = m_rm.get(); }
    ~RMInstance() { RM = nullptr; }
    TRM &operator*() const { return *m_rm; }
    TRM *operator->() const { return m_rm.get(); }

private:
    std::unique_ptr<TRM> m_rm;
};

} // namespace velix
