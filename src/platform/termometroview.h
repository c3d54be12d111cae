#pragma once
// What the long commands (book preparation, capsule correction, DCB
// formatting) need of the main window's progress panel PainelTermometro: its
// place, the gauge Termometro, the caption Label1, and letting the window
// process pending messages. The main window implements it; tests record it.
//
// Repainting and processing messages cost a round trip to the window system:
// a command that walks many rows calls them through a Ritmo (below), a few
// times a second, not once per row.

#include <QRect>
#include <QString>

namespace velix {

class TermometroView {
public:
    virtual ~TermometroView() = default;

    /// PainelTermometro's place and size, in pixels of the work area.
    virtual void posicionaTermometro(const QRect &geometria) = 0;
    virtual QRect geometriaTermometro() const = 0;
    virtual void mostraTermometro() = 0;
    virtual void escondeTermometro() = 0;

    virtual void setMinimoTermometro(int valor) = 0;   ///< Termometro.MinValue
    virtual void setMaximoTermometro(int valor) = 0;   ///< Termometro.MaxValue
    virtual void setProgressoTermometro(int valor) = 0; ///< Termometro.Progress
    virtual void setLegendaTermometro(const QString &texto) = 0; ///< Label1.Caption

    /// Paints the panel now, without processing any other message.
    virtual void repintaTermometro() = 0;
    /// Lets the window process the messages waiting for it (repaints, clicks,
    /// keys): other commands may run inside this call.
    virtual void processaMensagens() = 0;
};

} // namespace velix
