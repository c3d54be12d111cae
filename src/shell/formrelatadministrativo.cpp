#include "shell/formrelatadministrativo.h"

#include "access/login.h"
#include "book/acerta.h"
#include "book/periodo.h"
#include "book/visualizador.h"
#include "data/dataset.h"
#include "data/tabelas.h"
#include "data/udm.h"
#include "report/livros.h"
#include "report/uRM.h"
#include "platform/errors.h"
#include "platform/exclusivo.h"
#include "platform/modal.h"
#include "platform/programa.h"
#include "platform/system.h"
#include "settings/configuracoes.h"
#include "shell/cores.h"
#include "shell/ligacaocampo.h"
#include "shell/termometro.h"
#include "utilities/formatadcb.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFocusEvent>
#include <QFrame>
#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QLabel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace velix {
namespace {

const QColor kCorTrabalho(167, 193, 201);
const QColor kMarinho(0, 0, 128);

// Toolbar buttons: white caption on the toolbar's colour, a navy tint under
// the mouse, a deeper one when pressed, a white outline with the focus.
const QString kEstiloBotaoBarra = QStringLiteral(
    "QToolButton { color: white; background: transparent; border: 1px solid transparent;"
    " border-radius: 4px; padding: 1px; }"
    "QToolButton:hover { background: rgba(0, 0, 128, 80); border-color: rgba(255, 255, 255, 140); }"
    "QToolButton:pressed, QToolButton:checked { background: rgba(0, 0, 96, 150); border-color: white; }"
    "QToolButton:focus { border: 1px dotted white; }"
    "QToolButton:disabled { color: rgb(236, 242, 244); }");

// The client area: the toolbar across the top and the work area below it;
// the other panels lie where their commands place them.
class AreaCliente : public QWidget {
public:
    using QWidget::QWidget;
    QWidget *topo = nullptr;
    QWidget *trabalho = nullptr;

protected:
    void resizeEvent(QResizeEvent *) override
    {
        if (topo)
            topo->setGeometry(0, 0, width(), topo->height());
        if (trabalho)
            trabalho->setGeometry(0, topo ? topo->height() : 0, width(), height() - (topo ? topo->height() : 0));
    }
};

// Shows every character of a password field as '#'.
class EstiloSenha : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '#';
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

template <class W>
W *nomeado(W *w, const char *nome)
{
    w->setObjectName(QLatin1String(nome));
    return w;
}

QAction *acao(QObject *parent, const char *nome, const QString &legenda)
{
    auto *a = new QAction(legenda, parent);
    a->setObjectName(QLatin1String(nome));
    return a;
}

void pinta(QWidget *w, const QColor &fundo, const QColor &texto = QColor())
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, fundo);
    if (texto.isValid()) {
        pal.setColor(QPalette::WindowText, texto);
        pal.setColor(QPalette::ButtonText, texto);
    }
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QFrame *painel(QWidget *parent, const char *nome)
{
    auto *p = nomeado(new QFrame(parent), nome);
    p->setFrameStyle(QFrame::Panel | QFrame::Raised);
    // Its own colour, not the window's background colour.
    pinta(p, QApplication::palette().color(QPalette::Button));
    return p;
}

// A title bar: white bold text on navy.
QLabel *barraDeTitulo(QWidget *parent, const char *nome, const QString &texto)
{
    auto *l = nomeado(new QLabel(texto, parent), nome);
    l->setAlignment(Qt::AlignCenter);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    pinta(l, kMarinho, Qt::white);
    return l;
}

QIcon iconePadrao(QStyle::StandardPixmap p)
{
    return QApplication::style()->standardIcon(p);
}

} // namespace

TFormRelatAdministrativo::TFormRelatAdministrativo(QWidget *parent) : QMainWindow(parent)
{
    FormRelatAdministrativo = this;
    setObjectName(QStringLiteral("FormRelatAdministrativo"));
    setWindowTitle(legendaProjetada());
    QFont fonte(QStringLiteral("MS Sans Serif"), 8);
    fonte.setStyleHint(QFont::SansSerif);
    setFont(fonte);

    m_areaCliente = new AreaCliente(this);
    m_areaCliente->setObjectName(QStringLiteral("areaCliente"));
    setCentralWidget(m_areaCliente);

    criaComandos();
    criaMenus();
    criaBarraDeFerramentas();
    criaAreaDeTrabalho();
    criaPainelConfigLivro();
    criaPainelLogin();
    auto *area = static_cast<AreaCliente *>(m_areaCliente);
    area->topo = pnlTopo;
    area->trabalho = PainelRelatorios;

    m_esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_esc->setContext(Qt::WindowShortcut);
    connect(m_esc, &QShortcut::activated, this, [this] {
        if (m_botaoCancelar && m_botaoCancelar->isVisible() && m_botaoCancelar->isEnabled())
            m_botaoCancelar->click();
    });

    ligaComandos();

    guarded(QStringLiteral("FormCreate"), [this] { FormCreate(); });
}

