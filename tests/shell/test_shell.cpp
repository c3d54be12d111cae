#include "book/inconsistencias.h"
#include "data/tabelas.h"
#include "data/udm.h"
#include "platform/errors.h"
#include "platform/exclusivo.h"
#include "platform/programa.h"
#include "platform/system.h"
#include "recordingmodal.h"
#include "report/livros.h"
#include "settings/configuracoes.h"
#include "shell/application.h"
#include "shell/cores.h"
#include "shell/formrelatadministrativo.h"
#include "shell/startup.h"
#include "shell/termometro.h"
#include "shell/widgetmodal.h"
#include "fbfixture.h"
#include "tempfolders.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace velix;

namespace {

const QByteArray kIni = "IP DO SERVIDOR CENTRAL.........................: 10.0.0.5\r\n"
                        "COR DE FUNDO DAS TELAS.........................: 13222311\r\n";

const QString kMensagemSemIni =
    QStringLiteral("Arquivo KORVANTE.INI não encontrado. Execute o programa Instalio.exe para criá-lo.");

// A widget whose key handler fails without catching its error.
class Explosivo : public QWidget {
protected:
    void keyPressEvent(QKeyEvent *) override { throw ConvertError(QStringLiteral("'x' is not a valid integer value")); }
};

QColor corDoFundo(QWidget *janela)
{
    QWidget *area = janela->findChild<QWidget *>(QStringLiteral("areaCliente"));
    return area->autoFillBackground() ? area->palette().color(QPalette::Window) : QColor();
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempFolders> pastas;
    std::unique_ptr<test::RecordingModal> dialogos;

    // Starts the program (without its event loop) with `ini` as settings file.
    std::unique_ptr<Programa> inicia(const QByteArray &ini = kIni)
    {
        pastas->writeFile(QStringLiteral("program/KORVANTE.INI"), ini);
        return std::make_unique<Programa>();
    }

    // Shows the main window and waits for its first activation.
    static bool mostra(TFormRelatAdministrativo *w)
    {
        w->show();
        w->activateWindow();
        return QTest::qWaitForWindowActive(w);
    }

private slots:
    void init()
    {
        pastas = std::make_unique<test::TempFolders>();
        dialogos = std::make_unique<test::RecordingModal>();
        NomeUsuario.clear();
        Campos_VELIX6.clear();
    }

    void cleanup()
    {
        dialogos.reset();
        pastas.reset();
    }

    void startUp()
    {
        auto p = inicia();
        QVERIFY(!p->encerrado());
        TFormRelatAdministrativo *w = p->janela();
        QCOMPARE(FormRelatAdministrativo, w);
        QCOMPARE(TituloAplicacao, QStringLiteral("VELIX6 - Relação Mensal de Notificações de Receita \"B2\""));
        QCOMPARE(w->windowTitle(), QStringLiteral("VELIX6 - Relação Mensal  de Notificações de Receita \"B2\""));
        QCOMPARE(w->size(), QSize(800, 600));
        QCOMPARE(w->geometry().center(), w->screen()->geometry().center());
        QCOMPARE(IPServidorCentral, QStringLiteral("10.0.0.5"));
        QCOMPARE(corDoFundo(w), QColor(167, 193, 201));
        // Starting: toolbar and menu only.
        QVERIFY(!w->PainelRelatorios->isVisibleTo(w));
        QVERIFY(!w->btnPrepararLivro->isEnabled());

        QVERIFY(mostra(w));
        QCOMPARE(w->windowTitle(), QStringLiteral("VELIX6 - Relação Mensal  de Notificações de Receita \"B2\" - Versão ")
                                       + programFileVersion());
        QVERIFY(w->windowTitle().endsWith(QStringLiteral(" - Versão 1.0.0.0")));
        QCOMPARE(w->size(), QSize(800, 600));
        QVERIFY(dialogos->messages.isEmpty());
        QVERIFY(dialogos->errors.isEmpty());
    }

    void missingSettingsFile()
    {
        auto p = std::make_unique<Programa>();
        QVERIFY(p->encerrado());
        QCOMPARE(dialogos->messages, QStringList{kMensagemSemIni});
        QVERIFY(dialogos->errors.isEmpty());
        QCOMPARE(p->executa(), 0);
        QVERIFY(!p->janela()->isVisible());
    }

    void badColourReportedAndStartGoesOn()
    {
        auto p = inicia("IP DO SERVIDOR CENTRAL.........................: 10.0.0.5\r\n"
                        "COR DE FUNDO DAS TELAS.........................: azul\r\n"
                        "ORDENAR VELIX6 POR DATA OU DCB, DATA, NUMNOTIF.: DATA\r\n");
        QVERIFY(!p->encerrado());
        QCOMPARE(dialogos->errors.size(), 1);
        QCOMPARE(dialogos->errors[0].message, QStringLiteral("'azul' is not a valid integer value"));
        QCOMPARE(dialogos->errors[0].kind, QStringLiteral("EConvertError"));
        QCOMPARE(dialogos->errors[0].where, QStringLiteral("FormCreate"));
        QCOMPARE(IPServidorCentral, QStringLiteral("10.0.0.5"));
        QCOMPARE(OrdemVelix6, QString());
        TFormRelatAdministrativo *w = p->janela();
        QCOMPARE(corDoFundo(w), QColor());  // the designed colour stays
        QCOMPARE(w->size(), QSize(800, 600));
        QVERIFY(mostra(w));
        QVERIFY(w->PainelLogin->isVisible());
    }

    void colours_data()
    {
        QTest::addColumn<int>("valor");
        QTest::addColumn<QColor>("cor");
        QTest::newRow("work area colour") << 13222311 << QColor(167, 193, 201);
        QTest::newRow("red") << 255 << QColor(255, 0, 0);
        QTest::newRow("blue") << 0xFF0000 << QColor(0, 0, 255);
        QTest::newRow("no line: black") << 0 << QColor(0, 0, 0);
        QTest::newRow("button face") << qint32(0xFF00000F) << QApplication::palette().color(QPalette::Button);
        QTest::newRow("tooltip background") << qint32(0xFF000018) << QApplication::palette().color(QPalette::ToolTipBase);
    }

    void colours()
    {
        QFETCH(int, valor);
        QFETCH(QColor, cor);
        QCOMPARE(corDoValor(valor), cor);
    }

    void firstActivation()
    {
        auto p = inicia();
        TFormRelatAdministrativo *w = p->janela();
        QVERIFY(mostra(w));
        QVERIFY(w->PrimeiraAtivacaoFeita);
        QVERIFY(w->PainelRelatorios->isVisible());
        QCOMPARE(w->PainelRelatorios->geometry(), QRect(0, 68, 800, w->centralWidget()->height() - 68));
        for (QToolButton *b : {w->btnConfCad, w->btnPrepararLivro, w->btnInconsistencias, w->btnSair})
            QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
        QVERIFY(!Campos_VELIX6.isEmpty());
        QCOMPARE(NomeUsuario, NomeUsuarioWindows().left(60));
        QCOMPARE(w->EditNome->text(), NomeUsuario);
        QVERIFY(w->PainelLogin->isVisible());
        QCOMPARE(w->PainelLogin->geometry(), QRect(224, 135, 332, 130));
        QCOMPARE(QApplication::focusWidget(), w->EditNome);
        QCOMPARE(w->botaoCancelar(), w->BotCancSenha);
        // The other panels stay hidden.
        QVERIFY(!w->pnl1->isVisible());
        QVERIFY(!w->PainelTermometro->isVisible());
        QVERIFY(!w->PainelConfigLivro->isVisible());
        QVERIFY(!w->Memo1->isVisible());

        // A later activation changes nothing.
        w->EditNome->setText(QStringLiteral("MARIA"));
        Campos_VELIX6 = QStringLiteral("unchanged");
        NomeUsuario = QStringLiteral("unchanged");
        QWidget outra;
        outra.show();
        outra.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&outra));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(w->EditNome->text(), QStringLiteral("MARIA"));
        QCOMPARE(Campos_VELIX6, QStringLiteral("unchanged"));
        QCOMPARE(NomeUsuario, QStringLiteral("unchanged"));
        QVERIFY(dialogos->errors.isEmpty());
    }

    void closing_data()
    {
        QTest::addColumn<QString>("como");
        QTest::newRow("Esc on the login panel") << "esc";
        QTest::newRow("Cancela") << "cancela";
        QTest::newRow("Sair button") << "btnSair";
        QTest::newRow("Sair menu item") << "Sair1";
    }

    void closing()
    {
        QFETCH(QString, como);
        auto p = inicia();
        TFormRelatAdministrativo *w = p->janela();
        QVERIFY(mostra(w));
        if (como == QLatin1String("esc"))
            QTest::keyClick(w->EditNome, Qt::Key_Escape);
        else if (como == QLatin1String("cancela"))
            QTest::mouseClick(w->BotCancSenha, Qt::LeftButton);
        else if (como == QLatin1String("btnSair"))
            QTest::mouseClick(w->btnSair, Qt::LeftButton);
        else
            w->Sair1->trigger();
        QVERIFY(!w->isVisible());
        QVERIFY(dialogos->errors.isEmpty());
    }

    void loginThroughThePanel()
    {
        // The demo pharmacy: user DEMO, password 1234, workstation 01.
        test::FbFixture banco(*pastas, test::FbFixture::Demo);
        auto p = inicia("IP DO SERVIDOR CENTRAL.........................: \r\n");
        TFormRelatAdministrativo *w = p->janela();
        QVERIFY(mostra(w));
        w->EditNome->clear();
        QTest::keyClicks(w->EditNome, QStringLiteral("demo"));
        QTest::keyClick(w->EditNome, Qt::Key_Return);
        QTest::keyClicks(w->EditSenhaU, QStringLiteral("1234"));
        QTest::keyClick(w->EditSenhaU, Qt::Key_Return);

        QVERIFY2(dialogos->messages.isEmpty(), qPrintable(dialogos->messages.join(QLatin1Char('\n'))));
        QVERIFY(dialogos->errors.isEmpty());
        QCOMPARE(w->windowTitle(), QStringLiteral("  VELIX6  -  Usuário: \"DEMO\"   Estação: 01  Loja: 12.345.678/0001-95"));
        QVERIFY(!w->PainelLogin->isVisible());
        QVERIFY(w->PainelRelatorios->isVisible());
        QCOMPARE(NomeUsuario, QStringLiteral("DEMO"));
        QCOMPARE(CNPJLoja, QStringLiteral("12345678000195"));
        QVERIFY(w->EditSenhaU->text().isEmpty());

        // Escape no longer ends the program after a successful login.
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(w->isVisible());
        w->close();
        CNPJLoja.clear();
        EstacaoAtual.clear();
    }

    void wrongPasswordKeepsThePanel()
    {
        test::FbFixture banco(*pastas, test::FbFixture::Demo);
        auto p = inicia("IP DO SERVIDOR CENTRAL.........................: \r\n");
        TFormRelatAdministrativo *w = p->janela();
        QVERIFY(mostra(w));
        w->EditNome->setText(QStringLiteral("DEMO"));
        w->EditSenhaU->setText(QStringLiteral("9999"));
        QTest::mouseClick(w->BotOkSenha, Qt::LeftButton);
        QCOMPARE(dialogos->messages, QStringList{QStringLiteral("Senha incorreta. Tente novamente.")});
        QVERIFY(w->PainelLogin->isVisible());
        QCOMPARE(QApplication::focusWidget(), w->EditSenhaU);
        QTest::keyClick(w->EditNome, Qt::Key_Escape);   // still the login panel's Cancela
        QVERIFY(!w->isVisible());
    }

    void loginFields()
    {
        auto p = inicia();
        TFormRelatAdministrativo *w = p->janela();
        QVERIFY(mostra(w));
        w->EditNome->clear();
        QTest::keyClicks(w->EditNome, QStringLiteral("jo"));
        w->EditNome->insert(QStringLiteral("ão"));
        QTest::keyClicks(w->EditNome, QStringLiteral(" silva"));
        QTest::keyClick(w->EditNome, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w->EditSenhaU);
        QCOMPARE(w->EditNome->text(), QStringLiteral("JOãO SILVA"));
        QTest::keyClicks(w->EditSenhaU, QStringLiteral("abc1"));
        QCOMPARE(w->EditSenhaU->text(), QStringLiteral("abc1"));
        QCOMPARE(w->EditSenhaU->displayText(), QStringLiteral("####"));
        QVERIFY(dialogos->errors.isEmpty());
    }

    void panels()
    {
        auto p = inicia();
        TFormRelatAdministrativo *w = p->janela();
        QVERIFY(mostra(w));
        w->pnl1->show();
        QTest::mouseClick(w->btn2, Qt::LeftButton);
        QVERIFY(!w->pnl1->isVisible());

        QVERIFY(w->Memo1->font().fixedPitch());
        QCOMPARE(w->Label1->text(), QStringLiteral("Pesquisando pedidos"));
        PieGauge *g = w->Termometro;
        QCOMPARE(g->progress(), 0);
        g->setMinValue(0);
        g->setMaxValue(8);
        g->addProgress(2);
        QCOMPARE(g->percentDone(), 25);
        g->setProgress(20);
        QCOMPARE(g->progress(), 8);
        QCOMPARE(g->percentDone(), 100);
        g->setMaxValue(0);
        QCOMPARE(g->percentDone(), 0);
    }

    void mostrarLivroRunsTheOfficialBook()
    {
        test::FbFixture banco(*pastas, test::FbFixture::Demo);
        auto p = inicia("IP DO SERVIDOR CENTRAL.........................: \r\n");
        TFormRelatAdministrativo *w = p->janela();
        QVERIFY(mostra(w));
        CNPJLoja = QStringLiteral("12345678000195");

        // Without the report definition file the command fails, is reported
        // under its handler's name, and the program goes on.
        w->MostrarLivro1->trigger();
        QCOMPARE(dialogos->errors.size(), 1);
        QCOMPARE(dialogos->errors[0].where, QStringLiteral("LivroOficial1Click"));
        QVERIFY(dialogos->errors[0].message.startsWith(QStringLiteral("The following reporting project does not exist:\n\"")));
        QVERIFY(dialogos->previews.isEmpty());
        QVERIFY(w->isVisible());

        pastas->writeFile(QStringLiteral("root/RPT/VELIX6.rav"), [] {
            QFile f(test::sourceDir() + QStringLiteral("/src/report/VELIX6.rav"));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }());
        w->MostrarLivro1->trigger();
        w->LivroOficial1->trigger();
        QCOMPARE(dialogos->previews, (QStringList{QStringLiteral("rptOficial"), QStringLiteral("rptOficial")}));
        QCOMPARE(dialogos->previewPages[0], dialogos->previewPages[1]);
        QCOMPARE(dialogos->errors.size(), 1);
        w->close();
        CNPJLoja.clear();
    }

    void statusWindow()
    {
        // The window's own seam: a small window that is not modal, over the
        // main window, the work going on while it shows.
        auto p = inicia();
        TFormRelatAdministrativo *w = p->janela();
        QVERIFY(mostra(w));
        WidgetModal real;
        real.showStatus(QStringLiteral("Report Status"), QStringLiteral("Generating page 1"));
        QWidget *status = w->findChild<QWidget *>(QStringLiteral("ReportStatus"));
        QVERIFY(status);
        QVERIFY(status->isVisible());
        QVERIFY(!status->isModal());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(status->windowTitle(), QStringLiteral("Report Status"));
        QLabel *texto = status->findChild<QLabel *>();
        QCOMPARE(texto->text(), QStringLiteral("Generating page 1"));
        real.updateStatus(QStringLiteral("Generating page 40"));
        QCOMPARE(texto->text(), QStringLiteral("Generating page 40"));
        QPointer<QWidget> fechada(status);
        real.hideStatus();
        QTRY_VERIFY(!fechada);
        w->close();
    }

    // "Inconsistências": nothing without a report file; the file in the panel
    // at its place with the focus in the text; typed text gone at the next
    // load; the same report at the same place after closing; an unreadable
    // file is reported and the panel stays as it was. It may run during a
    // long command; "Preparar Livro" may not.
    void inconsistencyViewer()
    {
        auto p = inicia();
        TFormRelatAdministrativo *w = p->janela();
        QVERIFY(mostra(w));
        QTest::mouseClick(w->btnInconsistencias, Qt::LeftButton);
        QVERIFY(!w->pnl1->isVisible());
        QVERIFY(dialogos->messages.isEmpty());
        QVERIFY(dialogos->errors.isEmpty());

        pastas->writeFile(QStringLiteral("root/DM.VELIX6.TXT"),
                          "RELAT\xD3RIO DE ERROS DE CONSIST\xCANCIA\r\n==================================\r\n  \r\n"
                          "01.4711.2 \"CRM\" n\xE3o encontrado\r\n");
        const QString relatorio = QStringLiteral("RELATÓRIO DE ERROS DE CONSISTÊNCIA\n==================================\n  \n"
                                                 "01.4711.2 \"CRM\" não encontrado");
        QTest::mouseClick(w->btnInconsistencias, Qt::LeftButton);
        QVERIFY(w->pnl1->isVisible());
        QCOMPARE(w->pnl1->geometry(), QRect(141, 15, 537, 442));
        QCOMPARE(w->mmo1->toPlainText(), relatorio);
        QCOMPARE(QApplication::focusWidget(), w->mmo1);

        QTest::keyClicks(w->mmo1, QStringLiteral("anotacao"));
        QVERIFY(w->mmo1->toPlainText() != relatorio);
        QTest::mouseClick(w->btn2, Qt::LeftButton);
        QVERIFY(!w->pnl1->isVisible());
        w->Inconsistncias1->trigger();
        QVERIFY(w->pnl1->isVisible());
        QCOMPARE(w->pnl1->geometry(), QRect(141, 15, 537, 442));
        QCOMPARE(w->mmo1->toPlainText(), relatorio);

        {
            ComandoExclusivo exclusivo(QStringLiteral("a preparação do livro"));
            w->mmo1->clear();
            w->actInconsistencias->trigger();
            QCOMPARE(w->mmo1->toPlainText(), relatorio);
            QTest::mouseClick(w->btnPrepararLivro, Qt::LeftButton);
            QCOMPARE(dialogos->messages, QStringList{QStringLiteral("Aguarde: a preparação do livro está em andamento.")});
        }

        QFile::remove(pastas->root() + QStringLiteral("/DM.VELIX6.TXT"));
        QVERIFY(QDir().mkpath(pastas->root() + QStringLiteral("/DM.VELIX6.TXT")));
        w->mmo1->setPlainText(QStringLiteral("antes"));
        QTest::mouseClick(w->btnInconsistencias, Qt::LeftButton);
        QCOMPARE(dialogos->errors.size(), 1);
        QCOMPARE(dialogos->errors[0].kind, QStringLiteral("EInOutError"));
        QCOMPARE(dialogos->errors[0].where, QStringLiteral("actInconsistenciasExecute"));
        QVERIFY(w->pnl1->isVisible());
        QCOMPARE(w->mmo1->toPlainText(), QStringLiteral("antes"));
    }

    // The book commands through the window itself: the check's progress in
    // the progress panel, its report in Memo1 and in the inconsistency panel;
    // "Preparar Livro" without a period set shows its message.
    void bookCommandsInTheWindow()
    {
        test::FbFixture banco(*pastas, test::FbFixture::Demo);
        auto p = inicia("IP DO SERVIDOR CENTRAL.........................: \r\n");
        TFormRelatAdministrativo *w = p->janela();
        QVERIFY(mostra(w));
        CNPJLoja = QStringLiteral("12345678000195");
        banco.pharmacySql(QStringLiteral("UPDATE VELIX6 SET CRM = '' WHERE NPEDIDO = '1202'"));
        Abre_Livro(*w);
        Verifica_Inconsistencias(*w, 4);
        QCOMPARE(w->Label1->text(), QStringLiteral("Verificando Inconsistência"));
        QCOMPARE(w->Termometro->maxValue(), 4);
        QCOMPARE(w->Termometro->progress(), 4);
        QCOMPARE(w->Memo1->toPlainText().split(QLatin1Char('\n')).size(), 4);
        QVERIFY(w->pnl1->isVisible());
        QCOMPARE(w->pnl1->geometry(), QRect(141, 15, 537, 442));
        QCOMPARE(w->mmo1->toPlainText(), w->Memo1->toPlainText());
        QVERIFY(w->mmo1->toPlainText().endsWith(QStringLiteral(".1202.1 \"CRM\" não encontrado")));
        QCOMPARE(QApplication::focusWidget(), w->mmo1);

        banco.pharmacySql(QStringLiteral("UPDATE DADOSGER SET MES = ''"));
        QTest::mouseClick(w->btnPrepararLivro, Qt::LeftButton);
        w->PrepararLivro1->trigger();
        QCOMPARE(dialogos->messages, (QStringList{QStringLiteral("Favor configurar o período do livro antes de continuar."),
                                                  QStringLiteral("Favor configurar o período do livro antes de continuar.")}));
        QVERIFY(dialogos->errors.isEmpty());
        w->close();
        CNPJLoja.clear();
    }

    void errorEscapingAnEventHandler()
    {
        auto p = inicia();
        TFormRelatAdministrativo *w = p->janela();
        QVERIFY(mostra(w));
        Explosivo e;
        e.setObjectName(QStringLiteral("explosivo"));
        QKeyEvent tecla(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&e, &tecla);
        QCOMPARE(dialogos->errors.size(), 1);
        QCOMPARE(dialogos->errors[0].message, QStringLiteral("'x' is not a valid integer value"));
        QCOMPARE(dialogos->errors[0].where, QStringLiteral("explosivo.KeyPress"));
        // The program goes on.
        w->pnl1->show();
        QTest::mouseClick(w->btn2, Qt::LeftButton);
        QVERIFY(!w->pnl1->isVisible());
        QVERIFY(w->isVisible());
    }

    // Qt's own dialogs (print, file save) speak Portuguese through Qt's
    // translations as the system installs them (the package depends on them).
    void qtDialogsInPortuguese()
    {
        if (!carregaTraducoesQt())
            QSKIP("Qt's translations (qt6-translations-l10n) are not installed");
        QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("Imprimir"));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Save As"), QStringLiteral("Salvar como"));
    }
};

int main(int argc, char *argv[])
{
    // A screen larger than the window, so that centring shows.
    QTemporaryDir dir;
    const QString config = dir.path() + QStringLiteral("/screens.json");
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly))
        return 1;
    f.write(R"({"synchronousWindowSystemEvents": false, "windowFrameMargins": false,
               "screens": [{"name": "tela", "x": 0, "y": 0, "width": 1280, "height": 1024,
                            "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    VelixApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestShell test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_shell.moc"
