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
