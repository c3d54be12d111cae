#pragma once
// A modal seam for tests: records every message and error instead of showing
// it, and answers questions from a queue. Installs itself on construction and
// restores the previous seam on destruction.

#include "platform/modal.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace velix::test {

class RecordingModal : public ModalSeam {
public:
    RecordingModal();
    ~RecordingModal() override;

    void showMessage(const QString &text, MessageIcon icon) override;
    void showError(const ErrorReport &report) override;
    void showPreview(const ReportDocument &document, const PrinterChoice &printer) override;
    bool printerSetup(PrinterChoice &printer) override;
    void showStatus(const QString &title, const QString &text) override;
    void updateStatus(const QString &text) override;
    void hideStatus() override;

    QStringList messages;
    QList<ErrorReport> errors;

    /// Titles and page counts of the previews shown.
    QStringList previews;
    QList<int> previewPages;
    /// When set, each preview is saved to this file (format by extension)
    /// as a user would from the preview's save dialog.
    QString saveEachPreviewTo;
    /// The printer each preview was given (the one its Print button uses).
    QList<PrinterChoice> previewPrinters;
    /// Called with each document while its preview is "open" (optional).
    std::function<void(const ReportDocument &)> onPreview;

    /// The answer to the next printer-setup dialogs: when set, the dialog is
    /// "confirmed" with this choice; when not, it is cancelled.
    std::optional<PrinterChoice> printerAnswer;
    int printerSetups = 0;

    /// The status window: the title of each showing, every text it showed
    /// (in order), and whether it is open now.
    QStringList statusTitles;
    QStringList statusTexts;
    bool statusOpen = false;

    void clear() { messages.clear(); errors.clear(); previews.clear(); previewPages.clear(); previewPrinters.clear(); statusTitles.clear(); statusTexts.clear(); }

private:
    ModalSeam *m_previous;
};

} // namespace velix::test
