#include "data/firebird.h"
#include "data/tabelas.h"
#include "data/udm.h"
#include "platform/cp1252.h"
#include "platform/programa.h"
#include "registration/dadoscadastrais.h"
#include "recordingmodal.h"
#include "fbfixture.h"
#include "tempfolders.h"

#include <QtTest>

#include <memory>

using namespace velix;

namespace {

// The panel as the command sees it.
struct FakePainel : DadosCadastraisView {
    bool visivel = false;
    QString foco;
    int mostrado = 0;

    void mostraPainel() override
    {
        visivel = true;
        ++mostrado;
    }
    void escondePainel() override { visivel = false; }
    void focaCampo(const QString &coluna) override { foco = coluna; }
};

const QString Cnpj = QStringLiteral("12345678000195");
const QString OutroCnpj = QStringLiteral("98765432000110");

} // namespace

class TestDadosCadastrais : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempFolders> folders;
    std::unique_ptr<test::FbFixture> db;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<test::RecordingModal> modal;
    FakePainel painel;
    std::unique_ptr<CadastroFarmacia> cadastro;

    void sql(const QString &text) { db->pharmacySql(text); }

    // DDL whose body holds semicolons, through a connection of its own.
    void ddl(const QString &text)
    {
        SQLConnection con(QStringLiteral("ddl"));
        con.setDatabase(db->pharmacyDb());
        con.executeDirect(text);
    }

    QString coluna(const QString &col, const QString &cgc = Cnpj)
    {
        const QueryResult r = db->pharmacyQuery(QStringLiteral("select %1 from DADOSGER where CGC = '%2'").arg(col, cgc));
        if (r.rows.empty() || r.rows[0][0].isNull())
            return QStringLiteral("<null>");
        return r.rows[0][0].kind() == Value::Kind::Text ? r.rows[0][0].textValue()
                                                        : QString::number(r.rows[0][0].integerValue());
    }
    int linhas()
    {
        return db->pharmacyQuery(QStringLiteral("select cast(count(*) as integer) from DADOSGER")).rows[0][0].integerValue();
    }
    int atualizacoes()
    {
        return db->pharmacyQuery(QStringLiteral("select N from CONTA_UPDATES")).rows[0][0].integerValue();
    }
    ClientDataSet &dadosGer() { return dm->DadosGer; }

