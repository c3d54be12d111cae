#pragma once
// The main window as the book commands see it (LivroView), for tests: records
// what the commands ask of the progress panel, Memo1, the inconsistency panel
// and the toolbar, and answers the book order from `ordem`.
//
//   velix::test::FakeLivroView janela;
//   janela.ordem = "DATA";
//   janela.aoProcessarMensagens = [&] { ... };   // runs inside processaMensagens()
//   velix::LivroOficial1Click(janela);
//   QCOMPARE(janela.habilitaCalls, 1);

#include "book/livroview.h"

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

namespace velix::test {

class FakeLivroView : public LivroView {
public:
    // Progress panel.
    QRect geometria;
    bool termometroVisivel = false;
    int minimo = 0;
    int maximo = 100;
    int progresso = 0;
    QString legenda;
    QList<int> progressos;        ///< every progress set, in order
    QList<int> maximos;           ///< every maximum set, in order
    QStringList legendas;         ///< every caption set, in order
    int repinturas = 0;
    int mensagensProcessadas = 0;
    /// Run inside each processaMensagens() (a click of the user, say).
    std::function<void()> aoProcessarMensagens;

    // Memo1 and the inconsistency panel.
    QString memo;
    QString inconsistencias;      ///< the text last shown in mmo1
    int mostrasInconsistencias = 0;
    bool painelInconsistenciasVisivel = false;

    // Book order and toolbar.
    QString ordem;
    int habilitaCalls = 0;

    void posicionaTermometro(const QRect &g) override { geometria = g; }
    QRect geometriaTermometro() const override { return geometria; }
    void mostraTermometro() override { termometroVisivel = true; }
    void escondeTermometro() override { termometroVisivel = false; }
    void setMinimoTermometro(int valor) override { minimo = valor; }
    void setMaximoTermometro(int valor) override
    {
        maximo = valor;
        maximos << valor;
    }
    void setProgressoTermometro(int valor) override
    {
        progresso = valor;
        progressos << valor;
    }
    void setLegendaTermometro(const QString &texto) override
    {
        legenda = texto;
        legendas << texto;
    }
    void repintaTermometro() override { ++repinturas; }
    void processaMensagens() override
    {
        ++mensagensProcessadas;
        if (aoProcessarMensagens)
            aoProcessarMensagens();
    }

    void setMemo1(const QString &texto) override { memo = texto; }
    QString memo1() const override { return memo; }
    void mostraInconsistencias(const QString &texto) override
    {
        inconsistencias = texto;
        ++mostrasInconsistencias;
        painelInconsistenciasVisivel = true;
    }

    QString ordemVelix6() const override { return ordem; }
    void Habilita_Botoes_Relatorios() override { ++habilitaCalls; }
};

} // namespace velix::test