TFormRelatAdministrativo::~TFormRelatAdministrativo()
{
    if (FormRelatAdministrativo == this)
        FormRelatAdministrativo = nullptr;
}

QString TFormRelatAdministrativo::legendaProjetada()
{
    return QStringLiteral("VELIX6 - Relação Mensal  de Notificações de Receita \"B2\"");
}

// ---------------------------------------------------------------------------
// Building the window

void TFormRelatAdministrativo::criaComandos()
{
    acl1 = new QObject(this);
    acl1->setObjectName(QStringLiteral("acl1"));
    const QStyle::StandardPixmap imagens[9] = {
        QStyle::SP_FileDialogDetailedView, QStyle::SP_MessageBoxWarning, QStyle::SP_FileDialogContentsView,
        QStyle::SP_DialogCloseButton,      QStyle::SP_ComputerIcon,      QStyle::SP_DialogOkButton,
        QStyle::SP_DialogCancelButton,     QStyle::SP_DialogSaveButton,  QStyle::SP_BrowserReload,
    };
    for (QStyle::StandardPixmap p : imagens)
        iml1 << QIcon(iconePadrao(p).pixmap(24, 24));
    actConfCad = acao(acl1, "actConfCad", QStringLiteral("Dados Cadastrais"));
    actInconsistencias = acao(acl1, "actInconsistencias", QStringLiteral("Inconsistências"));
    actPrepararLivro = acao(acl1, "actPrepararLivro", QStringLiteral("Preparar Livro"));
    actSair = acao(acl1, "actSair", QStringLiteral("Sair"));
    actConfImpressora = acao(acl1, "actConfImpressora", QStringLiteral("Config. Impressora"));
    QAction *todas[] = {actConfCad, actInconsistencias, actPrepararLivro, actSair, actConfImpressora};
    for (int i = 0; i < 5; ++i)
        todas[i]->setIcon(iml1[i]);
}

void TFormRelatAdministrativo::criaMenus()
{
    mm1 = menuBar();
    mm1->setObjectName(QStringLiteral("mm1"));
    DadosCadastrais1 = acao(this, "DadosCadastrais1", QStringLiteral("Dados Cadastrais"));
    mm1->addAction(DadosCadastrais1);

    Livros1 = nomeado(new QMenu(QStringLiteral("Livros"), this), "Livros1");
    PrepararLivro1 = acao(this, "PrepararLivro1", QStringLiteral("Preparar Livro"));
    Livros1->addAction(PrepararLivro1);
    MostrarLivro2 = nomeado(new QMenu(QStringLiteral("Mostrar Livro"), Livros1), "MostrarLivro2");
    LivroOficial1 = acao(this, "LivroOficial1", QStringLiteral("VELIX6"));
    LivroNsdosPedidos1 = acao(this, "LivroNsdosPedidos1", QStringLiteral("Detalhamento"));
    MostrarLivro2->addAction(LivroOficial1);
    MostrarLivro2->addAction(LivroNsdosPedidos1);
    Livros1->addMenu(MostrarLivro2);
    Inconsistncias1 = acao(this, "Inconsistncias1", QStringLiteral("Inconsistências"));
    Livros1->addAction(Inconsistncias1);
    mm1->addMenu(Livros1);

    Utilitrios1 = nomeado(new QMenu(QStringLiteral("Utilitários"), this), "Utilitrios1");
    ConfigurarImpressora1 = acao(this, "ConfigurarImpressora1", QStringLiteral("Configurar Impressora"));
    FormatarDescrioDCB1 = acao(this, "FormatarDescrioDCB1", QStringLiteral("Formatar Descrição do DCB"));
    Utilitrios1->addAction(ConfigurarImpressora1);
    Utilitrios1->addAction(FormatarDescrioDCB1);
    mm1->addMenu(Utilitrios1);

    Sair1 = acao(this, "Sair1", QStringLiteral("Sair"));
    mm1->addAction(Sair1);

    pm1 = nomeado(new QMenu(this), "pm1");
    MostrarLivro1 = acao(this, "MostrarLivro1", QStringLiteral("Mostrar Livro"));
    pm1->addAction(MostrarLivro1);
    pm2 = nomeado(new QMenu(this), "pm2");
    AcertarInconsistncias1 = acao(this, "AcertarInconsistncias1", QStringLiteral("Acertar Qde. Caps. Prescrita"));
    pm2->addAction(AcertarInconsistncias1);
}

