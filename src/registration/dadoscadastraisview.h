#pragma once
// What the registration-data command needs of the main window: its panel
// PainelConfigLivro, shown and hidden, and the focus of its fields. The fields
// themselves follow DM().DadosGer on their own (data-aware controls). The main
// window implements it; tests use a plain object.

#include <QString>

namespace velix {

class DadosCadastraisView {
public:
    virtual ~DadosCadastraisView() = default;

    /// Places PainelConfigLivro at left 132, top 112, width 501, height 321 of
    /// the window's client area, above the work area, and shows it.
    virtual void mostraPainel() = 0;
    virtual void escondePainel() = 0;
    /// Puts the focus in the field bound to the DADOSGER column `coluna`.
    virtual void focaCampo(const QString &coluna) = 0;
};

} // namespace velix
