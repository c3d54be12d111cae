#include "platform/errors.h"
#include "platform/modal.h"

#include <cstdio>
#include <exception>
#include <new>

namespace velix {

Error::Error(const QString &message, const QString &className)
    : std::runtime_error(message.toStdString()), m_message(message), m_className(className)
{
}

ErrorReport describeCurrentException(const QString &where)
{
    ErrorReport report;
    report.where = where;
    try {
        throw;
    } catch (const Error &e) {
        report.message = e.message();
        report.kind = e.className();
    } catch (const std::bad_alloc &e) {
        report.message = QStringLiteral("Out of memory");
        report.kind = QStringLiteral("EOutOfMemory");
    } catch (const std::exception &e) {
        report.message = QString::fromLocal8Bit(e.what());
        report.kind = QStringLiteral("std::exception");
    } catch (...) {
        report.message = QStringLiteral("Unknown error");
        report.kind = QStringLiteral("Unknown");
    }
    return report;
}

void reportCurrentException(const QString &where) noexcept
{
    try {
        const ErrorReport report = describeCurrentException(where);
        modal().showError(report);
    } catch (...) {
        // The handler itself must never let anything through.
        std::fputs("velix6: error while reporting an error\n", stderr);
    }
}

} // namespace velix