void TFormRelatAdministrativo::criaBarraDeFerramentas()
{
    pnlTopo = nomeado(new QFrame(m_areaCliente), "pnlTopo");
    pnlTopo->setFixedHeight(68);
    pinta(pnlTopo, kCorTrabalho);

    QFont fonte(QStringLiteral("Arial"), 10);
    fonte.setBold(true);
    fonte.setStyleHint(QFont::SansSerif);
    const auto botao = [&](const char *nome, const QString &legenda, QStyle::StandardPixmap imagem, int x) {
        auto *b = nomeado(new QToolButton(pnlTopo), nome);
        b->setText(legenda);
        b->setIcon(iconePadrao(imagem));
        b->setIconSize(QSize(32, 32));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setFont(fonte);
        QPalette pal = b->palette();
        pal.setColor(QPalette::ButtonText, Qt::white);
        pal.setColor(QPalette::WindowText, Qt::white);
        b->setPalette(pal);
        // The white caption stays readable in every state: the button darkens
        // under the mouse and when pressed instead of turning light.
        b->setStyleSheet(kEstiloBotaoBarra);
        auto *sombra = new QGraphicsDropShadowEffect(b);
        sombra->setOffset(1, 1);
        sombra->setBlurRadius(2);
        sombra->setColor(QColor(0, 0, 60, 200));
        b->setGraphicsEffect(sombra);
        b->setGeometry(x, 1, 130, 65);
        b->setEnabled(false);  // enabled by the first activation
        return b;
    };
    btnConfCad = botao("btnConfCad", QStringLiteral("Dados Cadastrais"), QStyle::SP_FileDialogDetailedView, 2);
    btnPrepararLivro = botao("btnPrepararLivro", QStringLiteral("Preparar Livro"), QStyle::SP_FileDialogContentsView, 134);
    btnInconsistencias = botao("btnInconsistencias", QStringLiteral("Inconsistências"), QStyle::SP_MessageBoxWarning, 266);
    btnInconsistencias->setToolTip(QStringLiteral("Visualizar inconsistências"));
    btnSair = botao("btnSair", QStringLiteral("Sair"), QStyle::SP_DialogCloseButton, 398);

    btnPrepararLivro->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(btnPrepararLivro, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { pm1->popup(btnPrepararLivro->mapToGlobal(p)); });
}

void TFormRelatAdministrativo::criaAreaDeTrabalho()
{
    PainelRelatorios = nomeado(new QFrame(m_areaCliente), "PainelRelatorios");
    PainelRelatorios->setFrameStyle(QFrame::NoFrame);
    pinta(PainelRelatorios, kCorTrabalho);
    PainelRelatorios->hide();  // shown by the first activation

    // The error report is a fixed-width text (its title is underlined with
    // as many '=' as it has letters): Memo1 and mmo1 show it in a fixed-pitch font.
    QFont fixa(QStringLiteral("Lucida Console"));
    fixa.setStyleHint(QFont::Monospace);
    fixa.setFixedPitch(true);
    fixa.setFamilies({QStringLiteral("Lucida Console"), QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});

    // Inconsistency panel.
    pnl1 = painel(PainelRelatorios, "pnl1");
    pnl1->setGeometry(141, 15, 537, 442);
    auto *l1 = new QVBoxLayout(pnl1);
    l1->setContentsMargins(2, 2, 2, 2);
    pnl2 = barraDeTitulo(pnl1, "pnl2", QStringLiteral("Inconsistências Encontradas"));
    pnl2->setFixedHeight(22);
    mmo1 = nomeado(new QPlainTextEdit(pnl1), "mmo1");
    mmo1->setFont(fixa);
    mmo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mmo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { pm2->popup(mmo1->viewport()->mapToGlobal(p)); });
    btn2 = nomeado(new QPushButton(QStringLiteral("Fechar - tela de inconsistências"), pnl1), "btn2");
    l1->addWidget(pnl2);
    l1->addWidget(mmo1, 1);
    l1->addWidget(btn2);
    pnl1->hide();

    // Progress panel.
    PainelTermometro = painel(PainelRelatorios, "PainelTermometro");
    PainelTermometro->setGeometry(250, 130, 300, 200);
    QPalette pal = PainelTermometro->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
    pal.setColor(QPalette::WindowText, pal.color(QPalette::ToolTipText));
    PainelTermometro->setPalette(pal);
    auto *l2 = new QVBoxLayout(PainelTermometro);
    l2->setContentsMargins(2, 2, 2, 6);
    Panel3 = barraDeTitulo(PainelTermometro, "Panel3", QStringLiteral("Progresso"));
    Panel3->setFixedHeight(22);
    Termometro = nomeado(new PieGauge(PainelTermometro), "Termometro");
    Label1 = nomeado(new QLabel(QStringLiteral("Pesquisando pedidos"), PainelTermometro), "Label1");
    Label1->setAlignment(Qt::AlignCenter);
    l2->addWidget(Panel3);
    l2->addWidget(Termometro, 1);
    l2->addWidget(Label1);
    PainelTermometro->hide();

    // The buffer in which the error report is assembled; never shown.
    Memo1 = nomeado(new QPlainTextEdit(PainelRelatorios), "Memo1");
    Memo1->setFont(fixa);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->hide();
}

