#pragma once
// A stand-in for the main window in the book commands' tests: records what
// was asked of the progress panel and the inconsistency panel, and runs an
// optional action whenever the command lets the window process messages.

#include "book/livroview.h"

#include <QStringList>

#include <functional>

namespace velix::test {

class JanelaLivro : public LivroView {
public:
    QStringList log;                  ///< "legenda:...", "mostra", "esconde", "posiciona:x,y,w,h"
    QRect geometria;
    bool termometroVisivel = false;
    int maximo = 0;
    int progresso = 0;
    QString legenda;
    QString memo;
    QString mmo1;
    int inconsistenciasMostradas = 0;
    int habilita = 0;
    int mensagensProcessadas = 0;
    QString ordem;
    std::function<void()> aoProcessarMensagens;

    void posicionaTermometro(const QRect &g) override
    {
        geometria = g;
        log << QStringLiteral("posiciona:%1,%2,%3,%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
    }
    QRect geometriaTermometro() const override { return geometria; }
    void mostraTermometro() override { termometroVisivel = true; log << QStringLiteral("mostra"); }
    void escondeTermometro() override { termometroVisivel = false; log << QStringLiteral("esconde"); }
    void setMinimoTermometro(int) override {}
    void setMaximoTermometro(int v) override { maximo = v; }
    void setProgressoTermometro(int v) override { progresso = v; }
    void setLegendaTermometro(const QString &t) override
    {
        if (t != legenda)
            log << QStringLiteral("legenda:") + t;
        legenda = t;
    }
    void repintaTermometro() override {}
    void processaMensagens() override
    {
        ++mensagensProcessadas;
        if (aoProcessarMensagens)
            aoProcessarMensagens();
    }
    void setMemo1(const QString &t) override { memo = t; }
    QString memo1() const override { return memo; }
    void mostraInconsistencias(const QString &t) override
    {
        mmo1 = t;
        ++inconsistenciasMostradas;
    }
    QString ordemVelix6() const override { return ordem; }
    void Habilita_Botoes_Relatorios() override { ++habilita; }
};

} // namespace velix::test
