#include "shell/ligacaocampo.h"

#include "data/dataset.h"
#include "platform/cp1252.h"
#include "platform/errors.h"

#include <QComboBox>
#include <QLineEdit>
#include <QValidator>

namespace velix {
namespace {

// Drops the characters the code page cannot hold, so that what is stored is
// what the field shows.
class ValidadorCp1252 : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        QString limpo;
        limpo.reserve(input.size());
        int novaPos = pos;
        for (int i = 0; i < input.size(); ++i) {
            const QChar c = input.at(i);
            if (fromCp1252(toCp1252(QString(c))) != QString(c) || c.category() == QChar::Other_Control) {
                if (i < pos)
                    --novaPos;
                continue;
            }
            limpo += c;
        }
        input = limpo;
        pos = novaPos;
        return Acceptable;
    }
};

} // namespace

LigacaoCampo::LigacaoCampo(QLineEdit *edit, ClientDataSet &dataSet, const QString &coluna, Edicao aoEditar,
                           QObject *parent)
    : QObject(parent), m_edit(edit), m_dataSet(dataSet), m_coluna(coluna), m_aoEditar(std::move(aoEditar))
{
    if (const Field *f = dataSet.findField(coluna))
        edit->setMaxLength(f->size() > 0 ? f->size() : edit->maxLength());
    if (edit->inputMask().isEmpty())
        edit->setValidator(new ValidadorCp1252(edit));
    connect(edit, &QLineEdit::textEdited, this, &LigacaoCampo::editado);
    liga();
}

LigacaoCampo::LigacaoCampo(QComboBox *combo, ClientDataSet &dataSet, const QString &coluna, Edicao aoEditar,
                           QObject *parent)
    : QObject(parent), m_combo(combo), m_dataSet(dataSet), m_coluna(coluna), m_aoEditar(std::move(aoEditar))
{
    combo->setEditable(false);
    connect(combo, &QComboBox::activated, this, [this](int indice) {
        if (m_combo)
            editado(m_combo->itemText(indice));
    });
    liga();
}

void LigacaoCampo::liga()
{
    connect(&m_dataSet, &ClientDataSet::changed, this, &LigacaoCampo::atualiza);
    atualiza();
}

QWidget *LigacaoCampo::controle() const
{
    if (m_edit)
        return m_edit;
    return m_combo;
}

QString LigacaoCampo::valorDoCampo(bool *aberto) const
{
    *aberto = m_dataSet.isOpen();
    if (!*aberto)
        return {};
    try {
        Field *f = m_dataSet.findField(m_coluna);
        return f ? f->asString() : QString();
    } catch (const std::exception &) {
        // The rows could not be read again: the control shows nothing; the
        // command that reads them next reports why.
        return {};
    }
}

void LigacaoCampo::atualiza()
{
    QWidget *w = controle();
    if (m_atualizando || !w)
        return;
    m_atualizando = true;
    bool aberto = false;
    const QString valor = valorDoCampo(&aberto);
    if (m_edit) {
        m_edit->setReadOnly(!aberto);
        const QString mostrado = m_paraColuna ? m_paraColuna(m_edit->text()) : m_edit->text();
        if (mostrado != valor) {
            m_edit->setText(valor);
            m_edit->setCursorPosition(0);
        }
    } else if (m_combo) {
        const int indice = m_combo->findText(valor, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (m_combo->currentIndex() != indice)
            m_combo->setCurrentIndex(indice);
    }
    m_atualizando = false;
}

void LigacaoCampo::editado(const QString &texto)
{
    if (m_atualizando)
        return;
    if (m_dataSet.isOpen() && m_aoEditar) {
        // The dataset's changes while it takes the text (the start of the edit
        // shows the row as read) must not overwrite what is being typed.
        m_atualizando = true;
        guarded(controle()->objectName() + QStringLiteral("Change"), [&] { m_aoEditar(texto); });
        m_atualizando = false;
    }
    // What was refused (a closed dataset, an error) does not stay on screen.
    atualiza();
}

} // namespace velix
