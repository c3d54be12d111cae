#include "data/udm2.h"
#include "data/udm.h"
#include "platform/errors.h"

namespace velix {
namespace {
TDM2 *instance = nullptr;
}

TDM2::TDM2(const QString &ipServidorCentral)
    : SQLConnection1(QStringLiteral("Interfac")),
      SQLDS_Periodo(QStringLiteral("SQLDS_Periodo"), SQLConnection1,
                    QStringLiteral("select DATAINICIAL, DATAFINAL, HORAINICIAL, HORAFINAL, CHAVE, ESTACAO, NPEDIDO, "
                                   "NFORMULA, VALORTOTAL, VALORTOTAL2 from PERIODO")),
      Periodo(QStringLiteral("Periodo"), SQLDS_Periodo, QStringLiteral("PERIODO"), UpdateMode::WhereAll),
      m_ip(ipServidorCentral)
{
    SQLConnection1.setDatabase(QStringLiteral("c:/korvante/interfac/korvante.bd"));
    Periodo.afterPost = &TDM::applyAndRefresh;
    instance = this;
    guarded(QStringLiteral("TDM2.DataModuleCreate"), [this] { DataModuleCreate(); });
}

TDM2::~TDM2()
{
    if (instance == this)
        instance = nullptr;
}

void TDM2::DataModuleCreate()
{
    SQLConnection1.setLibraryName(clientLibraryFromFile());
}

void TDM2::setStation(const QString &estacao)
{
    SQLConnection1.setDatabase(interfaceDatabaseLocation(m_ip, estacao));
}

TDM2 &DM2()
{
    if (!instance)
        throw Error(QStringLiteral("The interface data module does not exist"));
    return *instance;
}

bool hasDM2()
{
    return instance != nullptr;
}

} // namespace velix
