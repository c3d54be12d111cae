#pragma once
// The Firebird client library as loaded at run time, and the status vector
// every call to it takes, shared by the connection layer (firebird.cpp) and the
// conversion of values to and from message buffers (fbmessage.cpp). Internal
// to src/data.

#include "platform/cp1252.h"
#include "platform/errors.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QString>

namespace velix::detail {

// The entry points of one loaded client library.
struct FbApi {
    void *handle = nullptr;
    Firebird::IMaster *master = nullptr;
    Firebird::IUtil *util = nullptr;
    Firebird::IProvider *provider = nullptr;
};

// A status vector that turns errors into DatabaseError with Firebird's text.
class Status {
public:
    explicit Status(FbApi &api) : m_api(api), m_status(api.master->getStatus()), m_wrapper(m_status) {}
    ~Status() { m_status->dispose(); }
    Status(const Status &) = delete;
    Status &operator=(const Status &) = delete;

    Firebird::CheckStatusWrapper *operator&() { return &m_wrapper; }
    bool failed() const { return (m_wrapper.getState() & Firebird::IStatus::STATE_ERRORS) != 0; }
    QString text()
    {
        char buffer[2048];
        m_api.util->formatStatus(buffer, sizeof buffer, &m_wrapper);
        return fromCp1252(QByteArrayView(buffer, qstrnlen(buffer, sizeof buffer)));
    }
    void check()
    {
        if (failed()) {
            const QString message = text();
            m_wrapper.init();
            throw DatabaseError(message);
        }
    }
    void clear() { m_wrapper.init(); }

private:
    FbApi &m_api;
    Firebird::IStatus *m_status;
    Firebird::CheckStatusWrapper m_wrapper;
};

} // namespace velix::detail
