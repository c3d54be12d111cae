// The consistency check of the book rows, its report file and the
// "Inconsistências" command, on a real (embedded Firebird) database.

#include "book/inconsistencias.h"
#include "book/visualizador.h"
#include "data/tabelas.h"
#include "data/udm.h"
#include "fakelivroview.h"
#include "fbfixture.h"
#include "platform/exclusivo.h"
#include "platform/programa.h"
#include "recordingmodal.h"
#include "report/livros.h"
#include "tempfolders.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <memory>

using namespace velix;

namespace {

const QString Cnpj = QStringLiteral("12345678000195");

QString dataSql(const QDate &d)
{
    return QLatin1Char('\'') + d.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\'');
}

// An INSERT of a book row of the pharmacy with every column filled and DATA of
// today; `trocas` replaces columns ("CRM=''", "DATA=NULL").
QString linhaLivro(const QStringList &trocas = {})
{
    QMap<QString, QString> c{
        {QStringLiteral("DCB"), QStringLiteral("'00733'")},
        {QStringLiteral("DESCRICAO"), QStringLiteral("'Anfepramona'")},
        {QStringLiteral("MEDICAMENTO"), QStringLiteral("'-'")},
        {QStringLiteral("APRESENTACAO"), QStringLiteral("'CAP e 25 mg'")},
        {QStringLiteral("NUMERONOTIFICACAO"), QStringLiteral("'SP1234567'")},
        {QStringLiteral("DATA"), dataSql(QDate::currentDate())},
        {QStringLiteral("MEDICO"), QStringLiteral("'Dr. João Araújo'")},
        {QStringLiteral("CRM"), QStringLiteral("'45678'")},
        {QStringLiteral("QDE_PRESCRICAO"), QStringLiteral("'60 CAP'")},
        {QStringLiteral("QDE_DISPENSADA"), QStringLiteral("'60 CAP'")},
        {QStringLiteral("ESTACAO"), QStringLiteral("'01'")},
        {QStringLiteral("NPEDIDO"), QStringLiteral("'4711'")},
        {QStringLiteral("NFORMULA"), QStringLiteral("'2'")},
        {QStringLiteral("CNPJ"), QLatin1Char('\'') + Cnpj + QLatin1Char('\'')},
    };
    for (const QString &t : trocas) {
        const qsizetype igual = t.indexOf(QLatin1Char('='));
        c[t.left(igual)] = t.mid(igual + 1);
    }
    return QStringLiteral("INSERT INTO VELIX6 (") + c.keys().join(QStringLiteral(", ")) + QStringLiteral(") VALUES (")
           + c.values().join(QStringLiteral(", ")) + QStringLiteral(")");
}

const QStringList cabecalho{QStringLiteral("RELATÓRIO DE ERROS DE CONSISTÊNCIA"),
                            QStringLiteral("=================================="), QStringLiteral("  ")};

