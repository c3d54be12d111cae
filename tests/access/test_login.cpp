#include "access/UChKProt.h"
#include "access/estacao.h"
#include "access/login.h"
#include "data/tabelas.h"
#include "data/udm.h"
#include "data/udm2.h"
#include "platform/programa.h"
#include "recordingmodal.h"
#include "fbfixture.h"
#include "tempfolders.h"

#include <QDate>
#include <QDir>
#include <QtTest>

#include <memory>

using namespace velix;

namespace {

// The login panel as the check sees it: what was typed, where the focus went,
// what happened to the window.
struct FakePanel : LoginView {
    QString nomeText, senhaText, title;
    QString focus;
    bool accepted = false, closed = false;

    QString nome() const override { return nomeText; }
    void setNome(const QString &t) override { nomeText = t; }
    QString senha() const override { return senhaText; }
    void focusNome() override { focus = QStringLiteral("EditNome"); }
    void focusSenha() override { focus = QStringLiteral("EditSenhaU"); }
    void loginAccepted() override
    {
        accepted = true;
        nomeText.clear();
        senhaText.clear();
    }
    void setTitle(const QString &t) override { title = t; }
    void closeMainWindow() override { closed = true; }
};

const QString Cnpj = QStringLiteral("12345678000195");

} // namespace

class TestLogin : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempFolders> folders;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<TDM2> dm2;
    std::unique_ptr<test::FbFixture> db;

    void sql(const QString &text) { db->pharmacySql(text); }

    // Users: DEMO/1234 (access granted), CURTO (ACESSO too short), ERRADO
    // (wrong 14th character), VAZIO (empty password), JOÃO/1 (accented name).
    void resetUsers()
    {
        const auto user = [](const QString &nome, const QString &senha, const QString &acesso) {
            return QStringLiteral("INSERT INTO USUARIOS (USUARIO, SENHA, ACESSO) VALUES ('%1', '%2', '%3');\n")
                .arg(CodificaTexto(nome), CodificaTexto(senha), acesso);
        };
        QString s = QStringLiteral("DELETE FROM USUARIOS;\nDELETE FROM ESTACOES;\nDELETE FROM DADOSGER;\n");
        s += user(QStringLiteral("DEMO"), QStringLiteral("1234"), QString(20, QLatin1Char('S')));
        s += user(QStringLiteral("CURTO"), QStringLiteral("1"), QStringLiteral("RRRRRRRRRRRRR"));
        s += user(QStringLiteral("ERRADO"), QStringLiteral("1"), QString(20, QLatin1Char('S')));
        s += user(QStringLiteral("VAZIO"), QString(), QString(20, QLatin1Char('e')));
        s += user(QStringLiteral("JOÃO"), QStringLiteral("1"), QString(20, QLatin1Char('Y')));
        s += user(QStringLiteral("O'NEIL"), QStringLiteral("1"), QString(20, QLatin1Char('^')));
        s += QStringLiteral("INSERT INTO ESTACOES (ESTACAO, DATBASNAM, USUARIO, CNPJ) VALUES ('01', 'interfac01', 'demo', '%1');\n").arg(Cnpj);
        for (const char *u : {"CURTO", "ERRADO", "VAZIO", "JOÃO", "O''NEIL"})
            s += QStringLiteral("INSERT INTO ESTACOES (ESTACAO, DATBASNAM, USUARIO, CNPJ) VALUES ('02', 'interfac02', '%1', '%2');\n")
                     .arg(QString::fromUtf8(u), Cnpj);
        s += QStringLiteral("INSERT INTO DADOSGER (CGC, FIRMA, MES, EXERCICIO) VALUES ('%1', 'Farmácia Modelo', 'NOVEMBRO', '2026');\n").arg(Cnpj);
        sql(s);
    }