void TFormRelatAdministrativo::criaPainelConfigLivro()
{
    PainelConfigLivro = painel(m_areaCliente, "PainelConfigLivro");
    PainelConfigLivro->setGeometry(132, 112, 501, 321);
    PainelConfigLivroTitulo = barraDeTitulo(PainelConfigLivro, "PainelConfigLivroTitulo",
                                            QStringLiteral("Configuração - Dados Cadastrais da Farmácia"));
    PainelConfigLivroTitulo->setGeometry(2, 2, 497, 22);

    // Each field under its caption; the lines 38 pixels apart, the columns of
    // the two short lines starting at the same places.
    constexpr int esquerda = 10, largura = 481, altura = 21;
    const auto rotulo = [this](const QString &texto, int x, int y, int w) {
        auto *l = new QLabel(texto, PainelConfigLivro);
        l->setGeometry(x, y, w, 15);
        l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
        return l;
    };
    const auto campo = [&](const char *nome, const QString &legenda, int maximo, int x, int y, int w) {
        rotulo(legenda, x, y, w);
        auto *e = nomeado(new QLineEdit(PainelConfigLivro), nome);
        e->setMaxLength(maximo);
        e->setGeometry(x, y + 16, w, altura);
        return e;
    };
    const auto lista = [&](const char *nome, const QString &legenda, const QStringList &itens, int x, int y, int w) {
        rotulo(legenda, x, y, w);
        auto *c = nomeado(new QComboBox(PainelConfigLivro), nome);
        c->addItems(itens);
        c->setEditable(false);
        c->setMaxVisibleItems(12);
        c->setCurrentIndex(-1);
        c->setGeometry(x, y + 16, w, altura + 1);
        return c;
    };
    DBEdit1 = campo("DBEdit1", QStringLiteral("Secretaria de Saúde"), 60, esquerda, 28, largura);
    DBEdit2 = campo("DBEdit2", QStringLiteral("Autoridade Sanitária"), 60, esquerda, 66, largura);
    DBEdit31 = campo("DBEdit31", QStringLiteral("Razão Social"), 40, esquerda, 104, largura);
    DBEdit34 = campo("DBEdit34", QStringLiteral("Estabelecida à"), 60, esquerda, 142, largura);
    DBEdit38 = campo("DBEdit38", QStringLiteral("Nº Licença Funcionamento"), 30, esquerda, 180, 150);
    DBEdit33 = campo("DBEdit33", QStringLiteral("Farmacêutico Responsável"), 40, 170, 180, 220);
    DBEdit39 = campo("DBEdit39", QStringLiteral("CRF"), 15, 400, 180, 91);
    DBComboBox2 = lista("DBComboBox2", QStringLiteral("Mês"), mesesDoLivro(), esquerda, 218, 150);
    DBComboBox1 = lista("DBComboBox1", QStringLiteral("Exercício"), anosDoLivro(), 170, 218, 100);
    DBEdit3 = campo("DBEdit3", QStringLiteral("CNPJ"), 18, 280, 218, 211);
    // Twelve digits required, two optional; "_" marks an empty position.
    DBEdit3->setInputMask(QStringLiteral("99.999.999/9999-00;_"));

    auto *separador = new QFrame(PainelConfigLivro);
    separador->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    separador->setGeometry(esquerda, 263, largura, 4);
    BitBtn36 = nomeado(new QPushButton(iconePadrao(QStyle::SP_DialogCloseButton),
                                       QStringLiteral("Sair - voltar a tela inicial"), PainelConfigLivro),
                       "BitBtn36");
    BitBtn36->setGeometry(esquerda, 273, largura, 38);
    // Enter on the button, the end of the walk through the fields, presses it.
    BitBtn36->setAutoDefault(true);
    // Reached by Enter or Tab; a click leaves the focus where it is, so that a
    // field being left is checked by the button's own command.
    BitBtn36->setFocusPolicy(Qt::TabFocus);
    QFont negrito = BitBtn36->font();
    negrito.setBold(true);
    BitBtn36->setFont(negrito);
    QPalette pal = BitBtn36->palette();
    pal.setColor(QPalette::ButtonText, Qt::red);
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(160, 80, 80));
    BitBtn36->setPalette(pal);

    m_camposConfigLivro = {DBEdit1, DBEdit2, DBEdit31, DBEdit34, DBEdit38, DBEdit33,
                           DBEdit39, DBComboBox2, DBComboBox1, DBEdit3, BitBtn36};
    for (int i = 0; i + 1 < m_camposConfigLivro.size(); ++i)
        setTabOrder(m_camposConfigLivro[i], m_camposConfigLivro[i + 1]);
    for (QWidget *w : m_camposConfigLivro)
        w->installEventFilter(this);
    PainelConfigLivro->hide();
}

