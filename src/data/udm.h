#pragma once
// TDM: the pharmacy-database module. Holds the connection sqlcon1 and, for every
// table of the pharmacy database, its statement dataset and cached dataset
// (sqldsPedidos / cdsPedidos, SQLDS_VELIX6 / VELIX6, ...) with their fixed
// events, and the laboratory lookup PegaLaboratorio.
//
// One instance lives from start-up to the end of the program; DM() reaches it.
// It is created disconnected: sqlcon1 connects when the first dataset is opened.
//
// Database location (set at creation and by setIpServidorCentral):
//   - empty IPServidorCentral: rootPath("dados/korvante.bd"), opened in this
//     process by the embedded engine;
//   - otherwise IPServidorCentral + ":" + <server root> + "/dados/korvante.bd",
//     where <server root> is the environment variable KORVANTE_SERVER_DIR when
//     set, else the root folder (rootDir()).
//
// Fixed events:
//   - after post of cdsPedidos, cdsPediform, cdsCompedid, cdsEntregar, DadosGer,
//     Componen, DCB and VELIX6: apply the pending changes at once, then refresh
//     (keeping the position number);
//   - cdsPedidosAfterScroll: with ESTACAO not empty and NPED > 0, re-selects the
//     order's formulas of the store's laboratory into cdsPediform; a failure is
//     shown as "Erro tentando abrir Pediform com " + the statement, and ignored;
//   - cdsPediformAfterScroll: re-selects the formula's component lines into
//     cdsCompedid; a failure reaches the caller that moved the cursor;
//   - VELIX6AfterInsert: the new row's CNPJ := CNPJLoja.
//
// To be used from the main (user-interface) thread only.

#include "data/dataset.h"
#include "data/firebird.h"

#include <QString>

namespace velix {

class TDM {
public:
    /// Creates the module and runs DataModuleCreate (client library from
    /// CaminhoGDS.txt, database location from `ipServidorCentral`). A read error
    /// of CaminhoGDS.txt goes to the general error handler; the module is still
    /// created, with the location left at its designed value.
    explicit TDM(const QString &ipServidorCentral = QString());
    ~TDM();
    TDM(const TDM &) = delete;
    TDM &operator=(const TDM &) = delete;

    SQLConnection sqlcon1;

    SQLDataSet sqldsPedidos;
    SQLDataSet sqldsPediform;
    SQLDataSet sqldsCompedid;
    SQLDataSet sqldsEntregar;
    SQLDataSet sqldsItens;
    SQLDataSet SQLDS_DadosGer;
    SQLDataSet SQLDS_Componen;
    SQLDataSet SQLDS_DCB;
    SQLDataSet SQLDS_VELIX6;
    SQLDataSet SQLDS_Usuarios;
    SQLDataSet SQLDS_Estacoes;
    SQLDataSet SQLDS_TabLab;

    ClientDataSet cdsPedidos;     ///< PEDIDOS, rows found by all columns
    ClientDataSet cdsPediform;    ///< PEDIFORM, all columns
    ClientDataSet cdsCompedid;    ///< COMPEDID, all columns
    ClientDataSet cdsEntregar;    ///< ENTREGAR, all columns
    ClientDataSet cdsItens;       ///< ITENS, all columns
    ClientDataSet DadosGer;       ///< DADOSGER, all columns
    ClientDataSet Componen;       ///< COMPONEN, key only
    ClientDataSet DCB;            ///< DCB, key only
    ClientDataSet VELIX6;         ///< VELIX6, key only (no key: append only)
    ClientDataSet Usuarios;       ///< USUARIOS, key only
    ClientDataSet Estacoes;       ///< ESTACOES, all columns
    ClientDataSet TabLab;         ///< TABLAB, all columns

    /// Reads the client library file and sets the database location.
    void DataModuleCreate();
    /// Changes the central server's address and sets the location again
    /// (disconnecting sqlcon1).
    void setIpServidorCentral(const QString &ipServidorCentral);
    QString ipServidorCentral() const { return m_ip; }

    /// The laboratory of the store `Loja`: TABLAB's LABORATORIO of the first row
    /// selected for LOJA = Loja when that row's LOJA equals Loja exactly, else
    /// "Almoxarifado" (an empty result reads as an empty LOJA, so an empty Loja
    /// without a row gives ""). Uses SQLDS_TabLab / TabLab and leaves TabLab
    /// closed. Database errors reach the caller.
    QString PegaLaboratorio(const QString &Loja);

    /// The pharmacy's registration data: closes DadosGer, gives SQLDS_DadosGer
    /// "Select " + Campos_DADOSGER + " from DADOSGER where CGC = '" + CNPJLoja
    /// + "'" and opens DadosGer. Database errors reach the caller.
    void AbreDadosGer();

    // The fixed event handlers (installed by the constructor).
    void cdsPedidosAfterScroll(ClientDataSet &dataSet);
    void cdsPediformAfterScroll(ClientDataSet &dataSet);
    void VELIX6AfterInsert(ClientDataSet &dataSet);
    /// The common after-post handler: applyUpdates() then refresh().
    static void applyAndRefresh(ClientDataSet &dataSet);

private:
    QString m_ip;
};

/// The pharmacy-database module; throws Error when none exists.
TDM &DM();
/// True while a TDM exists.
bool hasDM();

/// The location of the pharmacy database for `ipServidorCentral` (see above).
QString pharmacyDatabaseLocation(const QString &ipServidorCentral);
/// The location of the interface database of workstation `estacao`:
/// rootPath("interfac" + estacao + "/korvante.bd") when the address is empty,
/// else the address, ":", the server root and "/interfac" + estacao + "/korvante.bd".
QString interfaceDatabaseLocation(const QString &ipServidorCentral, const QString &estacao);

} // namespace velix
