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

} // namespace velix::test