void TFormRelatAdministrativo::ligaPainelConfigLivro()
{
    if (m_camposLigados || !hasDM())
        return;
    m_camposLigados = true;
    ClientDataSet &ds = DM().DadosGer;
    const auto liga = [&](auto *controle, const char *coluna) {
        const QString c = QLatin1String(coluna);
        return new LigacaoCampo(controle, ds, c, [this, c](const QString &t) { m_cadastro.alteraCampo(c, t); },
                                PainelConfigLivro);
    };
    liga(DBEdit1, "SECRETARIA_SAUDE");
    liga(DBEdit2, "AUTORIDADE_SANITARIA");
    liga(DBEdit31, "FIRMA");
    liga(DBEdit34, "ENDERECO");
    liga(DBEdit38, "NLICENCA_FUNC");
    liga(DBEdit33, "FARMACEUTICO");
    liga(DBEdit39, "CRF_Q");
    liga(DBComboBox2, "MES");
    liga(DBComboBox1, "EXERCICIO");
    LigacaoCampo *cnpj = liga(DBEdit3, "CGC");
    cnpj->setParaColuna(&cnpjDigitos);
    cnpj->atualiza();
}

// Enter in the fields, leaving and Escape in the CNPJ field.
bool TFormRelatAdministrativo::filtraPainelConfigLivro(QObject *watched, QEvent *e)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || !m_camposConfigLivro.contains(w) || w == BitBtn36)
        return false;
    const auto tecla = [e] { return static_cast<QKeyEvent *>(e)->key(); };
    const bool esc = (e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) && tecla() == Qt::Key_Escape;
    if (w == DBEdit3 && esc) {
        // Escape first abandons a CNPJ with digits missing; the next one leaves the panel.
        bool incompleto = false;
        guarded(QStringLiteral("DBEdit3KeyPress"), [&] { incompleto = m_cadastro.cnpjIncompleto(); });
        if (!incompleto)
            return false;
        e->accept();
        if (e->type() == QEvent::KeyPress)
            guarded(QStringLiteral("DBEdit3KeyPress"), [this] { m_cadastro.restauraCnpj(); });
        return true;
    }
    if (e->type() == QEvent::KeyPress && (tecla() == Qt::Key_Return || tecla() == Qt::Key_Enter)) {
        if (w == DBEdit3)
            guarded(QStringLiteral("DBEdit3KeyPress"), [this] { DBEdit3KeyPress(); });
        else if (qobject_cast<QComboBox *>(w))
            guarded(QStringLiteral("DBComboBox1KeyPress"), [this] { DBComboBox1KeyPress(); });
        else
            guarded(QStringLiteral("DBEdit31KeyPress"), [this] { DBEdit31KeyPress(); });
        return true;
    }
    if (w == DBEdit3 && e->type() == QEvent::FocusOut) {
        const auto motivo = static_cast<QFocusEvent *>(e)->reason();
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason) {
            // Checked once the focus has settled elsewhere.
            QTimer::singleShot(0, this, [this] {
                if (PainelConfigLivro->isVisible() && QApplication::focusWidget() != DBEdit3)
                    guarded(QStringLiteral("DBEdit3Exit"), [this] { m_cadastro.validaCnpj(); });
            });
        }
    }
    return false;
}

