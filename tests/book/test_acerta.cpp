// "Acertar Qde. Caps. Prescrita" on real (embedded Firebird) databases: the
// book month of the registration data, the formulas that get their
// prescribed count, the rebuilt book, and that a failure leaves the previous
// book and PEDIFORM as they were.

#include "book/acerta.h"
#include "farmacia.h"
#include "platform/exclusivo.h"

#include <QtTest>

using namespace velix;
using velix::test::Farmacia;
using velix::test::anfepramona;
using velix::test::outra;

class TestAcerta : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { AssignColumnLists(); }
    void cleanup() { CNPJLoja.clear(); }

    void periodo_data()
    {
        QTest::addColumn<QString>("exercicio");
        QTest::addColumn<QString>("mes");
        QTest::addColumn<QDate>("primeiro");
        QTest::addColumn<QDate>("ultimo");
        QTest::newRow("February of a leap year") << "2012" << "FEVEREIRO" << QDate(2012, 2, 1) << QDate(2012, 2, 28);
        QTest::newRow("MARÇO") << "2012" << "MARÇO" << QDate(2012, 3, 1) << QDate(2012, 3, 31);
        QTest::newRow("MARCO") << "2012" << "MARCO" << QDate(2012, 3, 1) << QDate(2012, 3, 31);
        QTest::newRow("ABRIL") << "2026" << "ABRIL" << QDate(2026, 4, 1) << QDate(2026, 4, 30);
        QTest::newRow("DEZEMBRO, year cut to 4") << "20261" << "DEZEMBRO" << QDate(2026, 12, 1) << QDate(2026, 12, 31);
        QTest::newRow("Março in small letters") << "2012" << "Março" << QDate() << QDate();
        QTest::newRow("no month") << "2012" << "" << QDate() << QDate();
        QTest::newRow("no year") << "" << "MAIO" << QDate() << QDate();
        QTest::newRow("year not a number") << "20x2" << "MAIO" << QDate() << QDate();
    }
    void periodo()
    {
        QFETCH(QString, exercicio);
        QFETCH(QString, mes);
        QFETCH(QDate, primeiro);
        QFETCH(QDate, ultimo);
        try {
            const auto p = periodoAcerto(exercicio, mes);
            QVERIFY(primeiro.isValid());
            QCOMPARE(p.first, primeiro);
            QCOMPARE(p.second, ultimo);
        } catch (const ConvertError &) {
            QVERIFY(!primeiro.isValid());
        }
    }

    void acerta()
    {
        Farmacia f;
        f.db.pharmacySql(QStringLiteral("INSERT INTO VELIX6 (DCB, DESCRICAO, CNPJ) VALUES ('1', 'antiga', '12345678000195');"
                                        "INSERT INTO VELIX6 (DCB, DESCRICAO, CNPJ) VALUES ('2', 'outra', '99888777000166')"));
        f.pedido(1, QStringLiteral("2024-02-15"), QStringLiteral("Pedido"), QStringLiteral("Dr. João"), QString());
        f.formula(1, 1, QStringLiteral("30"), QStringLiteral("0"));          // 0 and 30 capsules: 30
        f.linha(1, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        f.linha(1, 1, QStringLiteral("FEMPROPOREX"), QStringLiteral("1002"));
        f.formula(1, 2, QStringLiteral("0"), QStringLiteral("NULL"));        // 0 capsules: 1
        f.linha(1, 2, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        f.formula(1, 3, QStringLiteral("20"), QStringLiteral("45"));         // kept
        f.linha(1, 3, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        f.formula(1, 4, QStringLiteral("20"), QStringLiteral("0"));          // no B2 line: untouched
        f.linha(1, 4, QStringLiteral("CELULOSE"), QStringLiteral("3001"));
        f.formula(1, 5, QStringLiteral("20"), QStringLiteral("0"), QStringLiteral("Filial"));  // other laboratory
        f.linha(1, 5, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        f.pedido(2, QStringLiteral("2024-02-15"), QStringLiteral("PEDIDO"));   // counted, no row
        f.formula(2, 1, QStringLiteral("20"), QStringLiteral("0"));
        f.linha(2, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        f.pedido(3, QStringLiteral("2024-02-15"), QStringLiteral("Pedido"), QStringLiteral("Dr. João"),
                 QStringLiteral("4567"), QStringLiteral("01"), 0);           // NPED 0: no row
        f.formula(3, 1, QStringLiteral("20"), QStringLiteral("0"));
        f.linha(3, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        f.pedidoSimples(4, QStringLiteral("0"));
        f.db.pharmacySql(QStringLiteral("UPDATE PEDIDOS SET DATAPEDIDO = '2024-02-29' WHERE NPEDIDO = 4"));
        f.janela.geometria = QRect(275, 54, 205, 180);

        Acerta_Caps_Prescrita(f.janela);

        QCOMPARE(f.prescritas(), (QStringList{"01.1.1=30", "01.1.2=1", "01.1.3=45", "01.1.4=0", "01.1.5=0",
                                              "01.2.1=0", "01.3.1=0", "01.4.1=0"}));
        const QString semCrm = QStringLiteral("|Dr. João||");
        QCOMPARE(f.livro(), (QStringList{
                                anfepramona(1, QStringLiteral("30 CAP"), QStringLiteral("30 CAP")).replace(QStringLiteral("|Dr. João|4567|"), semCrm),
                                QStringLiteral("03853|Femproporex|-|CAP e 25 mg|SP1.1|2024-02-10|Dr. João||30 CAP|30 CAP|01|1|1"),
                                anfepramona(1, QStringLiteral("1 CAP"), QStringLiteral("1 CAP"), QStringLiteral("2")).replace(QStringLiteral("|Dr. João|4567|"), semCrm),
                                anfepramona(1, QStringLiteral("45 CAP"), QStringLiteral("20 CAP"), QStringLiteral("3")).replace(QStringLiteral("|Dr. João|4567|"), semCrm),
                            }));
        QCOMPARE(f.livro(outra).size(), 1);

        QCOMPARE(f.janela.geometria, QRect(215, 120, 205, 180));
        QCOMPARE(f.janela.legendas.mid(0, 2),
                 (QStringList{QStringLiteral("Verificação Inicial em \"Pedidos\""), QStringLiteral("Verificando Pedidos")}));
        QVERIFY(f.janela.legendas.contains(QStringLiteral("Verificando Inconsistência")));
        // The month's orders (29 February left out), those typed exactly
        // "Pedido", then the rows written.
        QCOMPARE(f.janela.maximos, (QList<int>{3, 2, 4}));
        QCOMPARE(f.janela.mensagensProcessadas, 0);
        QVERIFY(!f.janela.termometroVisivel);
        QCOMPARE(f.janela.habilitaCalls, 0);
        QVERIFY(f.modal.previews.isEmpty());
        // The four rows have no CRM: the report is written and shown.
        QCOMPARE(f.janela.mostrasInconsistencias, 1);
        QCOMPARE(f.janela.inconsistencias.count(QStringLiteral("\"CRM\" não encontrado")), 4);
        QVERIFY(f.janela.memo.startsWith(QStringLiteral("RELATÓRIO DE ERROS DE CONSISTÊNCIA")));
        QCOMPARE(f.janela.memo, f.relatorioDoLivroGravado());
        QVERIFY(QFile::exists(f.folders.root() + QStringLiteral("/DM.VELIX6.TXT")));
        QVERIFY(!f.dm.VELIX6.isOpen());
    }

    // Where the preparation and the correction see the same orders and
    // formulas, they build the same book.
    void igualAPreparacao()
    {
        Farmacia f;
        f.pedidoSimples(1, QStringLiteral("NULL"));
        f.pedido(2, QStringLiteral("2024-02-20"), QStringLiteral("Pedido"), QStringLiteral("Dra. D'Ávila"));
        f.formula(2, 1, QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("Matriz"), QStringLiteral("NULL"));
        f.linha(2, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"), QStringLiteral("0.5"));
        f.linha(2, 1, QStringLiteral("MAZ'INDOL"), QStringLiteral("1003"));
        f.linha(2, 1, QStringLiteral("SEM DCB"), QStringLiteral("1004"));
        f.formula(2, 2, QStringLiteral("90"), QStringLiteral("60"));
        f.linha(2, 2, QStringLiteral("CODIGO LONGO"), QStringLiteral("ABCDEFGHIJKLMNO"));
        const QStringList antes = f.prescritas();
        f.prepara(2024, 2);
        QStringList preparado = f.livro();
        const QStringList prescritasPreparadas = f.prescritas();
        f.db.pharmacySql(QStringLiteral("UPDATE PEDIFORM SET QDE_CAPS_PRESCRITA = NULL WHERE NPEDIDO = 1;"
                                        "UPDATE PEDIFORM SET QDE_CAPS_PRESCRITA = 0 WHERE NPEDIDO = 2 AND NFORMULA = 1"));
        QCOMPARE(f.prescritas(), antes);
        Acerta_Caps_Prescrita(f.janela);
        QStringList acertado = f.livro();
        preparado.sort();
        acertado.sort();
        QCOMPARE(acertado, preparado);
        QCOMPARE(f.prescritas(), prescritasPreparadas);
    }

    void falhaNadaMuda_data()
    {
        QTest::addColumn<QString>("mes");
        QTest::newRow("row refused half-way") << "FEVEREIRO";
        QTest::newRow("Março in small letters") << "Março";
    }
    void falhaNadaMuda()
    {
        QFETCH(QString, mes);
        Farmacia f;
        f.db.pharmacySql(QStringLiteral("INSERT INTO VELIX6 (DCB, DESCRICAO, CNPJ) VALUES ('1', 'antiga', '12345678000195');"
                                        "UPDATE DADOSGER SET MES = ") + test::q(mes));
        for (int n = 1; n <= 3; ++n)
            f.pedidoSimples(n, QStringLiteral("NULL"));
        f.pedido(4, QStringLiteral("2024-02-16"), QStringLiteral("Pedido"), QStringLiteral("FALHA"));
        f.formula(4, 1, QStringLiteral("60"), QStringLiteral("NULL"));
        f.linha(4, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
        f.ddl(QStringLiteral("CREATE EXCEPTION RECUSADA 'linha recusada'"));
        f.ddl(QStringLiteral("CREATE TRIGGER RECUSA FOR VELIX6 BEFORE INSERT AS BEGIN "
                             "IF (NEW.MEDICO = 'FALHA') THEN EXCEPTION RECUSADA; END"));
        const QStringList livro = f.livro();
        const QStringList prescritas = f.prescritas();
        QString classe;
        try {
            Acerta_Caps_Prescrita(f.janela);
        } catch (const Error &e) {
            classe = e.className();
        }
        QCOMPARE(classe, mes == QStringLiteral("Março") ? QStringLiteral("EConvertError") : QStringLiteral("EDatabaseError"));
        QCOMPARE(f.livro(), livro);
        QCOMPARE(f.prescritas(), prescritas);
        QVERIFY(!f.janela.termometroVisivel);
        QVERIFY(!ComandoExclusivo::ativo());
        QVERIFY(!f.dm.sqlcon1.inTransaction());
    }
};

QTEST_MAIN(TestAcerta)
#include "test_acerta.moc"