QByteArray bytesDe(const QString &arquivo)
{
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TestInconsistencias : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempFolders> pastas;
    std::unique_ptr<test::FbFixture> db;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<test::RecordingModal> modal;
    std::unique_ptr<test::FakeLivroView> janela;

    QString arquivo() const { return pastas->root() + QStringLiteral("/DM.VELIX6.TXT"); }

    // Replaces the book rows and runs the check over the pharmacy's rows.
    void verifica(const QStringList &inserts)
    {
        db->pharmacySql(QStringLiteral("DELETE FROM VELIX6"));
        for (const QString &i : inserts)
            db->pharmacySql(i);
        Abre_Livro(*janela);
        Verifica_Inconsistencias(*janela, int(inserts.size()));
    }

private slots:
    void initTestCase()
    {
        AssignColumnLists();
        pastas = std::make_unique<test::TempFolders>();
        db = std::make_unique<test::FbFixture>(*pastas);
        dm = std::make_unique<TDM>();
        modal = std::make_unique<test::RecordingModal>();
        CNPJLoja = Cnpj;
    }

    void init()
    {
        janela = std::make_unique<test::FakeLivroView>();
        QFile::remove(arquivo());
        QDir(arquivo()).removeRecursively();
        modal->clear();
    }

    void cleanupTestCase()
    {
        CNPJLoja.clear();
        dm.reset();
        db.reset();
        modal.reset();
        pastas.reset();
    }

    void findings_data()
    {
        QTest::addColumn<QStringList>("trocas");
        QTest::addColumn<QStringList>("achados");
        const QString id = QStringLiteral("01.4711.2");
        const auto linhas = [&](std::initializer_list<const char *> mensagens) {
            QStringList l;
            for (const char *m : mensagens)
                l << id + QString::fromUtf8(m);
            return l;
        };
        const QString amanha = dataSql(QDate::currentDate().addDays(1));
        QTest::newRow("every column filled, DATA today") << QStringList() << QStringList();
        QTest::newRow("DCB empty") << QStringList{"DCB=''"} << linhas({" \"DCB\" não encontrado"});
        QTest::newRow("DCB null") << QStringList{"DCB=NULL"} << linhas({" \"DCB\" não encontrado"});
        QTest::newRow("DCB one blank") << QStringList{"DCB=' '"} << QStringList();
        QTest::newRow("DCB and DESCRICAO empty")
            << QStringList{"DCB=''", "DESCRICAO=''"}
            << linhas({" \"DCB\" não encontrado", " \"Descrição\" não encontrada"});
        QTest::newRow("MEDICAMENTO empty") << QStringList{"MEDICAMENTO=''"} << linhas({" \"Medicamento\" não encontrado"});
        QTest::newRow("APRESENTACAO empty") << QStringList{"APRESENTACAO=NULL"}
                                            << linhas({" \"Apresentação\" não encontrada"});
        QTest::newRow("NUMERONOTIFICACAO empty") << QStringList{"NUMERONOTIFICACAO=''"}
                                                 << linhas({" \"Nº Notificação\" não encontrado"});
        QTest::newRow("DATA tomorrow") << QStringList{QStringLiteral("DATA=") + amanha}
                                       << linhas({" \"Data Prescrição\" maior que a data atual."});
        QTest::newRow("DATA long ago") << QStringList{"DATA='2001-01-01'"} << QStringList();
        QTest::newRow("DATA empty") << QStringList{"DATA=NULL"} << linhas({" \"Data Prescrição\" não informada."});
        QTest::newRow("MEDICO and CRM empty")
            << QStringList{"MEDICO=''", "CRM=''"}
            << linhas({" \"Médico\" não encontrado", " \"CRM\" não encontrado"});
        QTest::newRow("QDE_PRESCRICAO 0 CAP") << QStringList{"QDE_PRESCRICAO='0 CAP'"}
                                              << linhas({" \"Qde. Prescrita\" não encontrada"});
        QTest::newRow("QDE_PRESCRICAO 10 CAP") << QStringList{"QDE_PRESCRICAO='10 CAP'"} << QStringList();
        QTest::newRow("QDE_PRESCRICAO empty") << QStringList{"QDE_PRESCRICAO=''"} << QStringList();
        QTest::newRow("QDE_DISPENSADA 0") << QStringList{"QDE_DISPENSADA='0'"}
                                          << linhas({" \"Qde. Dispensada\" não encontrada"});
        QTest::newRow("QDE_DISPENSADA blank then 0") << QStringList{"QDE_DISPENSADA=' 0'"} << QStringList();
        QTest::newRow("every check at once")
            << QStringList{"DCB=''", "DESCRICAO=''", "MEDICAMENTO=''", "APRESENTACAO=''", "NUMERONOTIFICACAO=''",
                           "DATA=NULL", "MEDICO=''", "CRM=''", "QDE_PRESCRICAO='0 CAP'", "QDE_DISPENSADA='0 CAP'"}
            << linhas({" \"DCB\" não encontrado", " \"Descrição\" não encontrada", " \"Medicamento\" não encontrado",
                       " \"Apresentação\" não encontrada", " \"Nº Notificação\" não encontrado",
                       " \"Data Prescrição\" não informada.", " \"Médico\" não encontrado",
                       " \"CRM\" não encontrado", " \"Qde. Prescrita\" não encontrada",
                       " \"Qde. Dispensada\" não encontrada"});
        QTest::newRow("NPEDIDO 007 reads as 7")
            << QStringList{"NPEDIDO='007'", "CRM=''"} << QStringList{QStringLiteral("01.7.2 \"CRM\" não encontrado")};
        QTest::newRow("station kept as stored, formula without zeros")
            << QStringList{"ESTACAO='1'", "NFORMULA='02'", "CRM=''"}
            << QStringList{QStringLiteral("1.4711.2 \"CRM\" não encontrado")};
        QTest::newRow("NPEDIDO not a number: row left out") << QStringList{"NPEDIDO='x7'", "CRM=''"} << QStringList();
        QTest::newRow("NFORMULA not a number: row left out") << QStringList{"NFORMULA='A'", "DCB=''"} << QStringList();
    }

    // One row: Memo1 holds the header and the row's findings; the panel shows
    // the file when there are findings, nothing changes otherwise.
    void findings()
    {
        QFETCH(QStringList, trocas);
        QFETCH(QStringList, achados);
        verifica({linhaLivro(trocas)});
        QCOMPARE(janela->memo, (cabecalho + achados).join(QLatin1Char('\n')));
        if (achados.isEmpty()) {
            QVERIFY(!QFile::exists(arquivo()));
            QCOMPARE(janela->mostrasInconsistencias, 0);
        } else {
            QCOMPARE(janela->mostrasInconsistencias, 1);
            QCOMPARE(janela->inconsistencias, janela->memo);
        }
        QVERIFY(modal->messages.isEmpty());
        QVERIFY(modal->errors.isEmpty());
    }

    // The file of one row whose MEDICO and CRM are empty: five lines,
    // Windows-1252, every line ending with CR LF.
    void reportFileBytes()
    {
        verifica({linhaLivro({"MEDICO=''", "CRM=''"})});
        QCOMPARE(bytesDe(arquivo()), QByteArray("RELAT\xD3RIO DE ERROS DE CONSIST\xCANCIA\r\n"
                                                "==================================\r\n"
                                                "  \r\n"
                                                "01.4711.2 \"M\xE9" "dico\" n\xE3o encontrado\r\n"
                                                "01.4711.2 \"CRM\" n\xE3o encontrado\r\n"));
        QCOMPARE(janela->inconsistencias, cabecalho.join(QLatin1Char('\n'))
                                              + QStringLiteral("\n01.4711.2 \"Médico\" não encontrado"
                                                               "\n01.4711.2 \"CRM\" não encontrado"));
    }

    // Several rows in book order (DCB, DATA, NUMERONOTIFICACAO); a row that
    // cannot be identified is skipped and the next one is examined normally;
    // a later check without findings leaves the file as it was.
    void rowsInBookOrderAndFileKept()
    {
        verifica({linhaLivro({"DCB='00900'", "NPEDIDO='12'", "DATA=NULL"}),
                  linhaLivro({"DCB='00100'", "NPEDIDO='x7'", "CRM=''"}),
                  linhaLivro({"DCB='00500'", "NPEDIDO='3'", "ESTACAO='02'", "CRM=''", "MEDICO=''"})});
        const QByteArray seisLinhas("RELAT\xD3RIO DE ERROS DE CONSIST\xCANCIA\r\n"
                                    "==================================\r\n"
                                    "  \r\n"
                                    "02.3.2 \"M\xE9" "dico\" n\xE3o encontrado\r\n"
                                    "02.3.2 \"CRM\" n\xE3o encontrado\r\n"
                                    "01.12.2 \"Data Prescri\xE7\xE3o\" n\xE3o informada.\r\n");
        QCOMPARE(bytesDe(arquivo()), seisLinhas);
        // Progress: the maximum given, the caption, one step per row.
        QCOMPARE(janela->maximos, QList<int>{3});
        QCOMPARE(janela->legendas, QStringList{QStringLiteral("Verificando Inconsistência")});
        QCOMPARE(janela->progressos, (QList<int>{0, 1, 2, 3}));
        QVERIFY(janela->mensagensProcessadas >= 1);

        janela = std::make_unique<test::FakeLivroView>();
        verifica({linhaLivro()});
        QCOMPARE(bytesDe(arquivo()), seisLinhas);
        QCOMPARE(janela->memo, cabecalho.join(QLatin1Char('\n')));
        QCOMPARE(janela->mostrasInconsistencias, 0);
    }

    // No rows: the header alone in Memo1, nothing saved, no panel.
    void noRows()
    {
        verifica({});
        QCOMPARE(janela->memo, cabecalho.join(QLatin1Char('\n')));
        QVERIFY(!QFile::exists(arquivo()));
        QCOMPARE(janela->mostrasInconsistencias, 0);
        QCOMPARE(janela->progressos, QList<int>{0});
    }

    // Other pharmacies' rows are not checked.
    void onlyThePharmacysRows()
    {
        verifica({linhaLivro({"CNPJ='99999999000199'", "CRM=''"})});
        QCOMPARE(janela->memo, cabecalho.join(QLatin1Char('\n')));
        QVERIFY(!QFile::exists(arquivo()));
    }

    // The file cannot be written: the error reaches the caller, the panel is
    // not shown; Memo1 holds the report.
    void reportFileCannotBeWritten()
    {
        QVERIFY(QDir().mkpath(arquivo()));
        QVERIFY_THROWS_EXCEPTION(FileError, verifica({linhaLivro({"CRM=''"})}));
        QCOMPARE(janela->mostrasInconsistencias, 0);
        QVERIFY(janela->memo.endsWith(QStringLiteral("01.4711.2 \"CRM\" não encontrado")));
    }

    // The program ending during the check stops it at the next look at the
    // window's messages; nothing is written.
    void stopsWhenAsked()
    {
        ComandoExclusivo exclusivo(QStringLiteral("a preparação do livro"));
        janela->aoProcessarMensagens = [] { ComandoExclusivo::pedeCancelamento(); };
        QVERIFY_THROWS_EXCEPTION(Cancelado, verifica({linhaLivro({"CRM=''"}), linhaLivro({"CRM=''"})}));
        QVERIFY(!QFile::exists(arquivo()));
        QCOMPARE(janela->mostrasInconsistencias, 0);
    }

    // The shared pieces: the pure check of one row and the header.
    void rowFindingsWithoutDatabase()
    {
        LinhaLivro l;
        l.dcb = QStringLiteral("00733");
        l.descricao = l.medicamento = l.apresentacao = l.numeroNotificacao = l.medico = l.crm = QStringLiteral("x");
        l.data = QDate(2026, 11, 10);
        l.estacao = QStringLiteral("01");
        l.npedido = 4711;
        l.nformula = 2;
        QVERIFY(achadosDaLinha(l, QDate(2026, 11, 10)).isEmpty());
        QCOMPARE(achadosDaLinha(l, QDate(2026, 11, 9)),
                 QStringList{QStringLiteral("01.4711.2 \"Data Prescrição\" maior que a data atual.")});
        QCOMPARE(cabecalhoInconsistencias(), cabecalho);
        QCOMPARE(cabecalho.at(0).size(), 34);
    }

    // "Inconsistências": nothing without a file; otherwise the whole file in
    // the panel, its lines as lines; an unreadable file is an error and the
    // panel stays as it was.
    void viewer()
    {
        actInconsistenciasExecute(*janela);
        QCOMPARE(janela->mostrasInconsistencias, 0);
        QVERIFY(modal->messages.isEmpty());

        pastas->writeFile(QStringLiteral("root/DM.VELIX6.TXT"),
                          QByteArray("RELAT\xD3RIO\r\n==\r\n  \r\n01.1.1 \"CRM\" n\xE3o encontrado\r\n"));
        actInconsistenciasExecute(*janela);
        QCOMPARE(janela->mostrasInconsistencias, 1);
        QCOMPARE(janela->inconsistencias, QStringLiteral("RELATÓRIO\n==\n  \n01.1.1 \"CRM\" não encontrado"));
        QCOMPARE(bytesDe(arquivo()), QByteArray("RELAT\xD3RIO\r\n==\r\n  \r\n01.1.1 \"CRM\" n\xE3o encontrado\r\n"));

        QFile::remove(arquivo());
        QVERIFY(QDir().mkpath(arquivo()));
        QVERIFY_THROWS_EXCEPTION(FileError, actInconsistenciasExecute(*janela));
        QCOMPARE(janela->mostrasInconsistencias, 1);
        QCOMPARE(janela->inconsistencias, QStringLiteral("RELATÓRIO\n==\n  \n01.1.1 \"CRM\" não encontrado"));
    }
};

QTEST_MAIN(TestInconsistencias)
#include "test_inconsistencias.moc"
