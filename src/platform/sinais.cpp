#include "platform/sinais.h"

#include <QSocketNotifier>

#include <csignal>

#ifdef Q_OS_LINUX
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>
#endif

namespace velix {
namespace {

#ifdef Q_OS_LINUX
sigset_t sinaisDeEncerramento()
{
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, SIGTERM);
    sigaddset(&s, SIGINT);
    return s;
}
#endif

} // namespace

void bloqueiaSinaisDeEncerramento()
{
#ifdef Q_OS_LINUX
    const sigset_t s = sinaisDeEncerramento();
    pthread_sigmask(SIG_BLOCK, &s, nullptr);
#endif
}

SinaisDeEncerramento::SinaisDeEncerramento(QObject *parent) : QObject(parent)
{
#ifdef Q_OS_LINUX
    const sigset_t s = sinaisDeEncerramento();
    m_fd = signalfd(-1, &s, SFD_NONBLOCK | SFD_CLOEXEC);
    if (m_fd < 0)
        return;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SinaisDeEncerramento::le);
#endif
}

SinaisDeEncerramento::~SinaisDeEncerramento()
{
#ifdef Q_OS_LINUX
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void SinaisDeEncerramento::le()
{
#ifdef Q_OS_LINUX
    signalfd_siginfo info;
    while (::read(m_fd, &info, sizeof info) == ssize_t(sizeof info))
        emit recebido(int(info.ssi_signo));
#endif
}

} // namespace velix
