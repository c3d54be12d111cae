#pragma once
// Ending the program by a signal: SIGTERM (what the desktop session sends at
// logout or shutdown, or `kill`) and SIGINT (Ctrl+C in the terminal that
// started it).
//
// The database client library installs handlers of its own for both signals
// when it attaches a database; they would swallow the signal and keep the
// program running. So both signals are blocked in every thread from the very
// start (bloqueiaSinaisDeEncerramento(), the first thing main() does, before
// any thread exists: threads inherit the mask) and read on the main thread
// from a signalfd, which SinaisDeEncerramento watches with the event loop and
// turns into its `recebido` signal. No handler of anybody's ever runs for
// them, and the program ends the way its window ends.
//
// Programs started from here inherit the blocked mask; the program starts none.

#include <QObject>

class QSocketNotifier;

namespace velix {

/// Blocks SIGTERM and SIGINT in the calling thread and so in every thread it
/// starts from now on. Call before any thread exists.
void bloqueiaSinaisDeEncerramento();

class SinaisDeEncerramento : public QObject {
    Q_OBJECT
public:
    /// Starts watching for SIGTERM and SIGINT (blocked beforehand by
    /// bloqueiaSinaisDeEncerramento()). A signal that arrived before is
    /// reported as soon as the event loop runs.
    explicit SinaisDeEncerramento(QObject *parent = nullptr);
    ~SinaisDeEncerramento() override;

    /// False when the signals cannot be watched here (they then keep their
    /// usual effect).
    bool ativo() const { return m_fd >= 0; }

signals:
    /// A signal arrived: its number (SIGTERM or SIGINT).
    void recebido(int sinal);

private:
    void le();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace velix
