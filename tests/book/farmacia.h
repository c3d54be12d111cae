#pragma once
// A small pharmacy database for the book commands' tests: one store
// (laboratory "Matriz"), its registration data (February 2024), list-B2
// components (one with CONTROLADA in small letters, one without DCB code, one
// with a 13-character code), one of list "b2" in small letters, one of list C1
// and an excipient; helpers add orders, formulas and component lines and read
// the book and the prescribed counts back.

#include "book/inconsistencias.h"
#include "book/prepara.h"
#include "data/sqltext.h"
#include "data/udm.h"
#include "fakelivroview.h"
#include "fbfixture.h"
#include "platform/programa.h"
#include "recordingmodal.h"
#include "report/livros.h"
#include "report/uRM.h"
#include "tempfolders.h"

#include <QFile>
#include <QStringList>

namespace velix::test {

inline const QString farmacia = QStringLiteral("12345678000195");
inline const QString outra = QStringLiteral("99888777000166");

inline QString q(const QString &v)
{
    return QLatin1Char('\'') + sqlQuote(v) + QLatin1Char('\'');
}

// A pharmacy database with one store (laboratory "Matriz"), its registration
// data, four list-B2 components, one of list C1 and an excipient.
struct Farmacia {
    TempFolders folders;
    FbFixture db{folders};
    RecordingModal modal;
    TDM dm;
    RMInstance rm;
    FakeLivroView janela;

    Farmacia()
    {
        QFile shipped(sourceDir() + QStringLiteral("/src/report/VELIX6.rav"));
        shipped.open(QIODevice::ReadOnly);
        folders.writeFile(QStringLiteral("root/RPT/VELIX6.rav"), shipped.readAll());
        CNPJLoja = farmacia;
        db.pharmacySql(QStringLiteral(
            "INSERT INTO TABLAB (LABORATORIO, LOJA) VALUES ('Matriz', '12345678000195');"
            "INSERT INTO DADOSGER (CGC, EXERCICIO, MES) VALUES ('12345678000195', '2024', 'FEVEREIRO');"
            "INSERT INTO DCB (DCB, DESCRICAO) VALUES ('00733', 'Anfepramona');"
            "INSERT INTO DCB (DCB, DESCRICAO) VALUES ('03853', 'Femproporex');"
            "INSERT INTO COMPONEN (CODIGO, COMPONENTE, CONTROLADA, DCB, LISTA) VALUES ('1001', 'ANFEPRAMONA', 'Sim', '00733', 'B2');"
            "INSERT INTO COMPONEN (CODIGO, COMPONENTE, CONTROLADA, DCB, LISTA) VALUES ('1002', 'FEMPROPOREX', 'sim', '03853', 'B2');"
            "INSERT INTO COMPONEN (CODIGO, COMPONENTE, CONTROLADA, DCB, LISTA) VALUES ('1003', 'MAZINDOL', 'Sim', '05635', 'B2');"
            "INSERT INTO COMPONEN (CODIGO, COMPONENTE, CONTROLADA, DCB, LISTA) VALUES ('1004', 'SEM DCB', 'Sim', NULL, 'B2');"
            "INSERT INTO COMPONEN (CODIGO, COMPONENTE, CONTROLADA, DCB, LISTA) VALUES ('ABCDEFGHIJKLM', 'CODIGO LONGO', 'Sim', '00733', 'B2');"
            "INSERT INTO COMPONEN (CODIGO, COMPONENTE, CONTROLADA, DCB, LISTA) VALUES ('1005', 'MINUSCULA', 'Sim', '00733', 'b2');"
            "INSERT INTO COMPONEN (CODIGO, COMPONENTE, CONTROLADA, DCB, LISTA) VALUES ('2001', 'FLUOXETINA', 'Sim', '04103', 'C1');"
            "INSERT INTO COMPONEN (CODIGO, COMPONENTE, CONTROLADA, DCB, LISTA) VALUES ('3001', 'CELULOSE', 'Não', '', '')"));
    }

    // Statements with a body (triggers), run whole.
    void ddl(const QString &sql) const
    {
        SQLConnection con(QStringLiteral("ddl"));
        con.setDatabase(db.pharmacyDb());
        con.executeDirect(sql);
    }

    void pedido(int n, const QString &data, const QString &tipo = QStringLiteral("Pedido"),
                const QString &medico = QStringLiteral("Dr. João"), const QString &crm = QStringLiteral("4567"),
                const QString &estacao = QStringLiteral("01"), int nped = 1) const
    {
        db.pharmacySql(QStringLiteral("INSERT INTO PEDIDOS (ESTACAO, NPEDIDO, DATAPEDIDO, TIPOPEDIDO, MEDICO, CRM, NPED) "
                                      "VALUES (%1, %2, '%3', %4, %5, %6, %7)")
                           .arg(q(estacao)).arg(n).arg(data, q(tipo), q(medico), q(crm)).arg(nped));
    }