private slots:
    void initTestCase()
    {
        folders = std::make_unique<test::TempFolders>();
        QVERIFY(folders->isValid());
        db = std::make_unique<test::FbFixture>(*folders);
        AssignColumnLists();
        dm = std::make_unique<TDM>();
        sql(QStringLiteral("CREATE TABLE CONTA_UPDATES (N INTEGER)"));
        ddl(QStringLiteral("CREATE TRIGGER DADOSGER_CONTA FOR DADOSGER AFTER UPDATE AS "
                           "BEGIN UPDATE CONTA_UPDATES SET N = N + 1; END"));
        // Stands for whatever the database may refuse.
        sql(QStringLiteral("ALTER TABLE DADOSGER ADD CONSTRAINT FIRMA_RECUSADA CHECK (FIRMA IS DISTINCT FROM 'RECUSADA')"));
        ddl(QStringLiteral("CREATE UNIQUE INDEX DADOSGER_CGC ON DADOSGER (CGC)"));
    }

    void init()
    {
        sql(QStringLiteral("DELETE FROM DADOSGER; DELETE FROM CONTA_UPDATES; INSERT INTO CONTA_UPDATES VALUES (0);"
                           "INSERT INTO DADOSGER (CGC, FIRMA, FARMACEUTICO, MES, EXERCICIO, CIDADE, QDEFOLHAS) "
                           "VALUES ('%1', 'Farmácia Modelo', 'Ana Lima', 'NOVEMBRO', '2026', 'Campinas', 200);"
                           "INSERT INTO DADOSGER (CGC, FIRMA) VALUES ('%2', 'Outra Farmácia')")
                .arg(Cnpj, OutroCnpj));
        CNPJLoja = Cnpj;
        dm->DadosGer.close();
        dm->sqlcon1.setDatabase(pharmacyDatabaseLocation(QString()));
        painel = FakePainel();
        modal = std::make_unique<test::RecordingModal>();
        cadastro = std::make_unique<CadastroFarmacia>(painel);
    }

    void cleanup()
    {
        cadastro.reset();
        modal.reset();
    }

    void cleanupTestCase()
    {
        dm.reset();
        db.reset();
        folders.reset();
    }

    void lists()
    {
        const QStringList meses = mesesDoLivro();
        QCOMPARE(meses.size(), 12);
        QCOMPARE(meses[2], QStringLiteral("MARCO"));
        QCOMPARE(meses.first(), QStringLiteral("JANEIRO"));
        QCOMPARE(meses.last(), QStringLiteral("DEZEMBRO"));
        const QStringList anos = anosDoLivro();
        QCOMPARE(anos.size(), 25);
        QCOMPARE(anos.first(), QStringLiteral("2006"));
        QCOMPARE(anos.last(), QStringLiteral("2030"));
    }

    void cnpj_data()
    {
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<QString>("digitos");
        QTest::addColumn<bool>("completo");
        QTest::newRow("with punctuation") << "12.345.678/0001-95" << "12345678000195" << true;
        QTest::newRow("digits alone") << "12345678000195" << "12345678000195" << true;
        QTest::newRow("pasted with words and blanks") << " CNPJ: 12 345 678/0001 95 (matriz)" << "12345678000195" << true;
        QTest::newRow("twelve required digits") << "12.345.678/0001-__" << "123456780001" << true;
        QTest::newRow("thirteen") << "12.345.678/0001-9_" << "1234567800019" << true;
        QTest::newRow("required digit missing") << "12.345.678/000_-__" << "12345678000" << false;
        QTest::newRow("more than fourteen digits") << "12.345.678/0001-9577" << "12345678000195" << true;
        QTest::newRow("empty mask") << "__.___.___/____-__" << "" << false;
        QTest::newRow("letters only") << "abc" << "" << false;
    }

    void cnpj()
    {
        QFETCH(QString, digitado);
        QFETCH(QString, digitos);
        QFETCH(bool, completo);
        QCOMPARE(cnpjDigitos(digitado), digitos);
        QCOMPARE(cnpjCompleto(cnpjDigitos(digitado)), completo);
    }

    // Open, edit, store, read again.
    void editStoreReread()
    {
        cadastro->actConfCadExecute();
        QVERIFY(painel.visivel);
        QCOMPARE(painel.foco, QStringLiteral("SECRETARIA_SAUDE"));
        QVERIFY(dadosGer().isOpen());
        QCOMPARE(dadosGer().fieldByName(QStringLiteral("FIRMA")).asString(), QStringLiteral("Farmácia Modelo"));

        QVERIFY(cadastro->alteraCampo(QStringLiteral("MES"), QStringLiteral("MARCO")));
        QCOMPARE(dadosGer().state(), DataSetState::Edit);
        QVERIFY(cadastro->alteraCampo(QStringLiteral("FARMACEUTICO"), QStringLiteral("Beatriz D'Ávila")));
        QVERIFY(cadastro->alteraCampo(QStringLiteral("CGC"), QStringLiteral("12.345.678/0001-95")));  // the same CNPJ
        cadastro->BitBtn36Click();
        QVERIFY(!painel.visivel);
        QVERIFY(!dadosGer().isOpen());
        QVERIFY(modal->messages.isEmpty());
        QCOMPARE(coluna(QStringLiteral("MES")), QStringLiteral("MARCO"));
        QCOMPARE(coluna(QStringLiteral("FARMACEUTICO")), QStringLiteral("Beatriz D'Ávila"));
        // Columns the user did not touch keep their values.
        QCOMPARE(coluna(QStringLiteral("FIRMA")), QStringLiteral("Farmácia Modelo"));
        QCOMPARE(coluna(QStringLiteral("CIDADE")), QStringLiteral("Campinas"));
        QCOMPARE(coluna(QStringLiteral("QDEFOLHAS")), QStringLiteral("200"));
        QCOMPARE(coluna(QStringLiteral("FIRMA"), OutroCnpj), QStringLiteral("Outra Farmácia"));
        QCOMPARE(atualizacoes(), 1);

        cadastro->actConfCadExecute();
        QCOMPARE(dadosGer().fieldByName(QStringLiteral("MES")).asString(), QStringLiteral("MARCO"));
        QCOMPARE(dadosGer().fieldByName(QStringLiteral("FARMACEUTICO")).asString(), QStringLiteral("Beatriz D'Ávila"));
        cadastro->BitBtn36Click();
        QCOMPARE(atualizacoes(), 1);
    }

    // Every letter of the code page, apostrophes, and pasted text longer than the column.
    void textsStoredAsTyped_data()
    {
        QTest::addColumn<QString>("col");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("gravado");
        QString letras;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QChar c = fromCp1252(QByteArray(1, char(b))).at(0);
            if (c.isLetter())
                letras += c;
        }
        QVERIFY(letras.size() > 60);
        QTest::newRow("letters 1") << "SECRETARIA_SAUDE" << letras.left(60) << letras.left(60);
        QTest::newRow("letters 2") << "AUTORIDADE_SANITARIA" << letras.mid(60, 60) << letras.mid(60, 60);
        QTest::newRow("apostrophes") << "ENDERECO" << "Rua D'Ouro, 12 - 'fundos'" << "Rua D'Ouro, 12 - 'fundos'";
        QTest::newRow("symbols") << "FIRMA" << "Nº 1 ª º € “ ” ‘ ’ – — ™ § ©" << "Nº 1 ª º € “ ” ‘ ’ – — ™ § ©";
        const QString longo = QStringLiteral("Vigilância Sanitária Municipal de São José dos Campos - Secretaria");
        QTest::newRow("longer than the column") << "NLICENCA_FUNC" << longo << longo.left(30);
        QTest::newRow("blanks kept") << "CRF_Q" << "  SP-1234  " << "  SP-1234  ";
    }

    void textsStoredAsTyped()
    {
        QFETCH(QString, col);
        QFETCH(QString, texto);
        QFETCH(QString, gravado);
        cadastro->actConfCadExecute();
        QVERIFY(cadastro->alteraCampo(col, texto));
        cadastro->BitBtn36Click();
        QVERIFY(modal->messages.isEmpty());
        QCOMPARE(coluna(col), gravado);
        // One byte per character: stored in the code page, byte for byte.
        QCOMPARE(coluna(QStringLiteral("CAST(OCTET_LENGTH(%1) AS INTEGER)").arg(col)), QString::number(toCp1252(gravado).size()));
    }

    // A pharmacy without a row gets one with what the user typed, CNPJ included.
    void newRow_data()
    {
        QTest::addColumn<QString>("cnpjDigitado");
        QTest::newRow("punctuated") << "11.222.333/0001-81";
        QTest::newRow("digits") << "11222333000181";
        QTest::newRow("pasted with words") << "CNPJ 11.222.333/0001-81.";
    }

    void newRow()
    {
        QFETCH(QString, cnpjDigitado);
        const QString novo = QStringLiteral("11222333000181");
        CNPJLoja = novo;
        cadastro->actConfCadExecute();
        QVERIFY(dadosGer().isEmpty());
        QVERIFY(cadastro->alteraCampo(QStringLiteral("FIRMA"), QStringLiteral("Farmácia Nova")));
        QCOMPARE(dadosGer().state(), DataSetState::Insert);
        QVERIFY(cadastro->alteraCampo(QStringLiteral("MES"), QStringLiteral("JANEIRO")));
        QVERIFY(cadastro->alteraCampo(QStringLiteral("CGC"), cnpjDigitado));
        cadastro->BitBtn36Click();
        QVERIFY(modal->messages.isEmpty());
        QVERIFY(!painel.visivel);
        QCOMPARE(linhas(), 3);
        QCOMPARE(coluna(QStringLiteral("FIRMA"), novo), QStringLiteral("Farmácia Nova"));
        QCOMPARE(coluna(QStringLiteral("MES"), novo), QStringLiteral("JANEIRO"));
        QCOMPARE(coluna(QStringLiteral("EXERCICIO"), novo), QStringLiteral("<null>"));  // never picked
        QCOMPARE(atualizacoes(), 0);

        cadastro->actConfCadExecute();
        QCOMPARE(dadosGer().recordCount(), 1);
        QCOMPARE(dadosGer().fieldByName(QStringLiteral("FIRMA")).asString(), QStringLiteral("Farmácia Nova"));
        cadastro->BitBtn36Click();
    }

    // Before a login: no CNPJ, an empty selection; typing starts a new row.
    void noCnpjLoja()
    {
        CNPJLoja.clear();
        cadastro->actConfCadExecute();
        QVERIFY(painel.visivel);
        QVERIFY(dadosGer().isEmpty());
        QVERIFY(cadastro->alteraCampo(QStringLiteral("CGC"), QStringLiteral("55.666.777/0001-99")));
        cadastro->BitBtn36Click();
        QVERIFY(modal->messages.isEmpty());
        QCOMPARE(coluna(QStringLiteral("CGC"), QStringLiteral("55666777000199")), QStringLiteral("55666777000199"));
    }

    // A new row without a CNPJ could never be found again: it is not stored.
    void newRowNeedsCnpj()
    {
        CNPJLoja = QStringLiteral("11222333000181");
        cadastro->actConfCadExecute();
        QVERIFY(cadastro->alteraCampo(QStringLiteral("FIRMA"), QStringLiteral("Farmácia Nova")));
        cadastro->BitBtn36Click();
        QCOMPARE(modal->messages, QStringList{mensagemValorInvalido()});
        QVERIFY(painel.visivel);
        QCOMPARE(painel.foco, QStringLiteral("CGC"));
        QCOMPARE(dadosGer().fieldByName(QStringLiteral("FIRMA")).asString(), QStringLiteral("Farmácia Nova"));
        QVERIFY(cadastro->validaCnpj());  // nothing typed there: the field may be left
        // Pressed again without a change: leaves without storing.
        cadastro->BitBtn36Click();
        QVERIFY(!painel.visivel);
        QCOMPARE(modal->messages.size(), 1);
        QCOMPARE(linhas(), 2);
    }

    // Leaving without a change sends nothing and says nothing.
    void unchangedWritesNothing_data()
    {
        QTest::addColumn<QStringList>("digitado");  // column, text, column, text...
        QTest::newRow("nothing typed") << QStringList();
        QTest::newRow("typed back as it was") << QStringList{"FARMACEUTICO", "Ana", "FARMACEUTICO", "Ana Lima"};
        QTest::newRow("CNPJ retyped with punctuation") << QStringList{"CGC", "12.345.678/0001-95"};
        QTest::newRow("emptied field left empty") << QStringList{"BAIRRO", "x", "BAIRRO", ""};
    }

    void unchangedWritesNothing()
    {
        QFETCH(QStringList, digitado);
        cadastro->actConfCadExecute();
        for (int i = 0; i + 1 < digitado.size(); i += 2)
            QVERIFY(cadastro->alteraCampo(digitado[i], digitado[i + 1]));
        cadastro->BitBtn36Click();
        QVERIFY(!painel.visivel);
        QVERIFY(!dadosGer().isOpen());
        QVERIFY(modal->messages.isEmpty());
        QCOMPARE(atualizacoes(), 0);
        QCOMPARE(coluna(QStringLiteral("BAIRRO")), QStringLiteral("<null>"));
    }

    // A change the database refuses: the message says why, the panel keeps the
    // values, the cache holds no pending change; the user corrects and stores.
    void refusedThenCorrected_data()
    {
        QTest::addColumn<QString>("col");
        QTest::addColumn<QString>("recusado");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("constraint") << "FIRMA" << "RECUSADA" << "FIRMA_RECUSADA";
        QTest::newRow("CNPJ of another row") << "CGC" << "98.765.432/0001-10" << "DADOSGER_CGC";
    }

    void refusedThenCorrected()
    {
        QFETCH(QString, col);
        QFETCH(QString, recusado);
        QFETCH(QString, motivo);
        cadastro->actConfCadExecute();
        QVERIFY(cadastro->alteraCampo(QStringLiteral("FARMACEUTICO"), QStringLiteral("Carla Souza")));
        QVERIFY(cadastro->alteraCampo(col, recusado));
        cadastro->BitBtn36Click();

        QCOMPARE(modal->messages.size(), 1);
        QVERIFY2(modal->messages[0].startsWith(QStringLiteral("Os dados cadastrais não foram gravados.")),
                 qPrintable(modal->messages[0]));
        QVERIFY2(modal->messages[0].contains(motivo), qPrintable(modal->messages[0]));
        QVERIFY(modal->errors.isEmpty());
        QVERIFY(painel.visivel);
        QVERIFY(cadastro->recusado());
        QCOMPARE(dadosGer().state(), DataSetState::Edit);
        QCOMPARE(dadosGer().changeCount(), 0);
        QCOMPARE(dadosGer().fieldByName(QStringLiteral("FARMACEUTICO")).asString(), QStringLiteral("Carla Souza"));
        QCOMPARE(dadosGer().fieldByName(col).asString(), col == QLatin1String("CGC") ? cnpjDigitos(recusado) : recusado);
        QCOMPARE(coluna(QStringLiteral("FARMACEUTICO")), QStringLiteral("Ana Lima"));
        QCOMPARE(atualizacoes(), 0);

        // Corrected: stored.
        QVERIFY(cadastro->alteraCampo(col, col == QLatin1String("CGC") ? Cnpj : QStringLiteral("Farmácia Boa")));
        QVERIFY(!cadastro->recusado());
        cadastro->BitBtn36Click();
        QCOMPARE(modal->messages.size(), 1);
        QVERIFY(!painel.visivel);
        QCOMPARE(coluna(QStringLiteral("FARMACEUTICO")), QStringLiteral("Carla Souza"));
        QCOMPARE(atualizacoes(), 1);
    }

    // After a refusal, pressing the exit button again without a change leaves without storing.
    void refusedThenLeft()
    {
        cadastro->actConfCadExecute();
        QVERIFY(cadastro->alteraCampo(QStringLiteral("FIRMA"), QStringLiteral("RECUSADA")));
        cadastro->BitBtn36Click();
        QCOMPARE(modal->messages.size(), 1);
        QVERIFY(painel.visivel);
        cadastro->BitBtn36Click();
        QCOMPARE(modal->messages.size(), 1);
        QVERIFY(!painel.visivel);
        QVERIFY(!dadosGer().isOpen());
        QCOMPARE(coluna(QStringLiteral("FIRMA")), QStringLiteral("Farmácia Modelo"));
        QCOMPARE(atualizacoes(), 0);
    }

    // A new row the database refuses keeps its values too.
    void refusedNewRow()
    {
        CNPJLoja = QStringLiteral("11222333000181");
        cadastro->actConfCadExecute();
        QVERIFY(cadastro->alteraCampo(QStringLiteral("FIRMA"), QStringLiteral("Farmácia Nova")));
        QVERIFY(cadastro->alteraCampo(QStringLiteral("CGC"), QStringLiteral("12.345.678/0001-95")));  // taken
        cadastro->BitBtn36Click();
        QCOMPARE(modal->messages.size(), 1);
        QVERIFY(modal->messages[0].contains(QStringLiteral("DADOSGER_CGC")));
        QCOMPARE(dadosGer().state(), DataSetState::Insert);
        QCOMPARE(dadosGer().changeCount(), 0);
        QCOMPARE(dadosGer().fieldByName(QStringLiteral("FIRMA")).asString(), QStringLiteral("Farmácia Nova"));
        QVERIFY(cadastro->alteraCampo(QStringLiteral("CGC"), QStringLiteral("11.222.333/0001-81")));
        cadastro->BitBtn36Click();
        QCOMPARE(modal->messages.size(), 1);
        QVERIFY(!painel.visivel);
        QCOMPARE(linhas(), 3);
        QCOMPARE(coluna(QStringLiteral("FIRMA"), QStringLiteral("11222333000181")), QStringLiteral("Farmácia Nova"));
    }

    // The database cannot be reached when storing.
    void lostConnection()
    {
        cadastro->actConfCadExecute();
        QVERIFY(cadastro->alteraCampo(QStringLiteral("FARMACEUTICO"), QStringLiteral("Carla Souza")));
        dm->sqlcon1.setDatabase(folders->root() + QStringLiteral("/nenhum/korvante.bd"));
        cadastro->BitBtn36Click();
        QCOMPARE(modal->messages.size(), 1);
        QVERIFY2(modal->messages[0].contains(QStringLiteral("nenhum")), qPrintable(modal->messages[0]));
        QVERIFY(painel.visivel);
        QCOMPARE(dadosGer().changeCount(), 0);
        QCOMPARE(dadosGer().fieldByName(QStringLiteral("FARMACEUTICO")).asString(), QStringLiteral("Carla Souza"));
        // The connection is back: storing again (after touching a field) works.
        dm->sqlcon1.setDatabase(pharmacyDatabaseLocation(QString()));
        QVERIFY(cadastro->alteraCampo(QStringLiteral("FARMACEUTICO"), QStringLiteral("Carla Souza")));
        cadastro->BitBtn36Click();
        QVERIFY(!painel.visivel);
        QCOMPARE(coluna(QStringLiteral("FARMACEUTICO")), QStringLiteral("Carla Souza"));
    }

    // A CNPJ with required digits missing.
    void incompleteCnpj()
    {
        cadastro->actConfCadExecute();
        QVERIFY(cadastro->validaCnpj());  // untouched
        QVERIFY(cadastro->alteraCampo(QStringLiteral("FIRMA"), QStringLiteral("Farmácia Modelo Ltda")));
        QVERIFY(cadastro->alteraCampo(QStringLiteral("CGC"), QStringLiteral("12.345.67_/____-__")));
        QVERIFY(cadastro->cnpjIncompleto());
        painel.foco.clear();
        QVERIFY(!cadastro->validaCnpj());
        QCOMPARE(modal->messages, QStringList{mensagemValorInvalido()});
        QCOMPARE(painel.foco, QStringLiteral("CGC"));

        // Storing refuses it too; the row is not touched.
        cadastro->BitBtn36Click();
        QCOMPARE(modal->messages.size(), 2);
        QVERIFY(painel.visivel);
        QCOMPARE(atualizacoes(), 0);

        // Escape in the field brings the stored CNPJ back; the other edit is stored.
        cadastro->restauraCnpj();
        QVERIFY(!cadastro->cnpjIncompleto());
        QCOMPARE(dadosGer().fieldByName(QStringLiteral("CGC")).asString(), Cnpj);
        cadastro->BitBtn36Click();
        QVERIFY(!painel.visivel);
        QCOMPARE(coluna(QStringLiteral("FIRMA")), QStringLiteral("Farmácia Modelo Ltda"));
        QCOMPARE(coluna(QStringLiteral("CGC")), Cnpj);
    }

    // Opening again while shown reads the row again; the edit is dropped.
    void reopenRereads()
    {
        cadastro->actConfCadExecute();
        QVERIFY(cadastro->alteraCampo(QStringLiteral("FIRMA"), QStringLiteral("Não gravada")));
        sql(QStringLiteral("UPDATE DADOSGER SET CIDADE = 'Jundiaí' WHERE CGC = '%1'").arg(Cnpj));
        cadastro->actConfCadExecute();
        QVERIFY(painel.visivel);
        QCOMPARE(painel.mostrado, 2);
        QCOMPARE(dadosGer().state(), DataSetState::Browse);
        QCOMPARE(dadosGer().fieldByName(QStringLiteral("FIRMA")).asString(), QStringLiteral("Farmácia Modelo"));
        QCOMPARE(dadosGer().fieldByName(QStringLiteral("CIDADE")).asString(), QStringLiteral("Jundiaí"));
        cadastro->BitBtn36Click();
        QCOMPARE(coluna(QStringLiteral("FIRMA")), QStringLiteral("Farmácia Modelo"));
        QCOMPARE(atualizacoes(), 1);  // only the UPDATE above
    }

    // Typing while the data is closed (another command closed it) changes nothing.
    void closedDataSet()
    {
        cadastro->actConfCadExecute();
        dadosGer().close();
        QVERIFY(!cadastro->alteraCampo(QStringLiteral("FIRMA"), QStringLiteral("x")));
        QVERIFY(!cadastro->cnpjIncompleto());
        cadastro->BitBtn36Click();
        QVERIFY(!painel.visivel);
        QVERIFY(modal->messages.isEmpty());
        QCOMPARE(atualizacoes(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDadosCadastrais)
#include "test_dadoscadastrais.moc"