void TFormRelatAdministrativo::criaPainelLogin()
{
    PainelLogin = painel(m_areaCliente, "PainelLogin");
    PainelLogin->setGeometry(224, 135, 332, 130);
    Panel48 = barraDeTitulo(PainelLogin, "Panel48", QStringLiteral("Identificação do Usuário"));
    Panel48->setGeometry(2, 2, 328, 22);
    lblNome = nomeado(new QLabel(QStringLiteral("Nome"), PainelLogin), "lblNome");
    lblNome->setGeometry(16, 36, 50, 21);
    EditNome = nomeado(new QLineEdit(PainelLogin), "EditNome");
    EditNome->setGeometry(70, 36, 246, 21);
    QFont negrito = EditNome->font();
    negrito.setBold(true);
    EditNome->setFont(negrito);
    lblSenha = nomeado(new QLabel(QStringLiteral("Senha"), PainelLogin), "lblSenha");
    lblSenha->setGeometry(16, 64, 50, 21);
    EditSenhaU = nomeado(new QLineEdit(PainelLogin), "EditSenhaU");
    EditSenhaU->setGeometry(70, 64, 246, 21);
    auto *estilo = new EstiloSenha();
    estilo->setParent(EditSenhaU);
    EditSenhaU->setStyle(estilo);
    EditSenhaU->setEchoMode(QLineEdit::Password);
    BotOkSenha = nomeado(new QPushButton(iconePadrao(QStyle::SP_DialogOkButton), QStringLiteral("OK"), PainelLogin),
                         "BotOkSenha");
    BotOkSenha->setGeometry(70, 94, 110, 28);
    BotCancSenha = nomeado(
        new QPushButton(iconePadrao(QStyle::SP_DialogCancelButton), QStringLiteral("Cancela"), PainelLogin),
        "BotCancSenha");
    BotCancSenha->setGeometry(206, 94, 110, 28);
    for (QPushButton *b : {BotOkSenha, BotCancSenha})
        b->setAutoDefault(false);
    setTabOrder(EditNome, EditSenhaU);
    setTabOrder(EditSenhaU, BotOkSenha);
    setTabOrder(BotOkSenha, BotCancSenha);
    EditNome->installEventFilter(this);
    PainelLogin->hide();
}

// ---------------------------------------------------------------------------
// The command table

void TFormRelatAdministrativo::comando(const char *nome, Handler handler,
                                       std::initializer_list<QAbstractButton *> botoes,
                                       std::initializer_list<QAction *> itens, Durante durante)
{
    const QString onde = QLatin1String(nome);
    const auto executa = [this, onde, handler, durante] {
        // While a long command runs, a command that would disturb it is refused.
        if (durante == Recusa && ComandoExclusivo::ativo()) {
            modal().showNotice(ComandoExclusivo::mensagemRecusa());
            return;
        }
        guarded(onde, [this, handler] { (this->*handler)(); });
    };
    for (QAbstractButton *b : botoes)
        connect(b, &QAbstractButton::clicked, this, executa);
    for (QAction *a : itens)
        connect(a, &QAction::triggered, this, executa);
}

