#pragma once
// The main window: toolbar, main menu, pop-up menus and the panels every part
// of the program works in; the command table that routes each command to its
// handler; first activation and closing.
//
// Controls keep the names of the window definition, both as members and as
// their QObject::objectName. All members are to be used from the main
// (user-interface) thread only.

#include "access/loginview.h"
#include "book/livroview.h"
#include "registration/dadoscadastrais.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>

#include <initializer_list>

class QAbstractButton;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QShortcut;
class QToolButton;

namespace velix {

class PieGauge;

class TFormRelatAdministrativo : public QMainWindow, public LoginView, public LivroView, public DadosCadastraisView {
    Q_OBJECT
public:
    /// Creates the window; its creation handler reads the settings file. When
    /// that file is missing, its message has been shown and encerrarPrograma()
    /// is true: the program then ends without showing the window.
    explicit TFormRelatAdministrativo(QWidget *parent = nullptr);
    ~TFormRelatAdministrativo() override;

    bool encerrarPrograma() const { return m_encerrar; }

    /// The caption the window is designed with (two blanks after "Mensal").
    static QString legendaProjetada();

    /// Enables the four toolbar buttons; changes nothing else.
    void Habilita_Botoes_Relatorios() override;

    /// The button the Esc key presses while it is visible and enabled;
    /// nullptr: Esc presses nothing.
    void setBotaoCancelar(QAbstractButton *botao);
    QAbstractButton *botaoCancelar() const { return m_botaoCancelar; }

    bool PrimeiraAtivacaoFeita = false;

    // Window events.
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormClose();

    // Handlers of this window's own commands.
    void actSairExecute();
    void actPrepararLivroExecute();
    void actInconsistenciasExecute();
    void AcertarInconsistncias1Click();
    void MostrarLivro1Click();
    void btn2Click();
    void BotCancSenhaClick();
    void EditNomeExit();
    void EditNomeKeyPress();
    void EditSenhaUKeyPress();
    void BotOkSenhaClick();
    void LivroOficial1Click();
    void LivroNsdosPedidos1Click();
    void actConfImpressoraExecute();
    void actConfCadExecute();
    void BitBtn36Click();
    void DBEdit31KeyPress();
    void DBComboBox1KeyPress();
    void DBEdit3KeyPress();
    void FormatarDescrioDCB1Click();

    // The login panel as the login check sees it.
    QString nome() const override;
    void setNome(const QString &text) override;
    QString senha() const override;
    void focusNome() override;
    void focusSenha() override;
    void loginAccepted() override;
    void setTitle(const QString &title) override;
    void closeMainWindow() override;

    // The progress panel, Memo1, the inconsistency panel and the book order
    // as the book commands see them.
    void posicionaTermometro(const QRect &geometria) override;
    QRect geometriaTermometro() const override;
    void mostraTermometro() override;
    void escondeTermometro() override;
    void setMinimoTermometro(int valor) override;
    void setMaximoTermometro(int valor) override;
    void setProgressoTermometro(int valor) override;
    void setLegendaTermometro(const QString &texto) override;
    void repintaTermometro() override;
    void processaMensagens() override;
    void setMemo1(const QString &texto) override;
    QString memo1() const override;
    void mostraInconsistencias(const QString &texto) override;
    QString ordemVelix6() const override;
    // The registration-data panel as its command sees it.
    void mostraPainel() override;
    void escondePainel() override;
    void focaCampo(const QString &coluna) override;

    // Main menu.
    QMenuBar *mm1;
    QAction *DadosCadastrais1;
    QMenu *Livros1;
    QAction *PrepararLivro1;
    QMenu *MostrarLivro2;
    QAction *LivroOficial1;
    QAction *LivroNsdosPedidos1;
    QAction *Inconsistncias1;
    QMenu *Utilitrios1;
    QAction *ConfigurarImpressora1;
    QAction *FormatarDescrioDCB1;
    QAction *Sair1;

    // Pop-up menus: of the "Preparar Livro" button and of the inconsistency text.
    QMenu *pm1;
    QAction *MostrarLivro1;
    QMenu *pm2;
    QAction *AcertarInconsistncias1;

    // The named commands and their images.
    QObject *acl1;
    QAction *actConfCad;
    QAction *actInconsistencias;
    QAction *actPrepararLivro;
    QAction *actSair;
    QAction *actConfImpressora;
    QList<QIcon> iml1;

    // Toolbar.
    QFrame *pnlTopo;
    QToolButton *btnConfCad;
    QToolButton *btnPrepararLivro;
    QToolButton *btnInconsistencias;
    QToolButton *btnSair;

    // Work area and the panels inside it.
    QFrame *PainelRelatorios;
    QFrame *pnl1;
    QLabel *pnl2;
    QPlainTextEdit *mmo1;
    QPushButton *btn2;
    QFrame *PainelTermometro;
    QLabel *Panel3;
    PieGauge *Termometro;
    QLabel *Label1;
    QPlainTextEdit *Memo1;

    // Registration-data panel.
    QFrame *PainelConfigLivro;
    QLabel *PainelConfigLivroTitulo;
    QLineEdit *DBEdit1;   // Secretaria de Saúde
    QLineEdit *DBEdit2;   // Autoridade Sanitária
    QLineEdit *DBEdit31;  // Razão Social
    QLineEdit *DBEdit34;  // Estabelecida à
    QLineEdit *DBEdit38;  // Nº Licença Funcionamento
    QLineEdit *DBEdit33;  // Farmacêutico Responsável
    QLineEdit *DBEdit39;  // CRF
    QComboBox *DBComboBox2;  // Mês
    QComboBox *DBComboBox1;  // Exercício
    QLineEdit *DBEdit3;   // CNPJ
    QPushButton *BitBtn36;

    // Login panel.
    QFrame *PainelLogin;
    QLabel *Panel48;
    QLabel *lblNome;
    QLabel *lblSenha;
    QLineEdit *EditNome;
    QLineEdit *EditSenhaU;
    QPushButton *BotOkSenha;
    QPushButton *BotCancSenha;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Handler = void (TFormRelatAdministrativo::*)();
    /// Whether a command may run while a long command is in progress.
    enum Durante { Recusa, Livre };

    void criaMenus();
    void criaComandos();
    void criaBarraDeFerramentas();
    void criaAreaDeTrabalho();
    void criaPainelConfigLivro();
    /// Binds the registration-data fields to DM().DadosGer (once, when the data module exists).
    void ligaPainelConfigLivro();
    bool filtraPainelConfigLivro(QObject *watched, QEvent *event);
    void criaPainelLogin();
    void ligaComandos();
    /// Routes the controls' clicks and choices to `handler`, run inside the
    /// general error handler under the handler's name; refused with a short
    /// message while a long command runs, unless `durante` is Livre.
    void comando(const char *nome, Handler handler, std::initializer_list<QAbstractButton *> botoes,
                 std::initializer_list<QAction *> itens, Durante durante = Recusa);
    void aplicaCorDeFundo(qint32 valor);

    QWidget *m_areaCliente;
    QShortcut *m_esc;
    QAbstractButton *m_botaoCancelar = nullptr;
    bool m_mostrada = false;
    CadastroFarmacia m_cadastro{*this};
    QList<QWidget *> m_camposConfigLivro;  // in tab order
    bool m_camposLigados = false;
    QAbstractButton *m_cancelarAntesDoCadastro = nullptr;
    bool m_encerrar = false;
};

/// The main window, while it exists.
inline TFormRelatAdministrativo *FormRelatAdministrativo = nullptr;

} // namespace velix
