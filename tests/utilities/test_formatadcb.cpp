#include "data/tabelas.h"
#include "data/udm.h"
#include "fbfixture.h"
#include "platform/cp1252.h"
#include "platform/exclusivo.h"
#include "recordingmodal.h"
#include "tempfolders.h"
#include "utilities/convertecodigo.h"
#include "utilities/formatadcb.h"

#include <QtTest>

#include <functional>
#include <map>
#include <memory>

using namespace velix;

namespace {

// The progress panel as the command sees it: what was asked of it, in order.
struct FakeTermometro : TermometroView {
    QStringList log;
    QRect geometria;
    int maximo = -1, progresso = -1;
    bool visivel = false;
    int mensagensProcessadas = 0;
    QStringList emCurso;                       // the long command seen while messages were processed
    std::function<void()> aoProcessar;         // what the "user" does meanwhile

    void posicionaTermometro(const QRect &g) override { geometria = g; log << QStringLiteral("posiciona"); }
    QRect geometriaTermometro() const override { return geometria; }
    void mostraTermometro() override { visivel = true; log << QStringLiteral("mostra"); }
    void escondeTermometro() override { visivel = false; log << QStringLiteral("esconde"); }
    void setMinimoTermometro(int v) override { log << QStringLiteral("minimo %1").arg(v); }
    void setMaximoTermometro(int v) override { maximo = v; log << QStringLiteral("maximo %1").arg(v); }
    void setProgressoTermometro(int v) override { progresso = v; }
    void setLegendaTermometro(const QString &t) override { log << QStringLiteral("legenda ") + t; }
    void repintaTermometro() override {}
    void processaMensagens() override
    {
        ++mensagensProcessadas;
        emCurso << ComandoExclusivo::emCurso();
        if (aoProcessar)
            aoProcessar();
    }
};

const QString Sucesso = QStringLiteral("Procedimento concluído com sucesso!!!");

} // namespace

class TestFormataDcb : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempFolders> folders;
    std::unique_ptr<test::FbFixture> db;
    std::unique_ptr<TDM> dm;

    void insere(const QString &codigo, const std::optional<QString> &descricao)
    {
        dm->sqlcon1.execute(QStringLiteral("INSERT INTO DCB (DCB, DESCRICAO) VALUES (?, ?)"),
                            {Value::text(codigo), descricao ? Value::text(*descricao) : Value()});
    }

    // The rows as (code, description or "<null>"), in the order the database gives them.
    QList<std::pair<QString, QString>> linhas()
    {
        QList<std::pair<QString, QString>> r;
        for (const auto &row : db->pharmacyQuery(QStringLiteral("select DCB, DESCRICAO from DCB")).rows)
            r.append({row[0].textValue(), row[1].isNull() ? QStringLiteral("<null>") : row[1].textValue()});
        return r;
    }