// Every command of the window, the controls that start it and its handler.
// Commands marked Livre may run while a long command (preparation, capsule
// correction, DCB formatting) is in progress; all others are refused then.
// A command whose handler is not part of this window yet stays unconnected:
// its line is kept here, commented, ready to be switched on with the handler.
void TFormRelatAdministrativo::ligaComandos()
{
    using T = TFormRelatAdministrativo;
    // "Dados Cadastrais" (registration data)
    comando("actConfCadExecute", &T::actConfCadExecute, {btnConfCad}, {DadosCadastrais1, actConfCad});
    // "Preparar Livro" (book period and preparation)
    comando("actPrepararLivroExecute", &T::actPrepararLivroExecute, {btnPrepararLivro}, {PrepararLivro1, actPrepararLivro});
    // "Inconsistências" (inconsistency viewer)
    // (only reads the report file: may run during a long command)
    comando("actInconsistenciasExecute", &T::actInconsistenciasExecute, {btnInconsistencias},
            {Inconsistncias1, actInconsistencias}, Livre);
    // "Sair"
    comando("actSairExecute", &T::actSairExecute, {btnSair}, {Sair1, actSair});
    // "VELIX6" (official book)
    comando("LivroOficial1Click", &T::LivroOficial1Click, {}, {LivroOficial1});
    // "Detalhamento" (detailed book)
    comando("LivroNsdosPedidos1Click", &T::LivroNsdosPedidos1Click, {}, {LivroNsdosPedidos1});
    // "Mostrar Livro": the official book, exactly as if "VELIX6" had been chosen
    comando("MostrarLivro1Click", &T::MostrarLivro1Click, {}, {MostrarLivro1});
    // "Configurar Impressora" (printer setup)
    comando("actConfImpressoraExecute", &T::actConfImpressoraExecute, {}, {ConfigurarImpressora1, actConfImpressora},
            Livre);
    // "Formatar Descrição do DCB"
    comando("FormatarDescrioDCB1Click", &T::FormatarDescrioDCB1Click, {}, {FormatarDescrioDCB1});
    // "Acertar Qde. Caps. Prescrita" (prescribed-capsule correction)
    comando("AcertarInconsistncias1Click", &T::AcertarInconsistncias1Click, {}, {AcertarInconsistncias1});
    // "Fechar - tela de inconsistências"
    comando("btn2Click", &T::btn2Click, {btn2}, {}, Livre);
    // "Sair - voltar a tela inicial" (registration-data panel)
    comando("BitBtn36Click", &T::BitBtn36Click, {BitBtn36}, {});
    // Login panel: "OK", "Cancela", Enter in the name and password fields, leaving the name field
    comando("BotOkSenhaClick", &T::BotOkSenhaClick, {BotOkSenha}, {});
    comando("BotCancSenhaClick", &T::BotCancSenhaClick, {BotCancSenha}, {});
    connect(EditNome, &QLineEdit::returnPressed, this,
            [this] { guarded(QStringLiteral("EditNomeKeyPress"), [this] { EditNomeKeyPress(); }); });
    connect(EditSenhaU, &QLineEdit::returnPressed, this, [this] {
        if (ComandoExclusivo::ativo()) {
            modal().showNotice(ComandoExclusivo::mensagemRecusa());
            return;
        }
        guarded(QStringLiteral("EditSenhaUKeyPress"), [this] { EditSenhaUKeyPress(); });
    });
    // EditNomeExit: eventFilter(), when the focus leaves EditNome.
}

// ---------------------------------------------------------------------------
// Window events

bool TFormRelatAdministrativo::event(QEvent *e)
{
    const bool r = QMainWindow::event(e);
    if (e->type() == QEvent::WindowActivate)
        guarded(QStringLiteral("FormActivate"), [this] { FormActivate(); });
    return r;
}

void TFormRelatAdministrativo::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!m_mostrada) {
        m_mostrada = true;
        guarded(QStringLiteral("FormShow"), [this] { FormShow(); });
    }
}

void TFormRelatAdministrativo::closeEvent(QCloseEvent *e)
{
    if (ComandoExclusivo::ativo()) {
        // Closing in the middle of a long command would leave it half done.
        e->ignore();
        modal().showNotice(ComandoExclusivo::mensagemRecusa());
        return;
    }
    guarded(QStringLiteral("FormClose"), [this] { FormClose(); });
    e->accept();
}

bool TFormRelatAdministrativo::eventFilter(QObject *watched, QEvent *e)
{
    if (filtraPainelConfigLivro(watched, e))
        return true;
    if (watched == EditNome && e->type() == QEvent::FocusOut) {
        // Leaving the field, not the window: a message box or another program
        // taking the focus does not count.
        const auto motivo = static_cast<QFocusEvent *>(e)->reason();
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason)
            guarded(QStringLiteral("EditNomeExit"), [this] { EditNomeExit(); });
    }
    return QMainWindow::eventFilter(watched, e);
}

void TFormRelatAdministrativo::FormCreate()
{
    resize(800, 600);
    if (QScreen *tela = screen() ? screen() : QGuiApplication::primaryScreen()) {
        QRect r(QPoint(), size());
        r.moveCenter(tela->geometry().center());
        move(r.topLeft());
    }
    try {
        LeConfiguracoes();
    } catch (const ArquivoConfiguracoesAusente &e) {
        ShowMessage(e.message());
        m_encerrar = true;
        return;
    }
    aplicaCorDeFundo(CorFundoTelas);
}

void TFormRelatAdministrativo::aplicaCorDeFundo(qint32 valor)
{
    pinta(m_areaCliente, corDoValor(valor));
}

void TFormRelatAdministrativo::FormShow()
{
    setWindowTitle(windowTitle() + QStringLiteral(" - Versão ") + programFileVersion());
}

