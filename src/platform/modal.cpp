#include "platform/modal.h"

#include <cstdio>

namespace velix {
namespace {

class StderrSeam final : public ModalSeam {
public:
    void showMessage(const QString &text, MessageIcon) override
    {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
    void showError(const ErrorReport &report) override
    {
        std::fprintf(stderr, "[%s] %s: %s\n", report.where.toLocal8Bit().constData(),
                     report.kind.toLocal8Bit().constData(), report.message.toLocal8Bit().constData());
    }
    void showPreview(const ReportDocument &document, const PrinterChoice &) override
    {
        std::fprintf(stderr, "report \"%s\": %d page(s), no preview without a window\n",
                     document.title().toLocal8Bit().constData(), document.pageCount());
    }
    bool printerSetup(PrinterChoice &) override { return false; }
};

StderrSeam defaultSeam;
ModalSeam *current = nullptr;

} // namespace

StatusWindow::StatusWindow(QString title, QString format, int delayMs, int intervalMs)
    : m_title(std::move(title)), m_format(std::move(format)), m_delay(delayMs), m_interval(intervalMs)
{
    m_clock.start();
}

StatusWindow::~StatusWindow()
{
    if (m_shown)
        modal().hideStatus();
}

void StatusWindow::step(int number)
{
    const qint64 now = m_clock.elapsed();
    if (!m_shown && now < m_delay)
        return;
    if (m_shown && now - m_lastUpdate < m_interval)
        return;
    const QString text = QString(m_format).replace(QLatin1String("%p"), QString::number(number));
    m_lastUpdate = now;
    if (m_shown) {
        modal().updateStatus(text);
    } else {
        m_shown = true;
        modal().showStatus(m_title, text);
    }
}

ModalSeam &modal()
{
    return current ? *current : defaultSeam;
}

ModalSeam *setModal(ModalSeam *seam)
{
    ModalSeam *previous = current;
    current = seam;
    return previous;
}

} // namespace velix
