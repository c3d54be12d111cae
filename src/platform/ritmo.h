#pragma once
// The pace of a long loop's screen work. A loop that walks thousands of rows
// would spend most of its time repainting its progress panel and processing
// the window's messages if it did so after every row; a Ritmo says when it is
// time to do it again:
//
//   Ritmo ritmo;                                   // 200 ms: five times a second
//   for (...) {
//       janela.setProgressoTermometro(++feitos);   // cheap: only a number
//       if (ritmo.hora()) {
//           janela.repintaTermometro();
//           janela.processaMensagens();
//           ComandoExclusivo::verificaCancelamento();
//       }
//   }
//   janela.repintaTermometro();                    // the final state, always
//
// Rule: hora() is true at its first call, and afterwards when at least
// `intervalo` milliseconds have passed since the last call that returned
// true; false otherwise.

#include <QElapsedTimer>
#include <QtGlobal>

namespace velix {

class Ritmo {
public:
    /// `intervaloMs`: the least time between two "true" answers.
    explicit Ritmo(qint64 intervaloMs = 200);

    /// True when it is time for the screen work (rule above), by the clock.
    bool hora();
    /// The same rule at the moment `agoraMs` (milliseconds of any clock that
    /// never goes back; for tests and callers with their own clock).
    bool hora(qint64 agoraMs);

    qint64 intervalo() const { return m_intervalo; }

private:
    qint64 m_intervalo;
    qint64 m_ultima = 0;
    bool m_primeira = true;
    QElapsedTimer m_relogio;
};

} // namespace velix
