#pragma once
// What the book commands (preparation, checks, capsule correction, the
// inconsistency viewer, the printed books) need of the main window. The main
// window implements it; tests use a plain object that records what was asked.

#include "platform/termometroview.h"

#include <QString>

namespace velix {

/// The inconsistency panel pnl1 with its text area mmo1, and the hidden
/// buffer Memo1 in which the error report is assembled.
class InconsistenciasView {
public:
    virtual ~InconsistenciasView() = default;
    /// Replaces the text of Memo1 (the report of the last check).
    virtual void setMemo1(const QString &texto) = 0;
    virtual QString memo1() const = 0;
    /// Replaces the text of mmo1 with `texto`, places pnl1 at left 141, top 15,
    /// width 537, height 442, shows it and puts the keyboard focus into mmo1.
    virtual void mostraInconsistencias(const QString &texto) = 0;
};

/// Everything the book commands need of the window.
class LivroView : public TermometroView, public InconsistenciasView {
public:
    /// The setting OrdemVelix6 (book order); empty orders by DCB, DATA,
    /// NUMERONOTIFICACAO.
    virtual QString ordemVelix6() const = 0;
    /// The window's Habilita_Botoes_Relatorios.
    virtual void Habilita_Botoes_Relatorios() = 0;
};

} // namespace velix