void TFormRelatAdministrativo::FormActivate()
{
    if (PrimeiraAtivacaoFeita)
        return;
    PrimeiraAtivacaoFeita = true;
    AssignColumnLists();
    if (RM)
        RM->rvsystm1.setRenderObject(&RM->rpdf1);
    PainelRelatorios->show();
    Habilita_Botoes_Relatorios();
    NomeUsuario = cut(NomeUsuarioWindows(), 60);
    EditNome->setText(NomeUsuario);
    PainelLogin->setGeometry(224, 135, 332, 130);
    PainelLogin->show();
    PainelLogin->raise();
    if (EditNome->isEnabled() && EditNome->isVisible())
        EditNome->setFocus(Qt::OtherFocusReason);
    setBotaoCancelar(BotCancSenha);
}

void TFormRelatAdministrativo::FormClose()
{
    // The book rows stay open after a book command until the program ends.
    try {
        if (hasDM())
            DM().VELIX6.close();
    } catch (...) {
        // An error while closing them does not keep the program from ending.
    }
}

void TFormRelatAdministrativo::Habilita_Botoes_Relatorios()
{
    for (QToolButton *b : {btnConfCad, btnPrepararLivro, btnInconsistencias, btnSair})
        b->setEnabled(true);
}

void TFormRelatAdministrativo::setBotaoCancelar(QAbstractButton *botao)
{
    m_botaoCancelar = botao;
}

// ---------------------------------------------------------------------------
// Commands of this window

void TFormRelatAdministrativo::actSairExecute()
{
    close();
}

void TFormRelatAdministrativo::actPrepararLivroExecute()
{
    velix::actPrepararLivroExecute(*this);
}

void TFormRelatAdministrativo::actInconsistenciasExecute()
{
    velix::actInconsistenciasExecute(*this);
}

void TFormRelatAdministrativo::AcertarInconsistncias1Click()
{
    velix::Acerta_Caps_Prescrita(*this);
}

void TFormRelatAdministrativo::FormatarDescrioDCB1Click()
{
    velix::FormatarDescrioDCB1Click(*this);
}

void TFormRelatAdministrativo::MostrarLivro1Click()
{
    LivroOficial1->trigger();
}

void TFormRelatAdministrativo::btn2Click()
{
    pnl1->hide();
}

void TFormRelatAdministrativo::BotCancSenhaClick()
{
    PainelLogin->hide();
    close();
}

void TFormRelatAdministrativo::EditNomeExit()
{
    EditNome->setText(upperAZ(EditNome->text()));
}

void TFormRelatAdministrativo::EditNomeKeyPress()
{
    // Enter moves on to the next control, the password field.
    focusNextChild();
}

void TFormRelatAdministrativo::EditSenhaUKeyPress()
{
    ValidaUsuario(*this);
}

void TFormRelatAdministrativo::BotOkSenhaClick()
{
    ValidaUsuario(*this);
}

QString TFormRelatAdministrativo::nome() const
{
    return EditNome->text();
}

void TFormRelatAdministrativo::setNome(const QString &text)
{
    EditNome->setText(text);
}

QString TFormRelatAdministrativo::senha() const
{
    return EditSenhaU->text();
}

void TFormRelatAdministrativo::focusNome()
{
    EditNome->setFocus(Qt::OtherFocusReason);
}

void TFormRelatAdministrativo::focusSenha()
{
    EditSenhaU->setFocus(Qt::OtherFocusReason);
}

void TFormRelatAdministrativo::loginAccepted()
{
    PainelLogin->hide();
    EditNome->clear();
    EditSenhaU->clear();
    // The registration panel, when open, keeps Escape; the login panel's
    // Cancela is gone either way.
    if (m_botaoCancelar == BitBtn36)
        m_cancelarAntesDoCadastro = nullptr;
    else
        setBotaoCancelar(nullptr);
    PainelRelatorios->show();
}

void TFormRelatAdministrativo::setTitle(const QString &title)
{
    setWindowTitle(title);
}

void TFormRelatAdministrativo::closeMainWindow()
{
    close();
}

void TFormRelatAdministrativo::LivroOficial1Click()
{
    velix::LivroOficial1Click(*this);
}

void TFormRelatAdministrativo::LivroNsdosPedidos1Click()
{
    velix::LivroNsdosPedidos1Click(*this);
}

void TFormRelatAdministrativo::actConfImpressoraExecute()
{
    velix::actConfImpressoraExecute();
}

} // namespace velix
