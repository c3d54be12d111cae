#pragma once
// A field control of a panel bound to one column of a cached dataset, the way
// a data-aware control works: the control shows the column's value in the
// dataset's current row, following every change of the dataset (open, close,
// cursor, edit, post), and hands what the user types or picks to the panel's
// logic, which puts it into the dataset.
//
//   new LigacaoCampo(DBEdit33, DM().DadosGer, "FARMACEUTICO",
//                    [&](const QString &t) { cadastro.alteraCampo("FARMACEUTICO", t); }, this);
//
// Line edits: at most the column's size in characters; characters that the
// database's code page (Windows-1252) cannot hold are dropped as they are
// typed or pasted; with an input mask, what the control shows and what the
// column holds are compared through `paraColuna` (the CNPJ field: its digits).
// Combo boxes: pick only; a value not in the list shows as no choice. While the
// dataset is closed the controls are empty and refuse typing.
//
// To be used from the main (user-interface) thread only.

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QComboBox;
class QLineEdit;
class QWidget;

namespace velix {

class ClientDataSet;

class LigacaoCampo : public QObject {
    Q_OBJECT
public:
    using Edicao = std::function<void(const QString &)>;
    using Conversao = std::function<QString(const QString &)>;

    LigacaoCampo(QLineEdit *edit, ClientDataSet &dataSet, const QString &coluna, Edicao aoEditar,
                 QObject *parent = nullptr);
    LigacaoCampo(QComboBox *combo, ClientDataSet &dataSet, const QString &coluna, Edicao aoEditar,
                 QObject *parent = nullptr);

    /// How the text of a masked line edit compares with the column's value.
    void setParaColuna(Conversao conversao) { m_paraColuna = std::move(conversao); }

    QString coluna() const { return m_coluna; }
    QWidget *controle() const;

    /// Shows the column's current value (also called on every change of the dataset).
    void atualiza();

private:
    void liga();
    void editado(const QString &texto);
    QString valorDoCampo(bool *aberto) const;

    QPointer<QLineEdit> m_edit;
    QPointer<QComboBox> m_combo;
    ClientDataSet &m_dataSet;
    QString m_coluna;
    Edicao m_aoEditar;
    Conversao m_paraColuna;
    bool m_atualizando = false;
};

} // namespace velix
