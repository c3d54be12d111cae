#include "platform/ritmo.h"

namespace velix {

Ritmo::Ritmo(qint64 intervaloMs) : m_intervalo(intervaloMs)
{
    m_relogio.start();
}

bool Ritmo::hora()
{
    return hora(m_relogio.elapsed());
}

bool Ritmo::hora(qint64 agoraMs)
{
    if (m_primeira || agoraMs - m_ultima >= m_intervalo) {
        m_primeira = false;
        m_ultima = agoraMs;
        return true;
    }
    return false;
}

} // namespace velix
