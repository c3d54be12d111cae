#include "data/dataset.h"
#include "data/firebird.h"
#include "data/udm.h"
#include "platform/exclusivo.h"
#include "platform/programa.h"
#include "recordingmodal.h"
#include "registration/dadoscadastrais.h"
#include "shell/formrelatadministrativo.h"
#include "shell/startup.h"
#include "fbfixture.h"
#include "tempfolders.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace velix;

namespace {

const QString Cnpj = QStringLiteral("12345678000195");

// The fields of the panel in their tab order, ending on the exit button.
QList<QWidget *> ordemDeTab(TFormRelatAdministrativo *w)
{
    return {w->DBEdit1, w->DBEdit2, w->DBEdit31, w->DBEdit34, w->DBEdit38, w->DBEdit33,
            w->DBEdit39, w->DBComboBox2, w->DBComboBox1, w->DBEdit3, w->BitBtn36};
}

int luminancia(QRgb c)
{
    return (299 * qRed(c) + 587 * qGreen(c) + 114 * qBlue(c)) / 1000;
}

} // namespace

class TestCadastro : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempFolders> pastas;
    std::unique_ptr<test::RecordingModal> dialogos;
    std::unique_ptr<test::FbFixture> banco;
    std::unique_ptr<Programa> programa;
    TFormRelatAdministrativo *w = nullptr;

    QString coluna(const QString &col)
    {
        const QueryResult r =
            banco->pharmacyQuery(QStringLiteral("select %1 from DADOSGER where CGC = '%2'").arg(col, Cnpj));
        if (r.rows.empty() || r.rows[0][0].isNull())
            return QStringLiteral("<null>");
        return r.rows[0][0].kind() == Value::Kind::Text ? r.rows[0][0].textValue()
                                                        : QString::number(r.rows[0][0].integerValue());
    }
    int atualizacoes()
    {
        return banco->pharmacyQuery(QStringLiteral("select N from CONTA_UPDATES")).rows[0][0].integerValue();
    }
    // Replaces the text of a field as a user would: select all, type.
    static void digita(QWidget *campo, const QString &texto)
    {
        campo->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(campo, Qt::Key_A, Qt::ControlModifier);
        for (QChar c : texto) {
            if (c.unicode() < 128)
                QTest::keyClick(campo, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, campo, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    void abre()
    {
        QTest::mouseClick(w->btnConfCad, Qt::LeftButton);
        QVERIFY(w->PainelConfigLivro->isVisible());
    }

private slots:
    // One demo database for the whole suite, put back from a copy before each test.
    void initTestCase()
    {
        pastas = std::make_unique<test::TempFolders>();
        QVERIFY(pastas->isValid());
        banco = std::make_unique<test::FbFixture>(*pastas, test::FbFixture::Demo);
        banco->pharmacySql(QStringLiteral("CREATE TABLE CONTA_UPDATES (N INTEGER); INSERT INTO CONTA_UPDATES VALUES (0);"
                                          "ALTER TABLE DADOSGER ADD CONSTRAINT FIRMA_RECUSADA "
                                          "CHECK (FIRMA IS DISTINCT FROM 'RECUSADA')"));
        SQLConnection con(QStringLiteral("ddl"));
        con.setDatabase(banco->pharmacyDb());
        con.executeDirect(QStringLiteral("CREATE TRIGGER DADOSGER_CONTA FOR DADOSGER AFTER UPDATE AS "
                                         "BEGIN UPDATE CONTA_UPDATES SET N = N + 1; END"));
        con.close();
        QVERIFY(QFile::copy(banco->pharmacyDb(), banco->pharmacyDb() + QStringLiteral(".copia")));
        pastas->writeFile(QStringLiteral("program/KORVANTE.INI"),
                          "IP DO SERVIDOR CENTRAL.........................: \r\n");
    }

    void cleanupTestCase()
    {
        banco.reset();
        pastas.reset();
    }

    void init()
    {
        QFile::remove(banco->pharmacyDb());
        QVERIFY(QFile::copy(banco->pharmacyDb() + QStringLiteral(".copia"), banco->pharmacyDb()));
        dialogos = std::make_unique<test::RecordingModal>();
        programa = std::make_unique<Programa>();
        w = programa->janela();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        // As after a login of the demo user.
        w->loginAccepted();
        CNPJLoja = Cnpj;
    }

    void cleanup()
    {
        if (w)
            w->close();
        programa.reset();
        w = nullptr;
        dialogos.reset();
        CNPJLoja.clear();
    }

    void panel()
    {
        QTest::mouseClick(w->btnConfCad, Qt::LeftButton);
        QVERIFY(w->PainelConfigLivro->isVisible());
        QCOMPARE(w->PainelConfigLivro->geometry(), QRect(132, 112, 501, 321));
        QCOMPARE(w->PainelConfigLivroTitulo->text(), QStringLiteral("Configuração - Dados Cadastrais da Farmácia"));
        QCOMPARE(QApplication::focusWidget(), w->DBEdit1);
        QCOMPARE(w->botaoCancelar(), static_cast<QAbstractButton *>(w->BitBtn36));
        QCOMPARE(w->BitBtn36->text(), QStringLiteral("Sair - voltar a tela inicial"));

        // The demo pharmacy's values.
        QCOMPARE(w->DBEdit31->text(), QStringLiteral("Farmácia Modelo de Manipulação Ltda"));
        QCOMPARE(w->DBEdit33->text(), QStringLiteral("Ana Luíza Conceição"));
        QCOMPARE(w->DBComboBox2->currentText(), QStringLiteral("NOVEMBRO"));
        QCOMPARE(w->DBComboBox1->currentText(), QStringLiteral("2026"));
        QCOMPARE(w->DBEdit3->displayText(), QStringLiteral("12.345.678/0001-95"));

        // Sizes of the columns; pick-only lists.
        const QList<QPair<QLineEdit *, int>> tamanhos = {{w->DBEdit1, 60}, {w->DBEdit2, 60}, {w->DBEdit31, 40},
                                                        {w->DBEdit34, 60}, {w->DBEdit38, 30}, {w->DBEdit33, 40},
                                                        {w->DBEdit39, 15}};
        for (const auto &[campo, tamanho] : tamanhos)
            QCOMPARE(campo->maxLength(), tamanho);
        QVERIFY(!w->DBComboBox2->isEditable());
        QVERIFY(!w->DBComboBox1->isEditable());
        QCOMPARE(w->DBComboBox2->count(), 12);
        QCOMPARE(w->DBComboBox2->itemText(2), QStringLiteral("MARCO"));
        QCOMPARE(w->DBComboBox1->count(), 25);
        QCOMPARE(w->DBComboBox1->itemText(0), QStringLiteral("2006"));
        QCOMPARE(w->DBComboBox1->itemText(24), QStringLiteral("2030"));

        // Layout: four full-width lines, then three fields, then three more, a
        // separator and the exit button across the width.
        const auto linha = [](QWidget *c) { return c->geometry().top(); };
        QVERIFY(linha(w->DBEdit1) < linha(w->DBEdit2) && linha(w->DBEdit2) < linha(w->DBEdit31)
                && linha(w->DBEdit31) < linha(w->DBEdit34) && linha(w->DBEdit34) < linha(w->DBEdit38));
        QCOMPARE(linha(w->DBEdit33), linha(w->DBEdit38));
        QCOMPARE(linha(w->DBEdit39), linha(w->DBEdit38));
        QCOMPARE(linha(w->DBComboBox1), linha(w->DBComboBox2));
        QCOMPARE(linha(w->DBEdit3), linha(w->DBComboBox2));
        QVERIFY(linha(w->DBComboBox2) > linha(w->DBEdit38));
        QCOMPARE(w->DBEdit1->geometry().left(), w->BitBtn36->geometry().left());
        QCOMPARE(w->DBEdit1->geometry().right(), w->BitBtn36->geometry().right());
        QCOMPARE(w->DBEdit3->geometry().right(), w->DBEdit1->geometry().right());
        QVERIFY(w->BitBtn36->geometry().bottom() < 321);
        QVERIFY(w->BitBtn36->font().bold());
        QCOMPARE(w->BitBtn36->palette().color(QPalette::ButtonText), QColor(Qt::red));
        // Every caption sits above its own field.
        for (QLabel *l : w->PainelConfigLivro->findChildren<QLabel *>()) {
            if (l == w->PainelConfigLivroTitulo)
                continue;
            QVERIFY2(l->sizeHint().width() <= l->width(), qPrintable(l->text()));
            const auto campos = ordemDeTab(w);
            QVERIFY2(std::any_of(campos.begin(), campos.end(),
                                 [l](QWidget *c) {
                                     return c->geometry().left() == l->geometry().left()
                                         && c->geometry().top() == l->geometry().bottom() + 2;
                                 }),
                     qPrintable(l->text()));
        }
        QVERIFY(dialogos->messages.isEmpty());
        QVERIFY(dialogos->errors.isEmpty());
    }

    // Enter walks the fields in tab order to the exit button; leaving without
    // a change writes nothing.
    void enterWalksTheFields()
    {
        abre();
        const QList<QWidget *> ordem = ordemDeTab(w);
        for (int i = 0; i < ordem.size(); ++i) {
            QCOMPARE(QApplication::focusWidget(), ordem[i]);
            if (i + 1 < ordem.size())
                QTest::keyClick(ordem[i], Qt::Key_Return);
            QCoreApplication::processEvents();
        }
        // Enter on the exit button presses it.
        QTest::keyClick(w->BitBtn36, Qt::Key_Return);
        QVERIFY(!w->PainelConfigLivro->isVisible());
        QCOMPARE(atualizacoes(), 0);

        // Enter on the number pad as well.
        abre();
        w->DBEdit33->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(w->DBEdit33, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), w->DBEdit39);

        QTest::keyClick(w->DBEdit39, Qt::Key_Escape);
        QVERIFY(!w->PainelConfigLivro->isVisible());
        QVERIFY(!DM().DadosGer.isOpen());
        QCOMPARE(w->botaoCancelar(), nullptr);
        QVERIFY(dialogos->messages.isEmpty());
        QVERIFY(dialogos->errors.isEmpty());
        QCOMPARE(atualizacoes(), 0);
        QCOMPARE(coluna(QStringLiteral("CGC")), Cnpj);
    }

    // Typing in the fields, picking from the lists; Escape stores like the button.
    void editAndStore_data()
    {
        QTest::addColumn<bool>("comEsc");
        QTest::newRow("exit button") << false;
        QTest::newRow("Escape") << true;
    }

    void editAndStore()
    {
        QFETCH(bool, comEsc);
        abre();
        digita(w->DBEdit33, QStringLiteral("Beatriz D'Ávila"));
        QCOMPARE(DM().DadosGer.state(), DataSetState::Edit);
        w->DBComboBox2->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(w->DBComboBox2, Qt::Key_Down);  // NOVEMBRO -> DEZEMBRO
        QCOMPARE(w->DBComboBox2->currentText(), QStringLiteral("DEZEMBRO"));
        w->DBComboBox1->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(w->DBComboBox1, Qt::Key_Up);
        if (comEsc)
            QTest::keyClick(w->DBComboBox1, Qt::Key_Escape);
        else
            QTest::mouseClick(w->BitBtn36, Qt::LeftButton);
        QVERIFY(!w->PainelConfigLivro->isVisible());
        QVERIFY(dialogos->messages.isEmpty());
        QCOMPARE(coluna(QStringLiteral("FARMACEUTICO")), QStringLiteral("Beatriz D'Ávila"));
        QCOMPARE(coluna(QStringLiteral("MES")), QStringLiteral("DEZEMBRO"));
        QCOMPARE(coluna(QStringLiteral("EXERCICIO")), QStringLiteral("2025"));
        QCOMPARE(coluna(QStringLiteral("FIRMA")), QStringLiteral("Farmácia Modelo de Manipulação Ltda"));
        QCOMPARE(atualizacoes(), 1);

        abre();
        QCOMPARE(w->DBEdit33->text(), QStringLiteral("Beatriz D'Ávila"));
        QCOMPARE(w->DBComboBox2->currentText(), QStringLiteral("DEZEMBRO"));
        QCOMPARE(w->DBComboBox1->currentText(), QStringLiteral("2025"));
    }

    // The CNPJ field: typed with or without punctuation, pasted; digits stored.
    void cnpjField_data()
    {
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<bool>("colar");
        QTest::newRow("typed digits") << "11222333000181" << false;
        QTest::newRow("typed with punctuation") << "11.222.333/0001-81" << false;
        QTest::newRow("pasted with punctuation") << "11.222.333/0001-81" << true;
        QTest::newRow("pasted with other characters") << "CNPJ: 11 222 333/0001-81 " << true;
    }

    void cnpjField()
    {
        QFETCH(QString, digitado);
        QFETCH(bool, colar);
        abre();
        if (colar) {
            QApplication::clipboard()->setText(digitado);
            w->DBEdit3->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(w->DBEdit3, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(w->DBEdit3, Qt::Key_V, Qt::ControlModifier);
        } else {
            digita(w->DBEdit3, digitado);
        }
        QCOMPARE(w->DBEdit3->displayText(), QStringLiteral("11.222.333/0001-81"));
        QCOMPARE(DM().DadosGer.fieldByName(QStringLiteral("CGC")).asString(), QStringLiteral("11222333000181"));
        QTest::mouseClick(w->BitBtn36, Qt::LeftButton);
        QVERIFY2(dialogos->messages.isEmpty(), qPrintable(dialogos->messages.join(QLatin1Char('\n'))));
        const QueryResult r = banco->pharmacyQuery(QStringLiteral("select FIRMA from DADOSGER where CGC = '11222333000181'"));
        QCOMPARE(int(r.rows.size()), 1);
    }

    // A login finishing while the panel is open leaves Escape to the panel,
    // and once the panel is closed, to nothing (the login panel is gone).
    void escapeAfterALoginWithThePanelOpen()
    {
        w->setBotaoCancelar(w->BotCancSenha);   // the login panel's Cancela
        abre();
        w->loginAccepted();
        QTest::keyClick(w->DBEdit31, Qt::Key_Escape);
        QVERIFY(!w->PainelConfigLivro->isVisible());
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(w->isVisible());
    }

    // Required digits missing: refused when leaving the field; Escape abandons
    // the CNPJ typed, a second Escape leaves storing the rest.
    void incompleteCnpj()
    {
        abre();
        digita(w->DBEdit31, QStringLiteral("Farmácia Modelo Ltda"));
        digita(w->DBEdit3, QStringLiteral("1122233"));
        QTest::keyClick(w->DBEdit3, Qt::Key_Return);
        QTRY_COMPARE(dialogos->messages, QStringList{mensagemValorInvalido()});
        QCOMPARE(QApplication::focusWidget(), w->DBEdit3);
        QTest::keyClick(w->DBEdit3, Qt::Key_Escape);
        QVERIFY(w->PainelConfigLivro->isVisible());
        QCOMPARE(w->DBEdit3->displayText(), QStringLiteral("12.345.678/0001-95"));
        QTest::keyClick(w->DBEdit3, Qt::Key_Escape);
        QVERIFY(!w->PainelConfigLivro->isVisible());
        QCOMPARE(dialogos->messages.size(), 1);
        QCOMPARE(coluna(QStringLiteral("FIRMA")), QStringLiteral("Farmácia Modelo Ltda"));
    }

    // A store the database refuses: the panel stays with the values and says why.
    void refusedStore()
    {
        abre();
        digita(w->DBEdit31, QStringLiteral("RECUSADA"));
        digita(w->DBEdit33, QStringLiteral("Carla Souza"));
        QTest::mouseClick(w->BitBtn36, Qt::LeftButton);
        QCOMPARE(dialogos->messages.size(), 1);
        QVERIFY2(dialogos->messages[0].contains(QStringLiteral("FIRMA_RECUSADA")), qPrintable(dialogos->messages[0]));
        QVERIFY(dialogos->errors.isEmpty());
        QVERIFY(w->PainelConfigLivro->isVisible());
        QCOMPARE(w->DBEdit31->text(), QStringLiteral("RECUSADA"));
        QCOMPARE(w->DBEdit33->text(), QStringLiteral("Carla Souza"));
        QCOMPARE(DM().DadosGer.changeCount(), 0);

        // Corrected and stored.
        digita(w->DBEdit31, QStringLiteral("Farmácia Boa"));
        QTest::keyClick(w->DBEdit31, Qt::Key_Escape);
        QVERIFY(!w->PainelConfigLivro->isVisible());
        QCOMPARE(dialogos->messages.size(), 1);
        QCOMPARE(coluna(QStringLiteral("FIRMA")), QStringLiteral("Farmácia Boa"));
        QCOMPARE(coluna(QStringLiteral("FARMACEUTICO")), QStringLiteral("Carla Souza"));
    }

    void refusedStoreLeftWithoutStoring()
    {
        abre();
        digita(w->DBEdit31, QStringLiteral("RECUSADA"));
        QTest::keyClick(w->DBEdit31, Qt::Key_Escape);
        QCOMPARE(dialogos->messages.size(), 1);
        QVERIFY(w->PainelConfigLivro->isVisible());
        QTest::keyClick(w->DBEdit31, Qt::Key_Escape);
        QVERIFY(!w->PainelConfigLivro->isVisible());
        QCOMPARE(dialogos->messages.size(), 1);
        QCOMPARE(coluna(QStringLiteral("FIRMA")), QStringLiteral("Farmácia Modelo de Manipulação Ltda"));
        QCOMPARE(atualizacoes(), 0);
    }

    // A stored value not in a list shows as no choice and stays as it is.
    void valueNotInTheList()
    {
        banco->pharmacySql(QStringLiteral("UPDATE DADOSGER SET MES = 'Março', EXERCICIO = '1999'"));
        banco->pharmacySql(QStringLiteral("UPDATE CONTA_UPDATES SET N = 0"));
        abre();
        QCOMPARE(w->DBComboBox2->currentIndex(), -1);
        QCOMPARE(w->DBComboBox2->currentText(), QString());
        QCOMPARE(w->DBComboBox1->currentIndex(), -1);
        QTest::mouseClick(w->BitBtn36, Qt::LeftButton);
        QCOMPARE(coluna(QStringLiteral("MES")), QStringLiteral("Março"));
        QCOMPARE(coluna(QStringLiteral("EXERCICIO")), QStringLiteral("1999"));
        QCOMPARE(atualizacoes(), 0);
    }

    // Text the code page cannot hold is not taken; longer text is cut to the column.
    void textFields()
    {
        abre();
        w->DBEdit39->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(w->DBEdit39, Qt::Key_A, Qt::ControlModifier);
        QApplication::clipboard()->setText(QStringLiteral("CRF-SP ő 12345 ⚕ 6789012345"));
        QTest::keyClick(w->DBEdit39, Qt::Key_V, Qt::ControlModifier);
        const QString texto = w->DBEdit39->text();
        QVERIFY2(texto.startsWith(QStringLiteral("CRF-SP  12345")), qPrintable(texto));
        QVERIFY(texto.size() <= 15);
        QCOMPARE(DM().DadosGer.fieldByName(QStringLiteral("CRF_Q")).asString(), texto);
        QTest::mouseClick(w->BitBtn36, Qt::LeftButton);
        QVERIFY(dialogos->messages.isEmpty());
        QCOMPARE(coluna(QStringLiteral("CRF_Q")), texto);
    }

    // Refused while a long command runs.
    void refusedDuringLongCommand()
    {
        ComandoExclusivo exclusivo(QStringLiteral("a preparação do livro"));
        QTest::mouseClick(w->btnConfCad, Qt::LeftButton);
        w->DadosCadastrais1->trigger();
        QCOMPARE(dialogos->messages, QStringList(2, ComandoExclusivo::mensagemRecusa()));
        QVERIFY(!w->PainelConfigLivro->isVisible());
    }

    // The toolbar captions stay white on a darker background in every state.
    void toolbarCaptionsReadable_data()
    {
        QTest::addColumn<QString>("estado");
        for (const char *e : {"normal", "hover", "pressed", "disabled", "focus"})
            QTest::newRow(e) << QString::fromLatin1(e);
    }

    void toolbarCaptionsReadable()
    {
        QFETCH(QString, estado);
        QToolButton *b = w->btnInconsistencias;
        QTest::mouseMove(w->btnSair, QPoint(5, 5));
        if (estado == QLatin1String("hover"))
            QTest::mouseMove(b, b->rect().center());
        else if (estado == QLatin1String("pressed"))
            b->setDown(true);
        else if (estado == QLatin1String("disabled"))
            b->setEnabled(false);
        else if (estado == QLatin1String("focus"))
            b->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        const QImage img = b->grab().toImage();
        // The caption's band, below the image.
        QList<int> fundo;
        int brancos = 0;
        for (int y = 42; y < img.height() - 3; ++y)
            for (int x = 3; x < img.width() - 3; ++x) {
                const int l = luminancia(img.pixel(x, y));
                fundo << l;
                if (l >= 225)
                    ++brancos;
            }
        std::sort(fundo.begin(), fundo.end());
        const int mediana = fundo[fundo.size() / 2];
        QVERIFY2(brancos >= 40, qPrintable(QStringLiteral("%1 white pixels").arg(brancos)));
        QVERIFY2(mediana <= 200, qPrintable(QStringLiteral("background %1").arg(mediana)));
        b->setDown(false);
        b->setEnabled(true);
    }
};

QTEST_MAIN(TestCadastro)
#include "test_cadastro.moc"
