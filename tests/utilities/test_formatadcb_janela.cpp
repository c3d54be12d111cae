// "Utilitários" > "Formatar Descrição do DCB" in the main window itself.
#include "data/udm.h"
#include "fbfixture.h"
#include "platform/exclusivo.h"
#include "recordingmodal.h"
#include "shell/formrelatadministrativo.h"
#include "shell/startup.h"
#include "tempfolders.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace velix;

class TestFormataDcbJanela : public QObject {
    Q_OBJECT
private slots:
    void fromTheMenu()
    {
        test::TempFolders pastas;
        test::RecordingModal dialogos;
        test::FbFixture banco(pastas, test::FbFixture::Demo);
        banco.pharmacySql(QStringLiteral("INSERT INTO DCB (DCB, DESCRICAO) VALUES ('09999', 'ÁCIDO ASCÓRBICO')"));
        pastas.writeFile(QStringLiteral("program/KORVANTE.INI"),
                         "IP DO SERVIDOR CENTRAL.........................: \r\n");
        Programa programa;
        TFormRelatAdministrativo *w = programa.janela();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        dialogos.clear();

        const auto descricoes = [&] {
            QStringList r;
            for (const auto &row : banco.pharmacyQuery(QStringLiteral("select DESCRICAO from DCB order by DCB")).rows)
                r << row[0].textValue();
            return r;
        };
        const QStringList antes = descricoes();

        // Refused while another long command runs.
        {
            ComandoExclusivo outro(QStringLiteral("a preparação do livro"));
            w->FormatarDescrioDCB1->trigger();
        }
        QCOMPARE(dialogos.messages, QStringList{QStringLiteral("Aguarde: a preparação do livro está em andamento.")});
        QCOMPARE(descricoes(), antes);
        QVERIFY(!w->PainelTermometro->isVisible());

        // While it runs, "Preparar Livro" is refused.
        dialogos.clear();
        QTimer::singleShot(0, w, [w] { w->PrepararLivro1->trigger(); });
        w->FormatarDescrioDCB1->trigger();
        QCOMPARE(dialogos.messages,
                 (QStringList{QStringLiteral("Aguarde: a formatação das descrições do DCB está em andamento."),
                              QStringLiteral("Procedimento concluído com sucesso!!!")}));
        QVERIFY(dialogos.errors.isEmpty());
        QVERIFY(!w->PainelTermometro->isVisible());
        QCOMPARE(w->PainelTermometro->geometry(), QRect(275, 54, 205, 180));
        QCOMPARE(w->Label1->text(), QStringLiteral("Formatando Descrições"));
        QVERIFY(!DM().DCB.isOpen());
        QCOMPARE(descricoes(), (QStringList{QStringLiteral("Anfepramona"), QStringLiteral("Cloridrato de sibutramina"),
                                            QStringLiteral("Femproporex"), QStringLiteral("Fluoxetina"),
                                            QStringLiteral("Mazindol"), QStringLiteral("acido ascorbico")}));
    }
};

QTEST_MAIN(TestFormataDcbJanela)
#include "test_formatadcb_janela.moc"
