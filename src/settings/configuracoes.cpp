#include "settings/configuracoes.h"

#include "platform/cp1252.h"
#include "platform/paths.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <array>
#include <cstdint>
#include <limits>

namespace velix {
namespace {

constexpr std::array<const char *, 135> kRotulos = {
    "IP DO SERVIDOR CENTRAL.........................:",
    "IP DA ESTACAO DO USUARIO.......................:",
    "IP DO BACKUP DO BD LOCAL (BKPPED)..............:",
    "IP DO BACKUP DO BD CENTRAL.....................:",
    "CAMINHO DO BACKUP MANUAL DO BD DO SISTEMA......:",
    "COR DE FUNDO DAS TELAS.........................:",
    "LOG DE ATIVIDADES..............................:",
    "TIT.COL 4 F.FARMACEUTICA..(Preco Min./% Lucro).:",
    "PADRAO PRECO MINIMO............................:",
    "BOTAO MANIPULACAO EM ABERTO/EFETUADA...........:",
    "MODELO DA REQUISICAO...........................:",
    "USAR F.C. NO PRECO DE VENDA....................:",
    "ATENDENTE OBRIGATORIO..........................:",
    "MOSTRAR PRESCRICAO COMPLETA NA REQUISICAO......:",
    "MOSTRAR DESCONTO NA REQUISICAO.................:",
    "USAR PRECO PADRAO DAS FORMULAS PREDEFINIDAS....:",
    "LAGURA DA REQUISICAO (QDE TRACOS)..............:",
    "MOSTRAR CONVENIO NA REQUISICAO.................:",
    "SALTO FINAL APOS IMPRESSAO DA REQUISICAO.......:",
    "LOG ATIVADO....................................:",
    "USAR PRECO MINIMO POR FRASCO...................:",
    "ARREDONDAMENTO DO PRECO (1, 5, 10, 50, 100)....:",
    "MARGEM ESQUERDA DA REQUISICAO..................:",
    "MOSTRAR POSOLOGIA NA REQUISICAO................:",
    "LARGURA DA OM (QDE TRACOS).....................:",
    "MARGEM ESQUERDA DA OM..........................:",
    "EMBALAGEM OBRIGATORIA..........................:",
    "MOSTRAR VALIDADE NA REQUISICAO.................:",
    "FORMATA NOME DO CLIENTE........................:",
    "MOSTRAR ENDERECO NA REQUISICAO.................:",
    "REQUISICAO EM 1 OU 2 VIAS......................:",
    "ALERTAR QUANDO VALIDADE MENOR QUE N (DIAS).....:",
    "FORMA DE PAGAMENTO OBRIGATORIA.................:",
    "INCLUIR OBSERVACAO NA REQUISICAO...............:",
    "QDE DIAS PARA ENTREGA APOS SEXTA FEIRA.........:",
    "QDE DIAS PARA ENTREGA APOS SEG A QUI...........:",
    "USAR HOMEOPATIA E FLORAIS......................:",
    "QDE GOTAS POR ML DO CONTA-GOTAS................:",
    "CALCULAR PRECOS HOMEOPATIA PELA QDE DE GOTAS...:",
    "HABILITAR BOTAO \"REPETIR PEDIDO\"...............:",
    "PARA O PRODUTO MANIPULADO, USAR A VALIDADE.....:",
    "USAR NOME FORMULA PRE-DEFIN NA REQ E NO ROTULO.:",
    "UNID USADA P/ COMPRIM E GLOBULOS NA HOMEOPATIA.:",
    "MOSTRAR MATRICULA NA REQUISICAO................:",
    "FORMATO DA VALIDADE DA FORMULA.................:",
    "VALOR DA HORA DE MANIPULACAO...................:",
    "ROTULO DADO AO CAMPO DE CUSTO DA FORMULA.......:",
    "BLOQUEIO DA ALTERACAO DO PEDIDO APOS IMPRESSAO.:",
    "IMPRESSAO OBRIGATORIA DA REQUISICAO............:",
    "MODELO ALTERNATIVO DE REQUISICAO...............:",
    "IMPRIMIR NA REQ. CABECALHO PORTARIA 3492 ART.68:",
    "ATUALIZAR DATAS SE FOR ALTER. O TIPO DO PEDIDO.:",
    "TEXTO PADRAO DA POSOLOGIA......................:",
    "MOSTRAR CAMPO DE CODIGO DE ENTREGA.............:",
    "PERMITIR PRODUTO DE REVENDA NA FORMULA.........:",
    "MOSTRAR CAMPOS DO CAIXA NA TELA DE PEDIDOS.....:",
    "COR PADRAO DAS CAPSULAS........................:",
    "CONTEUDO DO LIVRO DE RECEITUARIO MEDICO........:",
    "TEXTO DO CAMPO DE CONVENIO.....................:",
    "VISUALIZAR SITUACOES ESPECIAIS DOS DM.Componen.:",
    "LABORATORIO PADRAO.............................:",
    "POSOLOGIA OBRIGATORIA..........................:",
    "NOME DO CONVENIO PADRAO........................:",
    "USAR FAT. DILUICAO NO CALC. DO PRECO DE VENDA..:",
    "OBRIGA ESPECIFICAR ROTA NAS ENTREGAS EM DOMIC..:",
    "INCLUIR DADOS CLIENTE NA REQ. (ENTR. DOMICILIO):",
    "PERMITE FORMULA HOM SEM ESTOQUE DINAM INFERIOR.:",
    "ATIVAR MODO DE IMPLANTACAO DO SISTEMA..........:",
    "IMPEDE DIGITACAO DO NOME DO ATENDENTE..........:",
    "TEMPO PARA LOGOFF AUTOMATICO...................:",
    "USAR REDUCAO FRASCOS PARA DOSE UNICA.(QDEDU)...:",
    "EXIBIR BOTAO PLACEBO NA TELA DE HOMEOPATIA.....:",
    "LIMITE DE REG MANTIDOS PARA QUIT AUTOMATICA....:",
    "UTILIZAR TABELA DE ACRESCIMOS DA HOMEOPATIA....:",
    "CALCULAR PRECOS FLORAIS COM BASE NA............:",
    "PRECOS HOM COM ASSOCIACOES COM BASE............:",
    "COR DAS MENSAGENS DOS DM.Componen..............:",
    "COR USADA NAS MENSAGEM DE SITUACOES ESPECIAIS..:",
    "INCLUIR EXCIPIENTES E VEICULOS NOS ROTULOS.....:",
    "MOSTRAR PRECO NA OM E NA REQUISICAO............:",
    "INCLUIR TEXTO \"PEDIDO\" OU \"ORCAM\" NA REQUISICAO:",
    "MASCARA P/ FORMATACAO DO N.PEDIDO NA REQUISICAO:",
    "OCULTAR BOTAO \"INSERIR\" NA PESQUISA DE MEDICO..:",
    "REPETIR MESMA OBS DA FORMULA AO REPETIR PEDIDO.:",
    "IMPEDIR A REIMPRESSAO DA REQUISICAO............:",
    "FORMA DE INCLUSAO DA EMBALAGEM DA FORMULA......:",
    "PREENCHIMENTO OBRIGATORIO DOS DADOS DO SNGPC...:",
    "ECF UTILIZADO..................................:",
    "MOSTRAR OS EXCIPIENTES IDENTIFICADOS NA FORMULA:",
    "DEFINIR O EXCIPIENTE PELA DOSAGEM..............:",
    "VALOR DESC. P/ FLORAIS COM APENAS UMA ESSENCIA.:",
    "VAL DESC P/ FLORAIS C/ NO MAXIMO 20% DE BRANDY.:",
    "MOSTRAR CAMPO DE SINAL NA TELA DE PEDIDOS......:",
    "MOSTRAR NUM. DOCUMENTO DO CLIENTE NA REQUISICAO:",
    "OBRIGATORIO NOME/TELEFONE DO CLIENTE NO PEDIDO.:",
    "CONSERVANTE ADICION. NAS EMBALAGENS DE CAPSULAS:",
    "CAMINHO ARQ TEXTO PARA ECF CHART...............:",
    "CAMINHO ARQ TEXTO PARA ECF ATS.................:",
    "IP COMPUTADOR QUE GERA COD.SEQ. PARA ECF ATS...:",
    "IP COMPUT. QUE GERA COD.SEQ. P/ ECF SOFTPHARMA.:",
    "SUBST PR.TOT P/ PR.C/.DESC QDO DESC FOR NEGAT..:",
    "VERSAO DO ECF CHART............................:",
    "DAV/ECF ATIVO..................................:",
    "LIMITE DA QUANTIDADE DIARIA DE FORMULAS........:",
    "ORDENAR LIVRO RECEIT. PELO COD. LIVRO..........:",
    "QDE PADRAO DE DIAS PARA PESQUISA DE PEDIDOS....:",
    "TIPO DE IMPRESSORA DA REQUISICAO...............:",
    "DEFINIR EXCIPIENTE PELA PRIORIDADE.............:",
    "UTILIZA CREDIARIO..............................:",
    "INCLUIR TAXA ENTREGA NO DAV DA ATS.............:",
    "OBRIGATORIO INFORMAR PRAZO DURACAO DA FORMULA..:",
    "MOSTRAR OBS SOBRE DOSAGEM FORA DA FAIXA NO OM..:",
    "ALTURA DA PAGINA DA OM.........................:",
    "MARGEM SUPERIOR DA OM..........................:",
    "SALTO FINAL APOS IMPRESSAO DA OM...............:",
    "MODELO DA OM...................................:",
    "FECHAR CAIXA DE DIALOGO APOS IMPRESSAO DA OM...:",
    "EM CASO DE DESDOBR, QDE CAPS A INFORMA NA OM...:",
    "MOSTRAR NOME DA FORMULA PREDEFINIDA NA OM......:",
    "MOSTRAR FICHA TECNICA DO MEDICAMENTO NA OM.....:",
    "MOSTRAR O CONVENIO NA OM.......................:",
    "MOSTRAR INFORM. MEDICAS DO PACIENTE NA OM......:",
    "CONVERTER A UNIDADE ML PARA G NA OM............:",
    "MOSTRAR DENSIDADE DO COMPONENTE NA OM..........:",
    "DESTACA OBS NA OM..............................:",
    "GERA/MOSTRA NA OM LOTES P/ FORM FEITAS EM CONJ.:",
    "IMPRIME UM TRACO HORIZONTAL NO FINAL DA OM.....:",
    "DEIXA ESPACO P/ PREENCH MAN. DE EXCIP E VEICULO:",
    "UTILIZA PARAM DE CONTROLE DE QUALIDADE NA OM...:",
    "DETALHAR EXCIPIENTE DA FORMULA NA OM...........:",
    "TEXTO REFERENTE A QUANTIDADE REAL A SER PESADA.:",
    "VOLUME TOTAL DA FORMULA A SER MOSTRADO NA OM...:",
    "SO INCLUIR NO LIVRO CLIENTES COM ENDER COMPLETO:",
    "INCLUIR NO LIVRO A DATA VALIDADE OU FABRICACAO.:",
    "ORDENAR VELIX6 POR DATA OU DCB, DATA, NUMNOTIF.:",
};

constexpr qsizetype kLarguraRotulo = 48;
constexpr qsizetype kInicioValor = 49;   // 0-based: column 50
constexpr qsizetype kLarguraValor = 60;  // columns 50-109

// How a recognised label's value is stored.
enum class Destino { Texto, IPServidor, CorFundo, Ordem };

struct Regra {
    Destino destino = Destino::Texto;
    qsizetype largura = 30;  // -1: any length
};

Regra regraDe(const QString &rotulo)
{
    static const QHash<QString, Regra> excecoes = {
        {QStringLiteral("IP DO SERVIDOR CENTRAL.........................:"), {Destino::IPServidor, 60}},
        {QStringLiteral("COR DE FUNDO DAS TELAS.........................:"), {Destino::CorFundo, -1}},
        {QStringLiteral("ORDENAR VELIX6 POR DATA OU DCB, DATA, NUMNOTIF.:"), {Destino::Ordem, -1}},
        {QStringLiteral("IP DA ESTACAO DO USUARIO.......................:"), {Destino::Texto, 40}},
        {QStringLiteral("IP DO BACKUP DO BD LOCAL (BKPPED)..............:"), {Destino::Texto, 40}},
        {QStringLiteral("IP DO BACKUP DO BD CENTRAL.....................:"), {Destino::Texto, 40}},
        {QStringLiteral("LOG DE ATIVIDADES..............................:"), {Destino::Texto, 3}},
        {QStringLiteral("CAMINHO DO BACKUP MANUAL DO BD DO SISTEMA......:"), {Destino::Texto, -1}},
    };
    return excecoes.value(rotulo, Regra{});
}

// Every recognised label with the value last read for it.
QHash<QString, QString> &valores()
{
    static QHash<QString, QString> v;
    return v;
}

bool reconhecido(const QString &rotulo)
{
    static const QSet<QString> rotulos(rotulosConfiguracao().cbegin(), rotulosConfiguracao().cend());
    return rotulos.contains(rotulo);
}

// Removes blanks (code 32 only) from both ends; tabs and other controls stay.
QString tiraBrancos(const QString &s)
{
    qsizetype ini = 0;
    qsizetype fim = s.size();
    while (ini < fim && s[ini] == QLatin1Char(' '))
        ++ini;
    while (fim > ini && s[fim - 1] == QLatin1Char(' '))
        --fim;
    return s.mid(ini, fim - ini);
}

void armazena(const QString &rotulo, const QString &bruto)
{
    const QString valor = tiraBrancos(bruto);
    const Regra regra = regraDe(rotulo);
    switch (regra.destino) {
    case Destino::IPServidor:
        IPServidorCentral = valor.left(regra.largura);
        valores().insert(rotulo, IPServidorCentral);
        break;
    case Destino::CorFundo:
        CorFundoTelas = StrToInt(valor);
        valores().insert(rotulo, QString::number(CorFundoTelas));
        break;
    case Destino::Ordem:
        OrdemVelix6 = valor;
        valores().insert(rotulo, OrdemVelix6);
        break;
    case Destino::Texto:
        valores().insert(rotulo, regra.largura < 0 ? valor : valor.left(regra.largura));
        break;
    }
}

} // namespace

const QStringList &rotulosConfiguracao()
{
    static const QStringList lista = [] {
        QStringList l;
        for (const char *r : kRotulos)
            l << QString::fromLatin1(r);
        return l;
    }();
    return lista;
}

QString valorConfiguracao(const QString &rotulo)
{
    return valores().value(rotulo);
}

QString arquivoConfiguracoes()
{
    const QString aoLado = programDir() + QStringLiteral("KORVANTE.INI");
    if (QFileInfo::exists(aoLado))
        return aoLado;
    const QString doUsuario = userConfigDir() + QStringLiteral("KORVANTE.INI");
    return QFileInfo::exists(doUsuario) ? doUsuario : aoLado;
}

ArquivoConfiguracoesAusente::ArquivoConfiguracoesAusente()
    : Error(QStringLiteral("Arquivo KORVANTE.INI não encontrado. Execute o programa Instalio.exe para criá-lo."),
            QStringLiteral("EFileNotFound"))
{
}

qint32 StrToInt(const QString &text)
{
    const auto invalido = [&text] {
        return ConvertError(QLatin1Char('\'') + text + QStringLiteral("' is not a valid integer value"));
    };
    qsizetype i = 0;
    bool negativo = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negativo = text[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (text.mid(i, 1) == QLatin1String("$")) {
        base = 16;
        i += 1;
    } else if (text.mid(i, 2).compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        throw invalido();
    // Decimal values must fit a signed 32-bit integer; hexadecimal ones may use
    // all 32 bits (the top bit then makes them negative).
    const std::uint64_t limite = base == 16 ? 0xFFFFFFFFu
                                            : std::uint64_t(std::numeric_limits<qint32>::max()) + (negativo ? 1 : 0);
    std::uint64_t v = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int digito = -1;
        if (c >= u'0' && c <= u'9')
            digito = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digito = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digito = c - u'A' + 10;
        if (digito < 0)
            throw invalido();
        v = v * base + digito;
        if (v > limite)
            throw invalido();
    }
    const auto bits = static_cast<std::uint32_t>(v);
    const auto valor = static_cast<qint32>(bits);
    return negativo ? static_cast<qint32>(0u - bits) : valor;
}

void LeConfiguracoes()
{
    IPServidorCentral.clear();
    CorFundoTelas = 0;
    OrdemVelix6.clear();
    valores().clear();

    const QString arquivo = arquivoConfiguracoes();
    if (!QFileInfo::exists(arquivo))
        throw ArquivoConfiguracoesAusente();

    const QString texto = readCp1252File(arquivo);
    const QStringList linhas = texto.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < linhas.size(); ++n) {
        QString linha = linhas[n];
        if (linha.endsWith(QLatin1Char('\r')))
            linha.chop(1);
        if (linha.size() < kLarguraRotulo)
            continue;
        const QString rotulo = linha.left(kLarguraRotulo);
        if (!reconhecido(rotulo))
            continue;
        armazena(rotulo, linha.mid(kInicioValor, kLarguraValor));
    }
}

} // namespace velix
