#pragma once
// Errors of this program travel as exceptions of these types and become
// messages only at the window's edge: in the general error handler or in a
// command's own message.

#include <QString>
#include <stdexcept>

namespace velix {

/// Base of every error this program raises. `className()` names the kind of
/// error as the error dialog shows it ("EConvertError", "EDatabaseError", ...).
class Error : public std::runtime_error {
public:
    explicit Error(const QString &message, const QString &className = QStringLiteral("Exception"));
    QString message() const { return m_message; }
    QString className() const { return m_className; }

private:
    QString m_message;
    QString m_className;
};

/// A text that is not a valid number or date.
class ConvertError : public Error {
public:
    explicit ConvertError(const QString &message) : Error(message, QStringLiteral("EConvertError")) {}
};

/// Reading or writing one of the program's files failed.
class FileError : public Error {
public:
    explicit FileError(const QString &message) : Error(message, QStringLiteral("EInOutError")) {}
};

/// The database or the cached-dataset layer refused an operation.
class DatabaseError : public Error {
public:
    explicit DatabaseError(const QString &message, const QString &className = QStringLiteral("EDatabaseError"))
        : Error(message, className) {}
};

/// What the general error handler shows of an error nobody caught.
struct ErrorReport {
    QString message;   ///< the error's text
    QString kind;      ///< the name of the error's kind
    QString where;     ///< the command or event in which it happened
};

/// Turns the exception in flight into a report; call only inside a catch block.
ErrorReport describeCurrentException(const QString &where);

/// The general error handler: shows the report of the exception in flight through
/// the modal seam. Call only inside a catch block. Never throws.
void reportCurrentException(const QString &where) noexcept;

/// Runs one command inside the general error handler. Whatever it throws is
/// reported and swallowed, so the program goes on. Returns true when the
/// command ended normally.
template <class F>
bool guarded(const QString &where, F &&command) noexcept
{
    try {
        command();
        return true;
    } catch (...) {
        reportCurrentException(where);
        return false;
    }
}

} // namespace velix
