#pragma once
// TDM2: the interface-database module of the user's workstation. Holds the
// connection SQLConnection1 and the PERIODO datasets SQLDS_Periodo / Periodo
// (rows found by all columns; after post: apply at once, then refresh).
//
// One instance lives from start-up to the end of the program; DM2() reaches it.
// Created disconnected, with the client library from CaminhoGDS.txt; the
// workstation selection points it at the station's database (setStation).
//
// To be used from the main (user-interface) thread only.

#include "data/dataset.h"
#include "data/firebird.h"

#include <QString>

namespace velix {

class TDM2 {
public:
    /// Creates the module and runs DataModuleCreate (client library only).
    explicit TDM2(const QString &ipServidorCentral = QString());
    ~TDM2();
    TDM2(const TDM2 &) = delete;
    TDM2 &operator=(const TDM2 &) = delete;

    SQLConnection SQLConnection1;
    SQLDataSet SQLDS_Periodo;
    ClientDataSet Periodo;

    void DataModuleCreate();
    void setIpServidorCentral(const QString &ipServidorCentral) { m_ip = ipServidorCentral; }
    QString ipServidorCentral() const { return m_ip; }
    /// Points SQLConnection1 at the interface database of workstation `estacao`
    /// (interfaceDatabaseLocation), disconnecting it first.
    void setStation(const QString &estacao);

private:
    QString m_ip;
};

/// The interface-database module; throws Error when none exists.
TDM2 &DM2();
bool hasDM2();

} // namespace velix
