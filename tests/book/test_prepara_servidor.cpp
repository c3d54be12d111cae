// Two workstations preparing the book of the same pharmacy at once through a
// Firebird server (started by the test on 127.0.0.1): the second waits for
// the first and then rebuilds the book, which ends with exactly one copy.

#include "book/dadosmes.h"
#include "book/linhalivro.h"
#include "book/prepara.h"
#include "data/udm.h"
#include "fakejanela.h"
#include "fbfixture.h"
#include "fbserver.h"
#include "platform/programa.h"
#include "recordingmodal.h"
#include "report/uRM.h"
#include "tempfolders.h"

#include <QFile>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

using namespace velix;
using namespace velix::test;

namespace {

const QString farmacia = QStringLiteral("12345678000195");

// The other workstation: rebuilds the book with rows of its own ("OUTRA
// ESTACAO" as prescriber), holding its transaction open for a while.
void outraEstacao(const QString &database, std::atomic<int> &etapa, QString &erro)
{
    try {
        SQLConnection con(QStringLiteral("outra"));
        con.setDatabase(database);
        con.open();
        std::optional<TransactionScope> scope;
        iniciaTransacaoDoLivro(scope, con, farmacia);
        etapa = 1;   // holds the pharmacy's lock
        con.executeDirect(QStringLiteral("DELETE FROM VELIX6 where CNPJ = '12345678000195'"));
        OrigemLinha o;
        o.cnpj = farmacia;
        o.medico = QStringLiteral("OUTRA ESTACAO");
        o.formaFarma = QStringLiteral("CAPSULAS");
        for (int i = 0; i < 3; ++i) {
            o.npedido = 9000 + i;
            con.execute(insertLinhaLivro(), linhaLivro(o));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        scope->commit();
        etapa = 2;
    } catch (const std::exception &e) {
        erro = QString::fromUtf8(e.what());
        etapa = 3;
    }
}

} // namespace

class TestPreparaServidor : public QObject {
    Q_OBJECT
    FbServer server;
    std::unique_ptr<TempFolders> folders;
    QString host = QStringLiteral("127.0.0.1");
    QString database;

    QStringList medicos()
    {
        QStringList l;
        for (const auto &row : query(database, QStringLiteral("select MEDICO from VELIX6 where CNPJ = '12345678000195'")).rows)
            l << (row[0].isNull() ? QString() : row[0].textValue());
        l.sort();
        return l;
    }

private slots:
    void initTestCase()
    {
        qunsetenv("ISC_USER");
        qunsetenv("ISC_PASSWORD");
        QVERIFY2(server.start(), qPrintable(server.error()));
        AssignColumnLists();
        folders = std::make_unique<TempFolders>();
        QFile shipped(sourceDir() + QStringLiteral("/src/report/VELIX6.rav"));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        folders->writeFile(QStringLiteral("root/RPT/VELIX6.rav"), shipped.readAll());
        qputenv("KORVANTE_SERVER_DIR", QFile::encodeName(server.dataDir()));
        database = host + QLatin1Char(':') + server.dataDir() + QStringLiteral("/dados/korvante.bd");
        createDatabase(database, DbKind::Pharmacy);
        runScript(database, sourceDir() + QStringLiteral("/tools/demo/pharmacy.sql"));
    }

    void cleanupTestCase()
    {
        folders.reset();
        qunsetenv("KORVANTE_SERVER_DIR");
        QVERIFY(server.stop());
    }

    void cleanup() { CNPJLoja.clear(); }

    // The other workstation first: this one waits, then rebuilds.
    void esperaAOutraEstacao()
    {
        CNPJLoja = farmacia;
        RecordingModal modal;
        RMInstance rm;
        TDM dm(host);
        JanelaLivro janela;
        dm.sqlcon1.open();
        std::atomic<int> etapa{0};
        QString erro;
        std::thread outra(outraEstacao, database, std::ref(etapa), std::ref(erro));
        while (etapa == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        prepara_velix6(janela, QDateTime(QDate(2026, 11, 1), QTime()), QDateTime(QDate(2026, 11, 30), QTime()));
        outra.join();
        QCOMPARE(etapa.load(), 2);
        QVERIFY2(erro.isEmpty(), qPrintable(erro));
        const QStringList m = medicos();
        QCOMPARE(m.size(), 8);
        QVERIFY(!m.contains(QStringLiteral("OUTRA ESTACAO")));
        QVERIFY(modal.errors.isEmpty());
        QCOMPARE(modal.previews, QStringList{QStringLiteral("rptOficial")});
    }

    // This workstation first: the other one starts in the middle of the walk,
    // waits for the commit, then rebuilds.
    void aOutraEstacaoEspera()
    {
        CNPJLoja = farmacia;
        RecordingModal modal;
        RMInstance rm;
        TDM dm(host);
        JanelaLivro janela;
        std::atomic<int> etapa{0};
        QString erro;
        std::optional<std::thread> outra;
        janela.aoProcessarMensagens = [&] {
            if (!outra) {
                outra.emplace(outraEstacao, database, std::ref(etapa), std::ref(erro));
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                QCOMPARE(etapa.load(), 0);   // waiting for this one's lock
            }
        };
        prepara_velix6(janela, QDateTime(QDate(2026, 11, 1), QTime()), QDateTime(QDate(2026, 11, 30), QTime()));
        QVERIFY(outra);
        outra->join();
        QVERIFY2(erro.isEmpty(), qPrintable(erro));
        QCOMPARE(etapa.load(), 2);
        QCOMPARE(medicos(), QStringList(3, QStringLiteral("OUTRA ESTACAO")));
    }
};

QTEST_MAIN(TestPreparaServidor)
#include "test_prepara_servidor.moc"