private slots:
    void initTestCase()
    {
        folders = std::make_unique<test::TempFolders>();
        QVERIFY(folders->isValid());
        db = std::make_unique<test::FbFixture>(*folders);
        // As in some pharmacies' databases: no key on DCB, so a code may appear
        // twice. And two ways for the database to refuse a row.
        db->pharmacySql(QStringLiteral(
            "ALTER TABLE DCB DROP CONSTRAINT PK_DCB;"
            "ALTER TABLE DCB ADD CONSTRAINT CK_DCB_PROIBIDA CHECK (DESCRICAO IS DISTINCT FROM 'Proibida');"
            "CREATE EXCEPTION E_DCB_BLOQUEADO 'DCB bloqueado para alteração'"));
        {
            SQLConnection ddl(QStringLiteral("ddl"));
            ddl.setDatabase(db->pharmacyDb());
            ddl.executeDirect(QStringLiteral("CREATE TRIGGER DCB_BLOQUEIO FOR DCB BEFORE UPDATE AS BEGIN "
                                             "IF (OLD.DCB = 'RECUSA') THEN EXCEPTION E_DCB_BLOQUEADO; END"));
        }
        AssignColumnLists();
        dm = std::make_unique<TDM>();
    }

    void init()
    {
        QVERIFY(!ComandoExclusivo::ativo());
        dm->sqlcon1.executeDirect(QStringLiteral("DELETE FROM DCB"));
    }

    void cleanupTestCase()
    {
        dm.reset();
        db.reset();
        folders.reset();
    }

    void formatsEveryRow()
    {
        std::vector<std::pair<QString, std::optional<QString>>> dados = {
            {QStringLiteral("01"), QStringLiteral("FLUOXETINA")},
            {QStringLiteral("02"), QStringLiteral("CLORIDRATO DE SIBUTRAMINA")},
            {QStringLiteral("03"), QStringLiteral("ÁCIDO ASCÓRBICO")},
            {QStringLiteral("04"), QStringLiteral("Fluoxetina")},
            {QStringLiteral("05"), QString()},
            {QStringLiteral("06"), std::nullopt},
            {QStringLiteral("07"), QStringLiteral("VITAMINA")},
            {QStringLiteral("08"), QStringLiteral("vitaminaS")},
            {QStringLiteral("09"), QStringLiteral("ViTaMiNa e")},
            {QStringLiteral("10"), QStringLiteral("VITAMINA B1 + B6")},
            {QStringLiteral("11"), QStringLiteral("ÉTER ÈTER ä")},
            {QStringLiteral("12"), QStringLiteral("D'ÁVILA \"X\" 50%")},
            {QStringLiteral("ÇÃO"), QStringLiteral("CÓDIGO ACENTUADO")},
        };
        // Every byte of the code page but NUL (no text may hold one), in
        // descriptions of at most 60.
        for (int inicio = 0; inicio < 256; inicio += 60) {
            QByteArray bytes;
            for (int b = std::max(inicio, 1); b < std::min(256, inicio + 60); ++b)
                bytes += static_cast<char>(b);
            dados.push_back({QStringLiteral("B%1").arg(inicio), fromCp1252(bytes)});
        }
        for (const auto &[codigo, descricao] : dados)
            insere(codigo, descricao);
        const auto antes = linhas();
        QCOMPARE(antes.size(), qsizetype(dados.size()));

        test::RecordingModal modal;
        FakeTermometro view;
        const ResultadoFormatacao r = FormatarDescrioDCB1Click(view);

        QCOMPARE(modal.messages, QStringList{Sucesso});
        QCOMPARE(r.linhas, int(dados.size()));
        QCOMPARE(r.gravadas, r.linhas);
        QCOMPARE(r.falhas, 0);
        QCOMPARE(view.log, (QStringList{QStringLiteral("legenda Formatando Descrições"), QStringLiteral("posiciona"),
                                        QStringLiteral("mostra"), QStringLiteral("minimo 0"),
                                        QStringLiteral("maximo %1").arg(dados.size()), QStringLiteral("esconde")}));
        QCOMPARE(view.geometria, QRect(275, 54, 205, 180));
        QCOMPARE(view.progresso, int(dados.size()));
        QVERIFY(view.mensagensProcessadas >= 2);
        QVERIFY(view.emCurso.contains(descricaoFormatacaoDCB()));
        QVERIFY(!dm->DCB.isOpen());
        QVERIFY(!ComandoExclusivo::ativo());

        // Same codes, each description formatted, null stays null.
        const auto depois = linhas();
        QCOMPARE(depois.size(), antes.size());
        std::map<QString, QString> porCodigo;
        for (const auto &[c, d] : depois)
            porCodigo[c] = d;
        for (const auto &[codigo, descricao] : dados) {
            QVERIFY2(porCodigo.count(codigo), qPrintable(codigo));
            QCOMPARE(porCodigo[codigo], descricao ? Converte_Codigo(*descricao) : QStringLiteral("<null>"));
        }
        QCOMPARE(porCodigo[QStringLiteral("03")], QStringLiteral("acido ascorbico"));
        QCOMPARE(porCodigo[QStringLiteral("05")], QString());
        QCOMPARE(porCodigo[QStringLiteral("07")], QStringLiteral("Vitamina"));
        QCOMPARE(porCodigo[QStringLiteral("08")], QStringLiteral("Vitaminas"));
        QCOMPARE(porCodigo[QStringLiteral("09")], QStringLiteral("Vitamina E"));
        QCOMPARE(porCodigo[QStringLiteral("11")], QStringLiteral("eter Èter ä"));
        QCOMPARE(porCodigo[QStringLiteral("ÇÃO")], QStringLiteral("Codigo acentuado"));

        // A second run capitalises what lost its accent in the first.
        modal.clear();
        FormatarDescrioDCB1Click(view);
        QCOMPARE(modal.messages, QStringList{Sucesso});
        const auto segunda = linhas();
        for (const auto &[c, d] : segunda)
            porCodigo[c] = d;
        QCOMPARE(porCodigo[QStringLiteral("03")], QStringLiteral("Acido ascorbico"));
        QCOMPARE(porCodigo[QStringLiteral("11")], QStringLiteral("Eter Èter ä"));
        QCOMPARE(porCodigo[QStringLiteral("01")], QStringLiteral("Fluoxetina"));
    }

    void emptyTable()
    {
        test::RecordingModal modal;
        FakeTermometro view;
        const ResultadoFormatacao r = FormatarDescrioDCB1Click(view);
        QCOMPARE(r.linhas, 0);
        QCOMPARE(modal.messages, QStringList{Sucesso});
        QVERIFY(view.log.contains(QStringLiteral("mostra")));
        QCOMPARE(view.log.last(), QStringLiteral("esconde"));
        QCOMPARE(view.maximo, 0);
        QVERIFY(!dm->DCB.isOpen());
    }

    // Rows the database refuses are reported one by one; the others are stored.
    void refusedRows()
    {
        insere(QStringLiteral("A1"), QStringLiteral("SIBUTRAMINA"));
        insere(QStringLiteral("RECUSA"), QStringLiteral("FEMPROPOREX"));
        insere(QStringLiteral("A2"), QStringLiteral("PROIBIDA"));
        insere(QStringLiteral("A3"), QStringLiteral("ANFEPRAMONA"));
        insere(QStringLiteral("A4"), QStringLiteral("Mazindol"));      // unchanged: nothing to store

        test::RecordingModal modal;
        FakeTermometro view;
        const ResultadoFormatacao r = FormatarDescrioDCB1Click(view);

        QCOMPARE(r.linhas, 5);
        QCOMPARE(r.gravadas, 3);
        QCOMPARE(r.falhas, 2);
        QCOMPARE(modal.messages.size(), 3);
        const QString inicio = QStringLiteral("[Formata_Descricao] UM ERRO NÃO TRATADO FOI GERADO!!!\nErro encontrado: ");
        const QString fim = QStringLiteral("\nClasse: EDatabaseError\nLinha: 2756.");
        for (int i : {0, 1}) {
            QVERIFY2(modal.messages[i].startsWith(inicio), qPrintable(modal.messages[i]));
            QVERIFY2(modal.messages[i].endsWith(fim), qPrintable(modal.messages[i]));
        }
        QVERIFY2(modal.messages[0].contains(QStringLiteral("DCB bloqueado para alteração")), qPrintable(modal.messages[0]));
        QVERIFY2(modal.messages[1].contains(QStringLiteral("CK_DCB_PROIBIDA")), qPrintable(modal.messages[1]));
        QCOMPARE(modal.messages[2], QStringLiteral("Formatação das descrições do DCB concluída.\n"
                                                   "3 descrições formatadas.\n2 descrições não puderam ser gravadas."));
        QCOMPARE(view.log.last(), QStringLiteral("esconde"));

        const auto depois = linhas();
        QCOMPARE(depois, (QList<std::pair<QString, QString>>{
                             {QStringLiteral("A1"), QStringLiteral("Sibutramina")},
                             {QStringLiteral("RECUSA"), QStringLiteral("FEMPROPOREX")},
                             {QStringLiteral("A2"), QStringLiteral("PROIBIDA")},
                             {QStringLiteral("A3"), QStringLiteral("Anfepramona")},
                             {QStringLiteral("A4"), QStringLiteral("Mazindol")}}));
    }

    void closingMessage_data()
    {
        QTest::addColumn<int>("gravadas");
        QTest::addColumn<int>("falhas");
        QTest::addColumn<QString>("texto");
        QTest::newRow("one each") << 1 << 1
                                  << QStringLiteral("Formatação das descrições do DCB concluída.\n"
                                                    "1 descrição formatada.\n1 descrição não pôde ser gravada.");
        QTest::newRow("none stored") << 0 << 7
                                     << QStringLiteral("Formatação das descrições do DCB concluída.\n"
                                                       "0 descrições formatadas.\n7 descrições não puderam ser gravadas.");
        QTest::newRow("thousands") << 80004 << 1234
                                   << QStringLiteral("Formatação das descrições do DCB concluída.\n"
                                                     "80.004 descrições formatadas.\n1.234 descrições não puderam ser gravadas.");
    }
    void closingMessage()
    {
        QFETCH(int, gravadas);
        QFETCH(int, falhas);
        QFETCH(QString, texto);
        ResultadoFormatacao r;
        r.gravadas = gravadas;
        r.falhas = falhas;
        r.linhas = gravadas + falhas;
        QCOMPARE(mensagemConclusaoComFalhas(r), texto);
    }

    // A code held twice, and rows changed by someone else after they were read:
    // no row but the one read is ever changed.
    void neverTheWrongRow()
    {
        insere(QStringLiteral("D1"), QStringLiteral("ÁCIDO FÓLICO"));   // twice, alike: formatted together
        insere(QStringLiteral("D1"), QStringLiteral("ÁCIDO FÓLICO"));
        insere(QStringLiteral("D2"), QStringLiteral("ALFA"));           // one code, two descriptions
        insere(QStringLiteral("D2"), QStringLiteral("BETA"));
        insere(QStringLiteral("D3"), QStringLiteral("ÁCIDO"));          // its new text is the next row's old one
        insere(QStringLiteral("D3"), QStringLiteral("acido"));
        insere(QStringLiteral("D4"), QStringLiteral("GAMA"));           // changed by another program meanwhile
        insere(QStringLiteral("D5"), QStringLiteral("DELTA"));          // removed by another program meanwhile

        test::RecordingModal modal;
        FakeTermometro view;
        bool outroPrograma = false;
        view.aoProcessar = [&] {
            if (outroPrograma || view.maximo < 0)   // only once the rows have been read
                return;
            outroPrograma = true;
            db->pharmacySql(QStringLiteral("UPDATE DCB SET DESCRICAO = 'Gama (revista)' WHERE DCB = 'D4';"
                                           "DELETE FROM DCB WHERE DCB = 'D5'"));
        };
        const ResultadoFormatacao r = FormatarDescrioDCB1Click(view);

        QCOMPARE(r.linhas, 8);
        QCOMPARE(r.falhas, 3);
        QCOMPARE(r.gravadas, 5);
        QCOMPARE(modal.messages.size(), 4);
        QVERIFY2(modal.messages[0].contains(QStringLiteral("2 rows")), qPrintable(modal.messages[0]));
        QVERIFY2(modal.messages[1].contains(QStringLiteral("Record not found or changed by another user")),
                 qPrintable(modal.messages[1]));
        QVERIFY2(modal.messages[2].contains(QStringLiteral("Record not found or changed by another user")),
                 qPrintable(modal.messages[2]));

        auto depois = linhas();
        std::sort(depois.begin(), depois.end());
        QCOMPARE(depois, (QList<std::pair<QString, QString>>{
                             {QStringLiteral("D1"), QStringLiteral("acido folico")},
                             {QStringLiteral("D1"), QStringLiteral("acido folico")},
                             {QStringLiteral("D2"), QStringLiteral("Alfa")},
                             {QStringLiteral("D2"), QStringLiteral("Beta")},
                             {QStringLiteral("D3"), QStringLiteral("acido")},
                             {QStringLiteral("D3"), QStringLiteral("acido")},
                             {QStringLiteral("D4"), QStringLiteral("Gama (revista)")}}));
    }

    // While it runs it holds the long-command mark; it is refused while another one runs.
    void oneLongCommandAtATime()
    {
        insere(QStringLiteral("X1"), QStringLiteral("FLUOXETINA"));
        test::RecordingModal modal;
        FakeTermometro view;
        {
            ComandoExclusivo outro(QStringLiteral("a preparação do livro"));
            QVERIFY_THROWS_EXCEPTION(ComandoEmCurso, FormatarDescrioDCB1Click(view));
        }
        QVERIFY(view.log.isEmpty());
        QVERIFY(modal.messages.isEmpty());
        QCOMPARE(linhas().first().second, QStringLiteral("FLUOXETINA"));

        // The program ending meanwhile stops the walk; the panel goes away.
        view.aoProcessar = [] { ComandoExclusivo::pedeCancelamento(); };
        QVERIFY_THROWS_EXCEPTION(Cancelado, FormatarDescrioDCB1Click(view));
        QVERIFY(!view.visivel);
        QVERIFY(!dm->DCB.isOpen());
        QVERIFY(!ComandoExclusivo::ativo());
        QVERIFY(modal.messages.isEmpty());
    }

    // A failing open reaches the caller; the panel does not stay up.
    void openFails()
    {
        test::RecordingModal modal;
        FakeTermometro view;
        dm->sqlcon1.setDatabase(folders->root() + QStringLiteral("/dados/nao-existe.bd"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, FormatarDescrioDCB1Click(view));
        dm->sqlcon1.setDatabase(db->pharmacyDb());
        QVERIFY(view.log.contains(QStringLiteral("mostra")));
        QVERIFY(!view.visivel);
        QVERIFY(!ComandoExclusivo::ativo());
        QVERIFY(modal.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFormataDcb)
#include "test_formatadcb.moc"
