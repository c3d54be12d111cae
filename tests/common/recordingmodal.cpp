#include "recordingmodal.h"

namespace velix::test {

RecordingModal::RecordingModal() : m_previous(setModal(this)) {}

RecordingModal::~RecordingModal()
{
    setModal(m_previous);
}

void RecordingModal::showMessage(const QString &text, MessageIcon)
{
    messages << text;
}

void RecordingModal::showError(const ErrorReport &report)
{
    errors << report;
}

void RecordingModal::showPreview(const ReportDocument &document, const PrinterChoice &printer)
{
    previews << document.title();
    previewPages << document.pageCount();
    previewPrinters << printer;
    if (onPreview)
        onPreview(document);
    if (!saveEachPreviewTo.isEmpty())
        document.saveAs(saveEachPreviewTo);
}

bool RecordingModal::printerSetup(PrinterChoice &printer)
{
    ++printerSetups;
    if (!printerAnswer)
        return false;
    printer = *printerAnswer;
    return true;
}

void RecordingModal::showStatus(const QString &title, const QString &text)
{
    statusTitles << title;
    statusTexts << text;
    statusOpen = true;
}

void RecordingModal::updateStatus(const QString &text)
{
    statusTexts << text;
}

void RecordingModal::hideStatus()
{
    statusOpen = false;
}

} // namespace velix::test
