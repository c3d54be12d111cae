#include "data/udm.h"
#include "data/sqltext.h"
#include "platform/errors.h"
#include "platform/modal.h"
#include "platform/paths.h"
#include "platform/programa.h"

namespace velix {
namespace {

TDM *instance = nullptr;

QString serverRoot()
{
    const QString env = qEnvironmentVariable("KORVANTE_SERVER_DIR");
    return env.isEmpty() ? rootDir() : env;
}

QString location(const QString &ip, const QString &relative)
{
    if (ip.isEmpty())
        return rootPath(relative);
    QString root = serverRoot();
    if (!root.endsWith(QLatin1Char('/')) && !root.endsWith(QLatin1Char('\\')))
        root += QLatin1Char('/');
    return ip + QLatin1Char(':') + root + relative;
}

QString initial(const char *prefix, const char *table, const char *suffix)
{
    return QLatin1String(prefix) + columnList(QLatin1String(table)) + QLatin1String(suffix);
}

} // namespace

QString pharmacyDatabaseLocation(const QString &ipServidorCentral)
{
    return location(ipServidorCentral, QStringLiteral("dados/korvante.bd"));
}

QString interfaceDatabaseLocation(const QString &ipServidorCentral, const QString &estacao)
{
    return location(ipServidorCentral, QStringLiteral("interfac") + estacao + QStringLiteral("/korvante.bd"));
}

TDM::TDM(const QString &ipServidorCentral)
    : sqlcon1(QStringLiteral("KORVANTE")),
      sqldsPedidos(QStringLiteral("sqldsPedidos"), sqlcon1, initial("Select First 1 ", "PEDIDOS", " from pedidos")),
      sqldsPediform(QStringLiteral("sqldsPediform"), sqlcon1, initial("Select first 1 ", "PEDIFORM", " from pediform")),
      sqldsCompedid(QStringLiteral("sqldsCompedid"), sqlcon1, initial("Select first 1 ", "COMPEDID", " from Compedid")),
      sqldsEntregar(QStringLiteral("sqldsEntregar"), sqlcon1, initial("Select first 1 ", "ENTREGAR", " from Entregar")),
      sqldsItens(QStringLiteral("sqldsItens"), sqlcon1, initial("Select first 1 ", "ITENS", " from itens")),
      SQLDS_DadosGer(QStringLiteral("SQLDS_DadosGer"), sqlcon1, initial("select ", "DADOSGER", " from DADOSGER")),
      SQLDS_Componen(QStringLiteral("SQLDS_Componen"), sqlcon1, initial("select first 1 ", "COMPONEN", " from COMPONEN")),
      SQLDS_DCB(QStringLiteral("SQLDS_DCB"), sqlcon1, QStringLiteral("select DCB, DESCRICAO from DCB")),
      SQLDS_VELIX6(QStringLiteral("SQLDS_VELIX6"), sqlcon1, initial("select ", "VELIX6", " from VELIX6")),
      SQLDS_Usuarios(QStringLiteral("SQLDS_Usuarios"), sqlcon1, initial("select ", "USUARIOS", " from USUARIOS")),
      SQLDS_Estacoes(QStringLiteral("SQLDS_Estacoes"), sqlcon1, initial("select ", "ESTACOES", " from ESTACOES")),
      SQLDS_TabLab(QStringLiteral("SQLDS_TabLab"), sqlcon1, QStringLiteral("select LABORATORIO, LOJA from TABLAB")),
      cdsPedidos(QStringLiteral("cdsPedidos"), sqldsPedidos, QStringLiteral("PEDIDOS"), UpdateMode::WhereAll),
      cdsPediform(QStringLiteral("cdsPediform"), sqldsPediform, QStringLiteral("PEDIFORM"), UpdateMode::WhereAll),
      cdsCompedid(QStringLiteral("cdsCompedid"), sqldsCompedid, QStringLiteral("COMPEDID"), UpdateMode::WhereAll),
      cdsEntregar(QStringLiteral("cdsEntregar"), sqldsEntregar, QStringLiteral("ENTREGAR"), UpdateMode::WhereAll),
      cdsItens(QStringLiteral("cdsItens"), sqldsItens, QStringLiteral("ITENS"), UpdateMode::WhereAll),
      DadosGer(QStringLiteral("DadosGer"), SQLDS_DadosGer, QStringLiteral("DADOSGER"), UpdateMode::WhereAll),
      Componen(QStringLiteral("Componen"), SQLDS_Componen, QStringLiteral("COMPONEN"), UpdateMode::WhereKeyOnly),
      DCB(QStringLiteral("DCB"), SQLDS_DCB, QStringLiteral("DCB"), UpdateMode::WhereKeyOnly),
      VELIX6(QStringLiteral("VELIX6"), SQLDS_VELIX6, QStringLiteral("VELIX6"), UpdateMode::WhereKeyOnly),
      Usuarios(QStringLiteral("Usuarios"), SQLDS_Usuarios, QStringLiteral("USUARIOS"), UpdateMode::WhereKeyOnly),
      Estacoes(QStringLiteral("Estacoes"), SQLDS_Estacoes, QStringLiteral("ESTACOES"), UpdateMode::WhereAll),
      TabLab(QStringLiteral("TabLab"), SQLDS_TabLab, QStringLiteral("TABLAB"), UpdateMode::WhereAll),
      m_ip(ipServidorCentral)
{
    sqlcon1.setDatabase(QStringLiteral("C:/KORVANTE/DADOS/KORVANTE.BD"));
    for (ClientDataSet *ds : {&cdsPedidos, &cdsPediform, &cdsCompedid, &cdsEntregar, &DadosGer, &Componen, &DCB, &VELIX6})
        ds->afterPost = &TDM::applyAndRefresh;
    cdsPedidos.afterScroll = [this](ClientDataSet &ds) { cdsPedidosAfterScroll(ds); };
    cdsPediform.afterScroll = [this](ClientDataSet &ds) { cdsPediformAfterScroll(ds); };
    VELIX6.afterInsert = [this](ClientDataSet &ds) { VELIX6AfterInsert(ds); };
    instance = this;
    guarded(QStringLiteral("TDM.DataModuleCreate"), [this] { DataModuleCreate(); });
}

TDM::~TDM()
{
    if (instance == this)
        instance = nullptr;
}

void TDM::DataModuleCreate()
{
    sqlcon1.setLibraryName(clientLibraryFromFile());
    sqlcon1.setDatabase(pharmacyDatabaseLocation(m_ip));
}

void TDM::setIpServidorCentral(const QString &ipServidorCentral)
{
    m_ip = ipServidorCentral;
    sqlcon1.setDatabase(pharmacyDatabaseLocation(m_ip));
}

void TDM::applyAndRefresh(ClientDataSet &dataSet)
{
    dataSet.applyUpdates();
    dataSet.refresh();
}

void TDM::cdsPedidosAfterScroll(ClientDataSet &dataSet)
{
    const QString estacao = dataSet.fieldByName(QStringLiteral("ESTACAO")).asString();
    if (estacao.isEmpty() || dataSet.fieldByName(QStringLiteral("NPED")).asInteger() <= 0)
        return;
    try {
        cdsPediform.close();
        sqldsPediform.setCommandText(QStringLiteral("Select ") + Campos_PEDIFORM
                                     + QStringLiteral(" from PEDIFORM where ESTACAO = '") + sqlQuote(estacao)
                                     + QStringLiteral("' and NPEDIDO = ")
                                     + QString::number(dataSet.fieldByName(QStringLiteral("NPEDIDO")).asInteger())
                                     + QStringLiteral(" and  LABORATORIO = '") + sqlQuote(PegaLaboratorio(CNPJLoja))
                                     + QStringLiteral("'"));
        cdsPediform.open();
    } catch (...) {
        ShowMessage(QStringLiteral("Erro tentando abrir Pediform com ") + sqldsPediform.commandText());
    }
}

void TDM::cdsPediformAfterScroll(ClientDataSet &dataSet)
{
    cdsCompedid.close();
    sqldsCompedid.setCommandText(QStringLiteral("Select ") + Campos_COMPEDID
                                 + QStringLiteral(" from COMPEDID where ESTACAO = '")
                                 + sqlQuote(cdsPedidos.fieldByName(QStringLiteral("ESTACAO")).asString())
                                 + QStringLiteral("' and NPEDIDO = '")
                                 + sqlQuote(cdsPedidos.fieldByName(QStringLiteral("NPEDIDO")).asString())
                                 + QStringLiteral("' and NFORMULA = '")
                                 + sqlQuote(dataSet.fieldByName(QStringLiteral("NFORMULA")).asString())
                                 + QStringLiteral("'"));
    cdsCompedid.open();
}

void TDM::VELIX6AfterInsert(ClientDataSet &dataSet)
{
    dataSet.fieldByName(QStringLiteral("CNPJ")).setAsString(CNPJLoja);
}

void TDM::AbreDadosGer()
{
    DadosGer.close();
    SQLDS_DadosGer.setCommandText(QStringLiteral("Select ") + Campos_DADOSGER
                                  + QStringLiteral(" from DADOSGER where CGC = '") + sqlQuote(CNPJLoja)
                                  + QStringLiteral("'"));
    DadosGer.open();
}

QString TDM::PegaLaboratorio(const QString &Loja)
{
    QString result = QStringLiteral("Almoxarifado");
    TabLab.close();
    SQLDS_TabLab.setCommandText(QStringLiteral("Select LABORATORIO, LOJA from TABLAB where LOJA = '") + sqlQuote(Loja)
                                + QStringLiteral("'"));
    TabLab.open();
    if (TabLab.fieldByName(QStringLiteral("LOJA")).asString() == Loja)
        result = TabLab.fieldByName(QStringLiteral("LABORATORIO")).asString();
    TabLab.close();
    return result;
}

TDM &DM()
{
    if (!instance)
        throw Error(QStringLiteral("The pharmacy data module does not exist"));
    return *instance;
}

bool hasDM()
{
    return instance != nullptr;
}

} // namespace velix