private slots:
    void initTestCase()
    {
        folders = std::make_unique<test::TempFolders>();
        QVERIFY(folders->isValid());
        db = std::make_unique<test::FbFixture>(*folders);
        AssignColumnLists();
        dm = std::make_unique<TDM>();
        dm2 = std::make_unique<TDM2>();
    }

    void init()
    {
        resetUsers();
        NomeUsuario = QStringLiteral("root");
        CNPJLoja.clear();
        EstacaoAtual.clear();
        AcessoUsuario.clear();
        dm->DadosGer.close();
    }

    void cleanupTestCase()
    {
        dm2.reset();
        dm.reset();
        db.reset();
        folders.reset();
    }

    void refused_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("senha");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString naoAutorizado = QStringLiteral("Usuário %1 não autorizado");
        QTest::newRow("empty name") << QString() << QStringLiteral("1234")
                                    << QStringLiteral("Não foi informado o Nome do Usuário.") << "EditNome";
        QTest::newRow("name of blanks") << QStringLiteral("   ") << QStringLiteral("1234")
                                        << naoAutorizado.arg(QStringLiteral("   ")) << "EditNome";
        QTest::newRow("unknown user") << QStringLiteral("fulano") << QStringLiteral("1234")
                                      << naoAutorizado.arg(QStringLiteral("fulano")) << "EditNome";
        QTest::newRow("wrong password") << QStringLiteral("DEMO") << QStringLiteral("4321")
                                        << QStringLiteral("Senha incorreta. Tente novamente.") << "EditSenhaU";
        QTest::newRow("empty password for a user who has one")
            << QStringLiteral("DEMO") << QString() << QStringLiteral("Senha incorreta. Tente novamente.") << "EditSenhaU";
        QTest::newRow("name of 16 letters") << QStringLiteral("DEMODEMODEMODEMO") << QStringLiteral("1234")
                                            << naoAutorizado.arg(QStringLiteral("DEMODEMODEMODEMO")) << "EditNome";
        const QString longo(400, QLatin1Char('x'));
        QTest::newRow("name of 400 characters") << longo << QStringLiteral("1234") << naoAutorizado.arg(longo) << "EditNome";
        QTest::newRow("password of 500 characters") << QStringLiteral("DEMO") << QString(500, QLatin1Char('1'))
                                                    << QStringLiteral("Senha incorreta. Tente novamente.") << "EditSenhaU";
        QTest::newRow("password of 7 characters") << QStringLiteral("DEMO") << QStringLiteral("1234567")
                                                  << QStringLiteral("Senha incorreta. Tente novamente.") << "EditSenhaU";
        QTest::newRow("apostrophe in the name") << QStringLiteral("d'avila' or ''='") << QStringLiteral("1")
                                                << naoAutorizado.arg(QStringLiteral("d'avila' or ''='")) << "EditNome";
        QTest::newRow("access value too short") << QStringLiteral("CURTO") << QStringLiteral("1")
                                                << naoAutorizado.arg(QStringLiteral("CURTO")) << "EditNome";
        QTest::newRow("wrong 14th access character") << QStringLiteral("ERRADO") << QStringLiteral("1")
                                                     << naoAutorizado.arg(QStringLiteral("ERRADO")) << "EditNome";
        QTest::newRow("accented letters are not upper-cased") << QStringLiteral("joão") << QStringLiteral("1")
                                                              << naoAutorizado.arg(QStringLiteral("joão")) << "EditNome";
    }
    void refused()
    {
        QFETCH(QString, nome);
        QFETCH(QString, senha);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        test::RecordingModal seam;
        FakePanel panel;
        panel.nomeText = nome;
        panel.senhaText = senha;

        QVERIFY(!ValidaUsuario(panel));

        QCOMPARE(seam.messages, QStringList{message});
        QCOMPARE(panel.focus, focus);
        QVERIFY(!panel.accepted);
        QVERIFY(!panel.closed);
        QCOMPARE(panel.nomeText, nome);
        QCOMPARE(NomeUsuario, QStringLiteral("root"));
        QVERIFY(CNPJLoja.isEmpty());
        QVERIFY(!dm->Usuarios.isOpen());
        QVERIFY(!dm->DadosGer.isOpen());
        QVERIFY(seam.errors.isEmpty());
    }

    void accepted_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("senha");
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("estacao");
        QTest::newRow("demo") << QStringLiteral("DEMO") << QStringLiteral("1234") << QStringLiteral("DEMO") << "01";
        QTest::newRow("typed in lower case") << QStringLiteral("demo") << QStringLiteral("1234") << QStringLiteral("DEMO") << "01";
        QTest::newRow("empty stored password") << QStringLiteral("vazio") << QString() << QStringLiteral("VAZIO") << "02";
        QTest::newRow("accented name") << QStringLiteral("JOÃO") << QStringLiteral("1") << QStringLiteral("JOÃO") << "02";
        QTest::newRow("apostrophe in a real name") << QStringLiteral("o'neil") << QStringLiteral("1") << QStringLiteral("O'NEIL") << "02";
    }
    void accepted()
    {
        QFETCH(QString, nome);
        QFETCH(QString, senha);
        QFETCH(QString, usuario);
        QFETCH(QString, estacao);
        test::RecordingModal seam;
        FakePanel panel;
        panel.nomeText = nome;
        panel.senhaText = senha;

        QVERIFY(ValidaUsuario(panel));

        QVERIFY2(seam.messages.isEmpty(), qPrintable(seam.messages.join(QLatin1Char('\n'))));
        QVERIFY(seam.errors.isEmpty());
        QVERIFY(panel.accepted);
        QVERIFY(!panel.closed);
        QCOMPARE(NomeUsuario, usuario);
        QCOMPARE(panel.nomeText, usuario);   // the workstation selection puts the name back
        QCOMPARE(EstacaoAtual, estacao);
        QCOMPARE(CNPJLoja, Cnpj);
        QCOMPARE(AcessoUsuario.size(), 20);
        QCOMPARE(panel.title, tituloEstacao(usuario, estacao, Cnpj));
        QVERIFY(!dm->Usuarios.isOpen());
        QVERIFY(dm->DadosGer.isOpen());
        QCOMPARE(dm->DadosGer.recordCount(), 1);
        QCOMPARE(dm->DadosGer.fieldByName(QStringLiteral("FIRMA")).asString(), QStringLiteral("Farmácia Modelo"));
        QCOMPARE(dm2->SQLConnection1.database(),
                 folders->root() + QStringLiteral("/interfac") + estacao + QStringLiteral("/korvante.bd"));
    }

    void logFolderBesideTheExecutable()
    {
        test::RecordingModal seam;
        FakePanel panel;
        QVERIFY(!ValidaUsuario(panel));   // even a refused attempt creates it
        QVERIFY(QDir(folders->program() + QStringLiteral("/LOG")).exists());
        QCOMPARE(ArquivoLog, folders->program() + QStringLiteral("/LOG/LOG") + QDate::currentDate().toString(QStringLiteral("MMdd"))
                                 + QStringLiteral(".TXT"));
        QVERIFY(!QFile::exists(ArquivoLog));
        QVERIFY(!ValidaUsuario(panel));   // and an existing folder is no error
        QCOMPARE(seam.errors.size(), 0);
    }

    void workstation_data()
    {
        QTest::addColumn<QString>("rows");        // INSERTs into ESTACOES
        QTest::addColumn<QString>("datbasnam");
        QTest::addColumn<QString>("estacao");
        QTest::addColumn<QString>("cnpj");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("messages");
        const QString cr(QChar(13));
        const QString semEstacao = QStringLiteral(
            "Não foi possível selecionar uma área de trabalho para o usuário \"ANA\". \r\rCausas prováveis: \r\r"
            "  1) Na tabela \"Estacoes.db\" não foi incluída uma estação para o usuário \"ANA\".\r"
            "     Obs: Criar também a área de trabalho física (pasta C:\\Korvante\\InterfacXX) para este usuário.\r"
            "  --> Favor contactar o suporte técnico da KVT SISTEMAS <--");
        const auto row = [](const char *estacao, const char *datbasnam, const char *usuario, const char *cnpj) {
            return QStringLiteral("INSERT INTO ESTACOES (ESTACAO, DATBASNAM, USUARIO, CNPJ, EMUSO) VALUES (%1, %2, %3, %4, 'S');\n")
                .arg(estacao ? QStringLiteral("'%1'").arg(QLatin1String(estacao)) : QStringLiteral("''"),
                     datbasnam ? QStringLiteral("'%1'").arg(QLatin1String(datbasnam)) : QStringLiteral("NULL"),
                     QStringLiteral("'%1'").arg(QLatin1String(usuario)),
                     cnpj ? QStringLiteral("'%1'").arg(QLatin1String(cnpj)) : QStringLiteral("NULL"));
        };
        QTest::newRow("one row in use") << row("07", "interfac07", "ANA", "11222333000144") << "interfac07" << "07"
                                        << "11222333000144"
                                        << "  VELIX6  -  Usuário: \"ANA\"   Estação: 07  Loja: 11.222.333/0001-44" << QStringList();
        QTest::newRow("mixed-case user") << row("07", "x", "aNa", "11222333000144") << "x" << "07" << "11222333000144"
                                         << "  VELIX6  -  Usuário: \"ANA\"   Estação: 07  Loja: 11.222.333/0001-44" << QStringList();
        QTest::newRow("station of three characters") << row("123", "x", "ana", "11222333000144") << "x" << "12"
                                                      << "11222333000144"
                                                      << "  VELIX6  -  Usuário: \"ANA\"   Estação: 12  Loja: 11.222.333/0001-44"
                                                      << QStringList();
        QTest::newRow("short CNPJ") << row("07", "x", "ana", "1122233") << "x" << "07" << "1122233"
                                    << "  VELIX6  -  Usuário: \"ANA\"   Estação: 07  Loja: 11.222.33/-" << QStringList();
        QTest::newRow("no CNPJ") << row("07", "x", "ana", nullptr) << "x" << "07" << ""
                                 << "  VELIX6  -  Usuário: \"ANA\"   Estação: 07  Loja: ../-"
                                 << QStringList{QStringLiteral("Erro na configuração da tabela ESTACOES:") + cr
                                                + QStringLiteral("O campo CNPJ tabela ESTACOES não foi preenchido para o a estação 07")};
        QTest::newRow("no DATBASNAM") << row("07", nullptr, "ana", "11222333000144") << "" << "07" << "11222333000144"
                                      << "  VELIX6  -  Usuário: \"ANA\"   Estação: 07  Loja: 11.222.333/0001-44" << QStringList();
        QTest::newRow("no row for the user") << row("07", "x", "anabela", "11222333000144") << "" << "" << "" << ""
                                             << QStringList{semEstacao};
        QTest::newRow("no row at all") << QString() << "" << "" << "" << "" << QStringList{semEstacao};
    }
    void workstation()
    {
        QFETCH(QString, rows);
        QFETCH(QString, datbasnam);
        QFETCH(QString, estacao);
        QFETCH(QString, cnpj);
        QFETCH(QString, title);
        QFETCH(QStringList, messages);
        sql(QStringLiteral("DELETE FROM ESTACOES;\n") + rows);
        test::RecordingModal seam;
        FakePanel panel;
        NomeUsuario = QStringLiteral("ANA");
        const QString before = dm2->SQLConnection1.database();

        QCOMPARE(SelecionaEstacao(panel), datbasnam);

        QCOMPARE(seam.messages, messages);
        QCOMPARE(panel.nomeText, QStringLiteral("ANA"));
        QCOMPARE(EstacaoAtual, estacao);
        QCOMPARE(CNPJLoja, cnpj);
        QCOMPARE(panel.title, title);
        QVERIFY(!dm->Estacoes.isOpen());
        if (title.isEmpty())
            QCOMPARE(dm2->SQLConnection1.database(), before);
        else
            QCOMPARE(dm2->SQLConnection1.database(),
                     folders->root() + QStringLiteral("/interfac") + estacao + QStringLiteral("/korvante.bd"));
    }

    void twoRowsTakeTheFirstTheDatabaseGives()
    {
        sql(QStringLiteral("DELETE FROM ESTACOES;\n"
                                     "INSERT INTO ESTACOES (ESTACAO, DATBASNAM, USUARIO, CNPJ) VALUES ('05', 'a', 'ANA', '1');\n"
                                     "INSERT INTO ESTACOES (ESTACAO, DATBASNAM, USUARIO, CNPJ) VALUES ('06', 'b', 'ana', '2');\n"));
        test::RecordingModal seam;
        FakePanel panel;
        NomeUsuario = QStringLiteral("ANA");
        // The selection has no order: whichever row comes first is used, whole.
        const QString datbasnam = SelecionaEstacao(panel);
        QVERIFY(datbasnam == QLatin1String("a") || datbasnam == QLatin1String("b"));
        QCOMPARE(EstacaoAtual, datbasnam == QLatin1String("a") ? QStringLiteral("05") : QStringLiteral("06"));
        QCOMPARE(CNPJLoja, datbasnam == QLatin1String("a") ? QStringLiteral("1") : QStringLiteral("2"));
    }

    void noWorkstationEndsTheProgram()
    {
        sql(QStringLiteral("DELETE FROM ESTACOES;\n"));
        test::RecordingModal seam;
        FakePanel panel;
        panel.nomeText = QStringLiteral("demo");
        panel.senhaText = QStringLiteral("1234");
        QVERIFY(ValidaUsuario(panel));
        QCOMPARE(seam.messages.size(), 2);
        QVERIFY(seam.messages[0].startsWith(QStringLiteral("Não foi possível selecionar uma área de trabalho para o usuário \"DEMO\".")));
        QCOMPARE(seam.messages[1], QStringLiteral("Não foi identificada uma área de trabalho para o usuáro DEMO"));
        QVERIFY(panel.closed);
        QVERIFY(!dm->DadosGer.isOpen());
    }

    void checksChangeNoTable()
    {
        // Every path of the check only reads: users and workstations stay as they were.
        const QString estacoes = QStringLiteral(
            "select ESTACAO, DATBASNAM, TIPO, ATCAIXA, ESVAZIAR, EMUSO, CAMINHOREQUISICAO, CAMINHOOM, CAMINHOECF, "
            "CAMINHOSEQUENCIAL1, CAMINHO2, ROTULO1, ROTULO2, ROTULO3, ROTULO4, ROTULO5, ROTULO6, USUARIO, CNPJ "
            "from ESTACOES order by ESTACAO, USUARIO");
        const auto snapshot = [&] {
            QStringList rows;
            const std::pair<ClientDataSet *, QString> tables[] = {
                {&dm->Usuarios, QStringLiteral("select ") + Campos_USUARIOS + QStringLiteral(" from USUARIOS order by USUARIO")},
                {&dm->Estacoes, estacoes}};
            for (const auto &[ds, select] : tables) {
                ds->close();
                ds->setCommandText(select);
                ds->open();
                for (ds->first(); !ds->eof(); ds->next()) {
                    QStringList values;
                    for (int i = 0; i < ds->fieldCount(); ++i)
                        values << ds->field(i).asString();
                    rows << values.join(QLatin1Char('|'));
                }
                ds->close();
            }
            return rows;
        };
        const QStringList before = snapshot();
        test::RecordingModal seam;
        for (const auto &[nome, senha] : {std::pair{"demo", "1234"}, {"demo", "x"}, {"curto", "1"}, {"", ""}, {"x'y", "1"}}) {
            FakePanel panel;
            panel.nomeText = QString::fromUtf8(nome);
            panel.senhaText = QString::fromUtf8(senha);
            ValidaUsuario(panel);
        }
        QCOMPARE(snapshot(), before);
        QVERIFY(seam.errors.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLogin)
#include "test_login.moc"
