#pragma once
// The one seam through which every modal interaction of the program passes:
// plain message boxes, the general error dialog, the report preview and the
// printer dialog. The window installs the seam that shows real dialogs; tests
// install one that records what was shown and answers it, so nothing modal
// ever blocks a test. With no seam installed, messages are written to the
// standard error stream and questions get their default answer.
//
// All functions are to be called from the main (user-interface) thread only.

#include "platform/errors.h"

#include <QElapsedTimer>
#include <QPageLayout>
#include <QString>

class QPainter;

namespace velix {

/// The printer the report engine prints on, and its settings. Chosen in the
/// printer-setup dialog; kept for the rest of the run.
struct PrinterChoice {
    QString printerName;          ///< empty: the system's default printer
    QPageLayout pageLayout;       ///< invalid: the report's own page layout
    int copies = 1;
    bool collate = true;
};

/// A rendered report as the preview shows it: pages that can be painted, and
/// saved to a file. Implemented by the report engine.
class ReportDocument {
public:
    virtual ~ReportDocument() = default;
    virtual QString title() const = 0;
    virtual int pageCount() const = 0;
    /// Size and orientation of every page.
    virtual QPageLayout pageLayout() const = 0;
    /// Paints page `index` (0-based). The painter's window is the full page
    /// in points (1/72 inch), whatever the device.
    virtual void paintPage(int index, QPainter &painter) const = 0;
    /// Saves the whole report; the format comes from the name's extension
    /// (".pdf", ".html"/".htm"). Throws Error on failure.
    virtual void saveAs(const QString &fileName) const = 0;
};

enum class MessageIcon { None, Information, Warning, Critical };

class ModalSeam {
public:
    virtual ~ModalSeam() = default;

    /// A plain message box with an OK button; returns when the user closed it.
    virtual void showMessage(const QString &text, MessageIcon icon = MessageIcon::None) = 0;

    /// A plain message that does not wait for the user: shown in a box that is
    /// not modal, and the caller goes on at once. For what is said while a long
    /// command works (it may hold a transaction open meanwhile). A second
    /// notice replaces the text of one still shown. The default shows it as
    /// showMessage() does.
    virtual void showNotice(const QString &text) { showMessage(text); }

    /// The general error handler's detailed error dialog.
    virtual void showError(const ErrorReport &report) = 0;

    /// The report preview, modal: returns when the user has closed it. The user
    /// may print from it on `printer` or save it to a file.
    virtual void showPreview(const ReportDocument &document, const PrinterChoice &printer) = 0;

    /// The print-setup dialog for `printer`; returns true and updates `printer`
    /// when the user confirms, false (nothing changed) otherwise.
    virtual bool printerSetup(PrinterChoice &printer) = 0;

    /// A small status window that is not modal, titled `title` and showing
    /// `text` ("Generating page 12"), over the window that is working; the
    /// work goes on while it shows. updateStatus() changes its text,
    /// hideStatus() closes it. Only one is open at a time; showing it again
    /// replaces the text. The default shows nothing.
    virtual void showStatus(const QString &title, const QString &text) { (void)title; (void)text; }
    virtual void updateStatus(const QString &text) { (void)text; }
    virtual void hideStatus() {}
};

/// The status window of a long run through the modal seam, shown only when the
/// run lasts: not before `delayMs`, then its text changed at most every
/// `intervalMs`, so a quick run shows nothing and a long one costs a few
/// updates a second. Hidden when this object goes away.
///
///   StatusWindow status(QStringLiteral("Report Status"), QStringLiteral("Generating page %p"));
///   for (...) status.step(page);           // %p becomes the number
class StatusWindow {
public:
    StatusWindow(QString title, QString format, int delayMs = 400, int intervalMs = 250);
    ~StatusWindow();
    StatusWindow(const StatusWindow &) = delete;
    StatusWindow &operator=(const StatusWindow &) = delete;

    void step(int number);
    bool shown() const { return m_shown; }

private:
    QString m_title;
    QString m_format;
    int m_delay;
    int m_interval;
    QElapsedTimer m_clock;
    qint64 m_lastUpdate = 0;
    bool m_shown = false;
};

/// The seam in force (never null).
ModalSeam &modal();

/// Installs a seam; nullptr restores the default one. Returns the previous seam
/// (nullptr when it was the default).
ModalSeam *setModal(ModalSeam *seam);

/// Short form used everywhere a Part shows a plain message box.
inline void ShowMessage(const QString &text) { modal().showMessage(text); }

} // namespace velix
