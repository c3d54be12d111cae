// Appends and posts N VELIX6 rows through the cached dataset (DM.VELIX6, each
// post applied at once) inside one transaction, and inserts the same rows with
// one prepared INSERT, for N = 1,000 and 10,000; prints both times and their
// ratio. Databases are created in a temporary folder.
//   bench-dataset [SOURCE_DIR]   (the project folder, for src/data/schema.sql)

#include "data/firebird.h"
#include "data/udm.h"
#include "platform/paths.h"
#include "platform/programa.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace velix;

namespace {

void createVelix6(const QString &file)
{
    SQLConnection::createDatabase(file, QStringLiteral("WIN1252"));
    SQLConnection con(QStringLiteral("bench"));
    con.setDatabase(file);
    con.executeDirect(QStringLiteral(
        "CREATE TABLE VELIX6 (DCB VARCHAR(15), DESCRICAO VARCHAR(60), MEDICAMENTO VARCHAR(60), APRESENTACAO VARCHAR(60), "
        "NUMERONOTIFICACAO VARCHAR(30), DATA DATE, MEDICO VARCHAR(50), CRM VARCHAR(10), QDE_PRESCRICAO VARCHAR(30), "
        "QDE_DISPENSADA VARCHAR(30), ESTACAO VARCHAR(2), NPEDIDO VARCHAR(10), NFORMULA VARCHAR(2), CNPJ VARCHAR(14))"));
}

std::vector<Value> row(int i)
{
    return {Value::text(QStringLiteral("00733")), Value::text(QStringLiteral("Anfepramona")), Value::text(QStringLiteral("-")),
            Value::text(QStringLiteral("CAP e 25 mg")), Value::text(QStringLiteral("SP%1").arg(i)),
            Value::date(QDate(2026, 11, 1 + i % 30)), Value::text(QStringLiteral("Dr. João Araújo")),
            Value::text(QStringLiteral("45678")), Value::text(QStringLiteral("60 CAP")), Value::text(QStringLiteral("60 CAP")),
            Value::text(QStringLiteral("01")), Value::text(QString::number(1000 + i)), Value::text(QStringLiteral("1")),
            Value::text(QStringLiteral("12345678000195"))};
}

double viaDataset(int n)
{
    TDM dm;
    dm.SQLDS_VELIX6.setCommandText(QStringLiteral("select ") + Campos_VELIX6
                                   + QStringLiteral(" from VELIX6 where CNPJ = '12345678000195'"));
    dm.VELIX6.open();
    QElapsedTimer t;
    t.start();
    {
        TransactionScope scope(dm.sqlcon1);
        for (int i = 0; i < n; ++i) {
            const std::vector<Value> values = row(i);
            dm.VELIX6.append();
            for (int c = 0; c < 13; ++c)   // CNPJ comes from the after-insert event
                dm.VELIX6.field(c).setValue(values[size_t(c)]);
            dm.VELIX6.post();
        }
        scope.commit();
    }
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (dm.VELIX6.recordCount() != n)
        std::fprintf(stderr, "dataset: %d rows read back, %d expected\n", dm.VELIX6.recordCount(), n);
    return ms;
}

double viaPreparedInsert(int n)
{
    SQLConnection con(QStringLiteral("bench"));
    con.setDatabase(rootPath(QStringLiteral("dados/korvante.bd")));
    con.open();
    const QString sql = QStringLiteral("INSERT INTO VELIX6 (") + Campos_VELIX6 + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    QElapsedTimer t;
    t.start();
    {
        TransactionScope scope(con);
        for (int i = 0; i < n; ++i)
            con.execute(sql, row(i));
        scope.commit();
    }
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    qputenv("FIREBIRD_LOCK", QFile::encodeName(tmp.path() + QStringLiteral("/lock")));
    QDir().mkpath(tmp.path() + QStringLiteral("/lock"));
    AssignColumnLists();
    CNPJLoja = QStringLiteral("12345678000195");
    try {
        std::printf("%8s %14s %16s %7s\n", "N", "dataset (ms)", "prepared (ms)", "ratio");
        double previous = 0;
        for (int n : {1000, 10000}) {
            double dataset = 0, prepared = 0;
            for (int run = 0; run < 2; ++run) {   // fresh databases for each measurement
                const QString root = tmp.path() + QStringLiteral("/r%1_%2").arg(n).arg(run);
                qputenv("KORVANTE_DIR", QFile::encodeName(root));
                QDir().mkpath(root + QStringLiteral("/dados"));
                createVelix6(root + QStringLiteral("/dados/korvante.bd"));
                if (run == 0)
                    dataset = viaDataset(n);
                else
                    prepared = viaPreparedInsert(n);
            }
            std::printf("%8d %14.1f %16.1f %7.2f\n", n, dataset, prepared, dataset / prepared);
            if (previous > 0)
                std::printf("growth of the dataset time for 10x the rows: %.2fx\n", dataset / previous);
            previous = dataset;
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench-dataset: %s\n", e.what());
        return 1;
    }
    return 0;
}