    // caps and prescrita are SQL literals ("60", "NULL").
    void formula(int n, int f, const QString &caps = QStringLiteral("60"),
                 const QString &prescrita = QStringLiteral("NULL"), const QString &lab = QStringLiteral("Matriz"),
                 const QString &data = QStringLiteral("'2024-02-10'"), const QString &estacao = QStringLiteral("01")) const
    {
        db.pharmacySql(QStringLiteral("INSERT INTO PEDIFORM (ESTACAO, NPEDIDO, NFORMULA, FORMAFARMA, QDECAPSULAS, "
                                      "NUMERONOTIFICACAO, DATAPRESCRICAO, QDE_CAPS_PRESCRITA, LABORATORIO) "
                                      "VALUES (%1, %2, %3, 'CAPSULAS', %4, 'SP%2.%3', %5, %6, %7)")
                           .arg(q(estacao)).arg(n).arg(f).arg(caps, data, prescrita, q(lab)));
    }

    // qdedig is an SQL literal.
    void linha(int n, int f, const QString &componente, const QString &codigo,
               const QString &qdedig = QStringLiteral("25"), const QString &controlada = QStringLiteral("Sim"),
               const QString &estacao = QStringLiteral("01")) const
    {
        db.pharmacySql(QStringLiteral("INSERT INTO COMPEDID (ESTACAO, NPEDIDO, NFORMULA, COMPONENTE, QDEDIG, UNIDDIG, "
                                      "CODIGOCOMP, CONTROLADA) VALUES (%1, %2, %3, %4, %5, 'mg', %6, %7)")
                           .arg(q(estacao)).arg(n).arg(f).arg(q(componente), qdedig, q(codigo), q(controlada)));
    }

    // An order of February 2024 with one formula and one Anfepramona line.
    void pedidoSimples(int n, const QString &prescrita = QStringLiteral("60")) const
    {
        pedido(n, QStringLiteral("2024-02-15"));
        formula(n, 1, QStringLiteral("60"), prescrita);
        linha(n, 1, QStringLiteral("ANFEPRAMONA"), QStringLiteral("1001"));
    }

    void prepara(int ano = 2024, int mes = 2)
    {
        const QDate primeiro(ano, mes, 1);
        prepara_velix6(janela, QDateTime(primeiro, QTime()),
                       QDateTime(QDate(ano, mes, primeiro.daysInMonth()), QTime()));
    }

    // The pharmacy's book rows in the order they were stored, columns joined by '|'.
    QStringList livro(const QString &cnpj = farmacia) const
    {
        QStringList rows;
        const QueryResult r = db.pharmacyQuery(
            QStringLiteral("select DCB, DESCRICAO, MEDICAMENTO, APRESENTACAO, NUMERONOTIFICACAO, DATA, MEDICO, CRM, "
                           "QDE_PRESCRICAO, QDE_DISPENSADA, ESTACAO, NPEDIDO, NFORMULA from VELIX6 where CNPJ = ")
            + q(cnpj) + QStringLiteral(" order by RDB$DB_KEY"));
        for (const auto &row : r.rows) {
            QStringList cols;
            for (const Value &v : row)
                cols << (v.isNull() ? QString()
                         : v.kind() == Value::Kind::Date ? v.dateValue().toString(Qt::ISODate)
                                                          : v.textValue());
            rows << cols.join(QLatin1Char('|'));
        }
        return rows;
    }

    // The report of a check that reads the stored book in the window's order.
    QString relatorioDoLivroGravado() const
    {
        FakeLivroView relida;
        relida.ordem = janela.ordem;
        Abre_Livro(relida);
        Verifica_Inconsistencias(relida, 0);
        DM().VELIX6.close();
        return relida.memo;
    }

    QStringList prescritas() const
    {
        QStringList l;
        const QueryResult r = db.pharmacyQuery(QStringLiteral(
            "select ESTACAO, NPEDIDO, NFORMULA, QDE_CAPS_PRESCRITA from PEDIFORM order by ESTACAO, NPEDIDO, NFORMULA"));
        for (const auto &row : r.rows)
            l << QStringLiteral("%1.%2.%3=%4")
                     .arg(row[0].textValue())
                     .arg(row[1].integerValue())
                     .arg(row[2].integerValue())
                     .arg(row[3].isNull() ? QStringLiteral("null") : QString::number(row[3].integerValue()));
        return l;
    }
};

inline QString anfepramona(int n, const QString &prescricao = QStringLiteral("60 CAP"),
                    const QString &dispensada = QStringLiteral("60 CAP"), const QString &nformula = QStringLiteral("1"))
{
    return QStringLiteral("00733|Anfepramona|-|CAP e 25 mg|SP%1.%2|2024-02-10|Dr. João|4567|%3|%4|01|%1|%2")
        .arg(n)
        .arg(nformula, prescricao, dispensada);
}

// The empty-book row that stands for a month without dispensings.
inline const QString vazia = QStringLiteral(" | ||| ||||||||");

} // namespace velix::test
