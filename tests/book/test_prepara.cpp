// "Preparar Livro" on real (embedded Firebird) databases: which orders and
// lines give book rows and with what values, the prescribed counts written
// back, the trace of the selection, and that a failed or refused preparation
// leaves the previous book and the family's data as they were.

#include "book/dadosmes.h"
#include "book/linhalivro.h"
#include "book/prepara.h"
#include "data/sqltext.h"
#include "data/udm.h"
#include "farmacia.h"
#include "platform/exclusivo.h"
#include "platform/programa.h"
#include "recordingmodal.h"
#include "report/uRM.h"
#include "tempfolders.h"

#include <QFile>
#include <QtTest>

using namespace velix;

using velix::test::Farmacia;
using velix::test::anfepramona;
using velix::test::farmacia;
using velix::test::outra;
using velix::test::vazia;


Q_DECLARE_METATYPE(velix::Value)
Q_DECLARE_METATYPE(std::function<void(Farmacia &)>)

class TestPrepara : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { AssignColumnLists(); }
    void cleanup() { CNPJLoja.clear(); }

    void textoQuantidade_data()
    {
        QTest::addColumn<Value>("qdedig");
        QTest::addColumn<QString>("texto");
        QTest::newRow("null") << Value() << QString();
        QTest::newRow("10") << Value::floating(10) << QStringLiteral("10");
        QTest::newRow("2.5") << Value::floating(2.5) << QStringLiteral("2,5");
        QTest::newRow("0.5") << Value::floating(0.5) << QStringLiteral("0,5");
        QTest::newRow("300") << Value::floating(300) << QStringLiteral("300");
        QTest::newRow("0") << Value::floating(0) << QStringLiteral("0");
        QTest::newRow("-1.25") << Value::floating(-1.25) << QStringLiteral("-1,25");
        QTest::newRow("0.1") << Value::floating(0.1) << QStringLiteral("0,1");
        QTest::newRow("1E20") << Value::floating(1e20) << QStringLiteral("1E20");
        QTest::newRow("16 digits") << Value::floating(1.234567890123456) << QStringLiteral("1,23456789012346");
        QTest::newRow("15 integer digits") << Value::floating(123456789012345.0) << QStringLiteral("123456789012345");
        QTest::newRow("16 integer digits") << Value::floating(1234567890123456.0) << QStringLiteral("1,23456789012346E15");
        QTest::newRow("0.00001") << Value::floating(0.00001) << QStringLiteral("0,00001");
        QTest::newRow("0.0000015") << Value::floating(0.0000015) << QStringLiteral("1,5E-6");
    }
    void textoQuantidade()
    {
        QFETCH(Value, qdedig);
        QFETCH(QString, texto);
        QCOMPARE(velix::textoQuantidade(qdedig), texto);
    }

    void regras_data()
    {
        QTest::addColumn<QString>("codigoEncontrado");
        QTest::addColumn<QString>("controlada");
        QTest::addColumn<QString>("lista");
        QTest::addColumn<bool>("conta");
        QTest::newRow("B2") << "1001" << "Sim" << "B2" << true;
        QTest::newRow("sim in small letters") << "1001" << "sim" << "B2" << true;
        QTest::newRow("b2 in small letters") << "1001" << "Sim" << "b2" << false;
        QTest::newRow("B2 and a blank") << "1001" << "Sim" << "B2 " << false;
        QTest::newRow("not controlled") << "1001" << "Não" << "B2" << false;
        QTest::newRow("other code") << "1001 " << "Sim" << "B2" << false;
        QTest::newRow("empty CONTROLADA") << "1001" << "" << "B2" << false;
    }
    void regras()
    {
        QFETCH(QString, codigoEncontrado);
        QFETCH(QString, controlada);
        QFETCH(QString, lista);
        QFETCH(bool, conta);
        QCOMPARE(componenteB2(true, codigoEncontrado, QStringLiteral("1001"), controlada, lista), conta);
        QVERIFY(!componenteB2(false, QString(), QString(), QStringLiteral("Sim"), QStringLiteral("B2")));
        QCOMPARE(capsulasDispensadas(Value()), 1);
        QCOMPARE(capsulasDispensadas(Value::integer(0)), 1);
        QCOMPARE(capsulasDispensadas(Value::integer(-5)), 1);
        QCOMPARE(capsulasDispensadas(Value::integer(45)), 45);
        QVERIFY(prescritaAusente(Value()));
        QVERIFY(prescritaAusente(Value::integer(0)));
        QVERIFY(!prescritaAusente(Value::integer(1)));
    }

    void selecaoEscritaNoTraco()
    {
        Farmacia f;
        f.prepara();
        const QString sql =
            QStringLiteral("Select ") + Campos_PEDIDOS
            + QStringLiteral(" from Pedidos where DataPedido Between '02/01/24' and '02/29/24' AND Upper(TipoPedido)='PEDIDO' "
                             "and estacao||npedido = (Select distinct(compedid.estacao||compedid.npedido) from compedid "
                             "where pedidos.estacao = compedid.estacao and pedidos.npedido = compedid.npedido and   "
                             "compedid.codigocomp = (Select componen.codigo from componen where componen.lista = 'B2' and "
                             "compedid.componente = componen.componente) and compedid.controlada = 'Sim') and  "
                             "estacao||npedido = (Select distinct(pediform.estacao||pediform.npedido) from pediform where "
                             "pedidos.estacao = pediform.estacao and pedidos.npedido = pediform.npedido and laboratorio = "
                             "'Matriz') Order by Estacao,NPedido");
        QFile trace(f.folders.root() + QStringLiteral("/SQL1.txt"));
        QVERIFY(trace.open(QIODevice::ReadOnly));
        QCOMPARE(trace.readAll(), sql.toLatin1() + "\r\n");
        QCOMPARE(selecaoPedidos(QDate(2024, 2, 1), QDate(2024, 2, 29), QStringLiteral("D'Or")),
                 QString(sql).replace(QStringLiteral("'Matriz'"), QStringLiteral("'D''Or'")));
    }

    // Which orders and lines give rows, and the rows' values.
    void linhas_data()
    {
        QTest::addColumn<std::function<void(Farmacia &)>>("dados");
        QTest::addColumn<QStringList>("livro");

        QTest::newRow("29 February and the month's ends")
            << std::function<void(Farmacia &)>([](Farmacia &f) {
                   for (auto [n, data] : {std::pair{1, "2024-01-31"}, {2, "2024-02-01"}, {3, "2024-02-29"}, {4, "2024-03-01"}}) {
                       f.pedido(n, QLatin1String(data));
                       f.formula(n, 1, QStringLiteral("60"), QStringLiteral("60"));
                       f.linha(n, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
                   }
               })
            << QStringList{anfepramona(2), anfepramona(3)};

        QTest::newRow("order types")
            << std::function<void(Farmacia &)>([](Farmacia &f) {
                   int n = 10;
                   for (const char *tipo : {"Pedido", "PEDIDO", "pedido", "Orcamento"}) {
                       f.pedido(n, QStringLiteral("2024-02-15"), QLatin1String(tipo));
                       f.formula(n, 1, QStringLiteral("60"), QStringLiteral("60"));
                       f.linha(n, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
                       ++n;
                   }
               })
            << QStringList{anfepramona(10)};

        QTest::newRow("laboratories")
            << std::function<void(Farmacia &)>([](Farmacia &f) {
                   // Two laboratories: selected, and every formula's B2 lines count.
                   f.pedido(20, QStringLiteral("2024-02-15"));
                   f.formula(20, 1, QStringLiteral("60"), QStringLiteral("60"), QStringLiteral("Filial"));
                   f.linha(20, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
                   f.formula(20, 2, QStringLiteral("60"), QStringLiteral("60"));
                   f.linha(20, 2, QStringLiteral("CELULOSE"), QStringLiteral("3001"));
                   // Only another laboratory: not selected.
                   f.pedido(21, QStringLiteral("2024-02-15"));
                   f.formula(21, 1, QStringLiteral("60"), QStringLiteral("60"), QStringLiteral("Filial"));
                   f.linha(21, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
               })
            << QStringList{anfepramona(20)};

        QTest::newRow("B2 by name, code and 'Sim'")
            << std::function<void(Farmacia &)>([](Farmacia &f) {
                   // the line's name is not the component's: not selected
                   f.pedido(30, QStringLiteral("2024-02-15"));
                   f.formula(30, 1, QStringLiteral("60"), QStringLiteral("60"));
                   f.linha(30, 1, QStringLiteral("ANFEPRAMONA HCL"), QStringLiteral("1001"));
                   // the line's code is not the component's: not selected
                   f.pedido(31, QStringLiteral("2024-02-15"));
                   f.formula(31, 1, QStringLiteral("60"), QStringLiteral("60"));
                   f.linha(31, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1003"));
                   // the line is not marked 'Sim': not selected
                   f.pedido(32, QStringLiteral("2024-02-15"));
                   f.formula(32, 1, QStringLiteral("60"), QStringLiteral("60"));
                   f.linha(32, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"), QStringLiteral("25"),
                           QStringLiteral("SIM"));
               })
            << QStringList{};

        QTest::newRow("lines of a selected order")
            << std::function<void(Farmacia &)>([](Farmacia &f) {
                   f.pedido(40, QStringLiteral("2024-02-15"), QStringLiteral("Pedido"), QStringLiteral("Dra. D'Ávila"),
                            QString());
                   f.formula(40, 1, QStringLiteral("30"), QStringLiteral("0"), QStringLiteral("Matriz"),
                             QStringLiteral("NULL"));
                   f.linha(40, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"), QStringLiteral("0.5"));
                   f.linha(40, 1, QStringLiteral("FEMPROPOREX"), QStringLiteral("1002"), QStringLiteral("NULL"));  // CONTROLADA 'sim'
                   f.linha(40, 1, QStringLiteral("MINUSCULA"), QStringLiteral("1005"));       // LISTA 'b2'
                   f.linha(40, 1, QStringLiteral("FLUOXETINA"), QStringLiteral("2001"));      // list C1
                   f.linha(40, 1, QStringLiteral("CODIGO LONGO"), QStringLiteral("ABCDEFGHIJKLMNO"), QStringLiteral("1E20"));
                   f.linha(40, 1, QString(), QStringLiteral("1003"));                            // no name
                   f.linha(40, 1, QStringLiteral("MAZ'INDOL"), QStringLiteral("1003"), QStringLiteral("1.234567890123456")); // no DCB row
                   f.linha(40, 1, QStringLiteral("SEM DCB"), QStringLiteral("1004"));            // no DCB code
                   f.formula(40, 123, QStringLiteral("0"), QStringLiteral("45"));
                   f.linha(40, 123, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
               })
            << QStringList{
                   QStringLiteral("00733|Anfepramona|-|CAP e 0,5 mg|SP40.1||Dra. D'Ávila||30 CAP|30 CAP|01|40|1"),
                   QStringLiteral("03853|Femproporex|-|CAP e  mg|SP40.1||Dra. D'Ávila||30 CAP|30 CAP|01|40|1"),
                   QStringLiteral("00733|Anfepramona|-|CAP e 1E20 mg|SP40.1||Dra. D'Ávila||30 CAP|30 CAP|01|40|1"),
                   QStringLiteral("05635|MAZ'INDOL|-|CAP e 1,23456789012346 mg|SP40.1||Dra. D'Ávila||30 CAP|30 CAP|01|40|1"),
                   QStringLiteral("||-|CAP e 25 mg|SP40.1||Dra. D'Ávila||30 CAP|30 CAP|01|40|1"),
                   QStringLiteral("00733|Anfepramona|-|CAP e 25 mg|SP40.123|2024-02-10|Dr. João|4567|45 CAP|1 CAP|01|40|12")
                       .replace(QStringLiteral("Dr. João|4567"), QStringLiteral("Dra. D'Ávila|")),
               };

        QTest::newRow("apostrophes in station and laboratory")
            << std::function<void(Farmacia &)>([](Farmacia &f) {
                   f.db.pharmacySql(QStringLiteral("UPDATE TABLAB SET LABORATORIO = 'Lab D''Or'"));
                   f.pedido(50, QStringLiteral("2024-02-15"), QStringLiteral("Pedido"), QStringLiteral("Dr. João"),
                            QStringLiteral("4567"), QStringLiteral("0'"));
                   f.formula(50, 1, QStringLiteral("60"), QStringLiteral("60"), QStringLiteral("Lab D'Or"),
                             QStringLiteral("'2024-02-10'"), QStringLiteral("0'"));
                   f.linha(50, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"), QStringLiteral("25"),
                           QStringLiteral("Sim"), QStringLiteral("0'"));
               })
            << QStringList{anfepramona(50).replace(QStringLiteral("|01|"), QStringLiteral("|0'|"))};
    }
    void linhas()
    {
        QFETCH(std::function<void(Farmacia &)>, dados);
        QFETCH(QStringList, livro);
        Farmacia f;
        dados(f);
        f.prepara();
        QCOMPARE(f.livro(), livro.isEmpty() ? QStringList{vazia} : livro);
        QVERIFY(f.modal.messages.isEmpty());
        QVERIFY(f.modal.errors.isEmpty());
        QCOMPARE(f.janela.memo, f.relatorioDoLivroGravado());
    }

    // The check after a preparation reports what a check of the stored book
    // reports, in either order, also when the database stores something other
    // than what was written.
    void verificacaoComoGravado_data()
    {
        QTest::addColumn<QString>("ordem");
        QTest::addColumn<QString>("ddl");
        QTest::addColumn<QString>("achado");
        QTest::newRow("book order") << QString() << QString() << QStringLiteral("01.3.1 \"CRM\" não encontrado");
        QTest::newRow("ordered by date") << QStringLiteral("Data") << QString()
                                         << QStringLiteral("01.3.1 \"CRM\" não encontrado");
        QTest::newRow("a trigger empties CRM")
            << QString() << QStringLiteral("CREATE TRIGGER SEM_CRM FOR VELIX6 BEFORE INSERT AS BEGIN NEW.CRM = ''; END")
            << QStringLiteral("01.1.1 \"CRM\" não encontrado");
        QTest::newRow("CRM of fixed length: blanks are no finding")
            << QString() << QStringLiteral("ALTER TABLE VELIX6 ALTER CRM TYPE CHAR(10)") << QString();
    }
    void verificacaoComoGravado()
    {
        QFETCH(QString, ordem);
        QFETCH(QString, ddl);
        QFETCH(QString, achado);
        Farmacia f;
        if (!ddl.isEmpty())
            f.ddl(ddl);
        f.janela.ordem = ordem;
        // Ties in date and DCB, rows with findings in between.
        f.pedidoSimples(1);
        f.pedido(2, QStringLiteral("2024-02-15"));
        f.formula(2, 1, QStringLiteral("30"), QStringLiteral("NULL"), QStringLiteral("Matriz"), QStringLiteral("NULL"));
        f.linha(2, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        f.linha(2, 1, QStringLiteral("FEMPROPOREX"), QStringLiteral("1002"));
        f.pedido(3, QStringLiteral("2024-02-01"), QStringLiteral("Pedido"), QStringLiteral("Dr. João"), QString());
        f.formula(3, 1, QStringLiteral("60"), QStringLiteral("0"), QStringLiteral("Matriz"), QStringLiteral("'2099-01-01'"));
        f.linha(3, 1, QStringLiteral("SEM DCB"), QStringLiteral("1004"));
        f.linha(3, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        f.pedidoSimples(4);
        f.prepara();
        QVERIFY(f.modal.errors.isEmpty());
        QCOMPARE(f.livro().size(), 6);
        QCOMPARE(f.janela.memo, f.relatorioDoLivroGravado());
        if (achado.isEmpty())
            QVERIFY(!f.janela.memo.contains(QStringLiteral("CRM")));
        else
            QVERIFY2(f.janela.memo.split(QLatin1Char('\n')).contains(achado), qPrintable(f.janela.memo));
    }

    void prescritasGravadasUmaVezPorFormula()
    {
        Farmacia f;
        f.pedido(1, QStringLiteral("2024-02-15"));
        f.formula(1, 1, QStringLiteral("30"), QStringLiteral("NULL"));   // two B2 lines: written once
        f.linha(1, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        f.linha(1, 1, QStringLiteral("FEMPROPOREX"), QStringLiteral("1002"));
        f.formula(1, 2, QStringLiteral("0"), QStringLiteral("0"));       // 0 capsules: 1
        f.linha(1, 2, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        f.formula(1, 3, QStringLiteral("20"), QStringLiteral("45"));     // kept
        f.linha(1, 3, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        f.formula(1, 4, QStringLiteral("20"), QStringLiteral("0"));      // no B2 line: untouched
        f.linha(1, 4, QStringLiteral("CELULOSE"), QStringLiteral("3001"));
        f.formula(1, 5, QStringLiteral("-3"), QStringLiteral("-2"));     // negative: 1
        f.linha(1, 5, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        f.ddl(QStringLiteral("CREATE TABLE CONTAGEM (N INTEGER)"));
        f.ddl(QStringLiteral(
            "CREATE TRIGGER CONTA FOR PEDIFORM AFTER UPDATE AS BEGIN INSERT INTO CONTAGEM VALUES (NEW.NFORMULA); END"));
        f.prepara();
        QCOMPARE(f.prescritas(), (QStringList{"01.1.1=30", "01.1.2=1", "01.1.3=45", "01.1.4=0", "01.1.5=1"}));
        QCOMPARE(f.db.pharmacyQuery(QStringLiteral("select N from CONTAGEM order by N")).rows.size(), size_t(3));
        QStringList qdes;
        for (const QString &row : f.livro())
            qdes << row.section(QLatin1Char('|'), 8, 9) + QLatin1Char('/') + row.section(QLatin1Char('|'), 12, 12);
        QCOMPARE(qdes, (QStringList{"30 CAP|30 CAP/1", "30 CAP|30 CAP/1", "1 CAP|1 CAP/2", "45 CAP|20 CAP/3",
                                    "1 CAP|1 CAP/5"}));
    }

    void mesVazioImprimeVazio()
    {
        Farmacia f;
        f.prepara();
        QCOMPARE(f.livro(), QStringList{vazia});
        QCOMPARE(f.modal.previews, QStringList{QStringLiteral("vazio")});
        QCOMPARE(f.janela.habilitaCalls, 1);
        QVERIFY(!f.janela.termometroVisivel);
        QCOMPARE(f.janela.geometria, QRect(275, 54, 205, 180));
        QVERIFY(f.janela.legendas.contains(QStringLiteral("Verificação Inicial em Pedidos")));
    }

    void duasVezesOutrasFarmaciasIntactas()
    {
        Farmacia f;
        f.db.pharmacySql(QStringLiteral("INSERT INTO VELIX6 (DCB, DESCRICAO, CNPJ) VALUES ('1', 'antiga', '12345678000195');"
                                        "INSERT INTO VELIX6 (DCB, DESCRICAO, CNPJ) VALUES ('2', 'outra', '99888777000166')"));
        f.pedidoSimples(1, QStringLiteral("NULL"));
        f.pedidoSimples(2);
        f.prepara();
        const QStringList primeira = f.livro();
        QCOMPARE(primeira, (QStringList{anfepramona(1), anfepramona(2)}));
        QCOMPARE(f.modal.previews, QStringList{QStringLiteral("rptOficial")});
        QVERIFY(f.janela.legendas.contains(QStringLiteral("Verificando Inconsistência")));
        f.prepara();
        QStringList segunda = f.livro();
        segunda.sort();
        QCOMPARE(segunda, primeira);
        QCOMPARE(f.livro(outra).size(), 1);
    }

    // A failure half-way, an unwritable trace, an order selection the
    // database refuses, a cancelled run: the previous book and PEDIFORM stay.
    void falhaNadaMuda_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::newRow("row refused half-way") << "gatilho";
        QTest::newRow("trace not writable") << "traco";
        QTest::newRow("two B2 components of one name") << "selecao";
        QTest::newRow("program ending") << "cancela";
    }
    void falhaNadaMuda()
    {
        QFETCH(QString, caso);
        Farmacia f;
        f.db.pharmacySql(QStringLiteral("INSERT INTO VELIX6 (DCB, DESCRICAO, CNPJ) VALUES ('1', 'antiga', '12345678000195')"));
        for (int n = 1; n <= 3; ++n)
            f.pedidoSimples(n, QStringLiteral("NULL"));
        f.pedido(4, QStringLiteral("2024-02-16"), QStringLiteral("Pedido"), QStringLiteral("FALHA"));
        f.formula(4, 1, QStringLiteral("60"), QStringLiteral("NULL"));
        f.linha(4, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        const QStringList livro = f.livro();
        const QStringList prescritas = f.prescritas();
        bool falhou = false;
        if (caso == QLatin1String("gatilho")) {
            f.ddl(QStringLiteral("CREATE EXCEPTION RECUSADA 'linha recusada'"));
            f.ddl(QStringLiteral("CREATE TRIGGER RECUSA FOR VELIX6 BEFORE INSERT AS BEGIN "
                                 "IF (NEW.MEDICO = 'FALHA') THEN EXCEPTION RECUSADA; END"));
        }
        else if (caso == QLatin1String("traco"))
            QVERIFY(QDir().mkpath(f.folders.root() + QStringLiteral("/SQL1.txt")));
        else if (caso == QLatin1String("selecao"))
            f.db.pharmacySql(QStringLiteral("INSERT INTO COMPONEN (CODIGO, COMPONENTE, CONTROLADA, DCB, LISTA) "
                                            "VALUES ('1099', 'ANFEPRAMONA', 'Sim', '00733', 'B2')"));
        else
            f.janela.aoProcessarMensagens = [] { ComandoExclusivo::pedeCancelamento(); };
        try {
            f.prepara();
        } catch (const Error &e) {
            falhou = true;
            if (caso == QLatin1String("gatilho"))
                QVERIFY2(e.message().contains(QLatin1String("linha recusada")), qPrintable(e.message()));
            if (caso == QLatin1String("traco"))
                QCOMPARE(e.className(), QStringLiteral("EInOutError"));
            if (caso == QLatin1String("cancela"))
                QCOMPARE(e.className(), QStringLiteral("EAbort"));
        }
        QCOMPARE(falhou, caso != QLatin1String("selecao"));
        if (caso == QLatin1String("selecao")) {
            QCOMPARE(f.modal.messages.size(), 1);
            QVERIFY(f.modal.messages[0].startsWith(
                QStringLiteral("[Prepara_Velix6] UM ERRO NÃO TRATADO FOI GERADO!!!\rErro encontrado: ")));
            QVERIFY(f.modal.messages[0].contains(QStringLiteral("\rClasse: EDatabaseError\r")));
            QVERIFY(f.modal.messages[0].endsWith(QStringLiteral("\rLinha: 2231.")));
        } else {
            QVERIFY(f.modal.messages.isEmpty());
        }
        QVERIFY(f.modal.previews.isEmpty());
        QCOMPARE(f.livro(), livro);
        QCOMPARE(f.prescritas(), prescritas);
        QVERIFY(!f.janela.termometroVisivel);
        QVERIFY(!ComandoExclusivo::ativo());
        QVERIFY(!f.dm.sqlcon1.inTransaction());
    }

    void segundoComandoRecusado()
    {
        Farmacia f;
        f.pedidoSimples(1, QStringLiteral("NULL"));
        QStringList recusas;
        f.janela.aoProcessarMensagens = [&] {
            try {
                f.prepara();
            } catch (const ComandoEmCurso &e) {
                recusas << e.message();
            }
        };
        f.prepara();
        QVERIFY(!recusas.isEmpty());
        QCOMPARE(recusas.first(), QStringLiteral("Aguarde: a preparação do livro está em andamento."));
        QCOMPARE(f.livro(), QStringList{anfepramona(1)});
        QCOMPARE(f.modal.previews, QStringList{QStringLiteral("rptOficial")});
    }
};

QTEST_MAIN(TestPrepara)
#include "test_prepara.moc"
