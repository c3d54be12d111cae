#pragma once
// A modal seam for tests: records every message and error instead of showing
// it, and answers questions from a queue. Installs itself on construction and
// restores the previous seam on destruction.

#include "platform/modal.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace velix::test {

class RecordingModal : public ModalSeam {
public:
    RecordingModal();
    ~RecordingModal() override;

    void showMessage(const QString &text, MessageIcon icon) override;
    void showError(const ErrorReport &report) override;

    QStringList messages;
    QList<ErrorReport> errors;

    void clear() { messages.clear(); errors.clear(); }

private:
    ModalSeam *m_previous;
};

} // namespace velix::test
