#include "utilities/formatadcb.h"
#include "data/firebird.h"
#include "data/udm.h"
#include "platform/exclusivo.h"
#include "platform/modal.h"
#include "platform/ritmo.h"
#include "utilities/convertecodigo.h"

#include <QHash>
#include <QLocale>

#include <optional>
#include <vector>

namespace velix {
namespace {

struct Linha {
    Value codigo;
    Value descricao;
};

/// Rows equal in code and description are one group (see the header).
QString chaveGrupo(const Linha &l)
{
    QString chave = l.codigo.isNull() ? QStringLiteral("N") : QStringLiteral("T") + l.codigo.textValue();
    chave += QChar(0);
    chave += l.descricao.textValue();
    return chave;
}

/// Hides the panel and closes DM.DCB when the command leaves early.
class Arrumacao {
public:
    explicit Arrumacao(TermometroView &view) : m_view(view) {}
    ~Arrumacao()
    {
        if (!m_feita) {
            try {
                m_view.escondeTermometro();
            } catch (...) {
            }
            if (hasDM())
                DM().DCB.close();
        }
    }
    void feita() { m_feita = true; }

private:
    TermometroView &m_view;
    bool m_feita = false;
};

/// Stores `novo` as the description of the `esperado` rows with the code and
/// the old description of `l`, inside the open transaction, guarded by a
/// savepoint; throws Error with nothing of the row stored when the database
/// refuses or another number of rows matches.
void gravaLinha(SQLConnection &con, const Linha &l, const QString &novo, int esperado)
{
    std::vector<Value> params{Value::text(novo)};
    QString sql = QStringLiteral("UPDATE DCB SET DESCRICAO = ? WHERE ");
    if (l.codigo.isNull()) {
        sql += QStringLiteral("DCB IS NULL");
    } else {
        sql += QStringLiteral("DCB = ?");
        params.push_back(l.codigo);
    }
    sql += QStringLiteral(" AND DESCRICAO = ?");
    params.push_back(l.descricao);

    // A savepoint of the same name replaces the previous row's.
    con.executeOnly(QStringLiteral("SAVEPOINT VELIX_DCB"));
    int n = -1;
    try {
        n = con.execute(sql, params);
    } catch (...) {
        try {
            con.executeOnly(QStringLiteral("ROLLBACK TO SAVEPOINT VELIX_DCB"));
        } catch (...) {
        }
        throw;
    }
    if (n == esperado)
        return;
    con.executeOnly(QStringLiteral("ROLLBACK TO SAVEPOINT VELIX_DCB"));
    if (n < esperado)
        throw DatabaseError(QStringLiteral("Record not found or changed by another user"));
    throw DatabaseError(QStringLiteral("DCB: the change would affect %1 rows of table DCB").arg(n));
}

} // namespace

QString descricaoFormatacaoDCB()
{
    return QStringLiteral("a formatação das descrições do DCB");
}

QString mensagemFalhaFormatacao(const QString &texto, const QString &classe)
{
    return QStringLiteral("[Formata_Descricao] UM ERRO NÃO TRATADO FOI GERADO!!!\nErro encontrado: ") + texto
           + QStringLiteral("\nClasse: ") + classe + QStringLiteral("\nLinha: 2756.");
}

QString mensagemConclusaoComFalhas(const ResultadoFormatacao &r)
{
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);   // 20.000
    const QString formatadas = r.gravadas == 1 ? QStringLiteral("1 descrição formatada.")
                                               : QStringLiteral("%1 descrições formatadas.").arg(brasil.toString(r.gravadas));
    const QString falhas = r.falhas == 1
                               ? QStringLiteral("1 descrição não pôde ser gravada.")
                               : QStringLiteral("%1 descrições não puderam ser gravadas.").arg(brasil.toString(r.falhas));
    return QStringLiteral("Formatação das descrições do DCB concluída.\n") + formatadas + QLatin1Char('\n') + falhas;
}

ResultadoFormatacao FormatarDescrioDCB1Click(TermometroView &view)
{
    ComandoExclusivo exclusivo(descricaoFormatacaoDCB());
    TDM &dm = DM();
    Arrumacao arrumacao(view);

    view.setLegendaTermometro(QStringLiteral("Formatando Descrições"));
    view.posicionaTermometro(QRect(275, 54, 205, 180));
    view.mostraTermometro();
    // The menu closes and the panel appears before the table is read.
    view.repintaTermometro();
    view.processaMensagens();

    dm.DCB.close();
    dm.SQLDS_DCB.setCommandText(QStringLiteral("select DCB, DESCRICAO from DCB"));
    dm.DCB.open();

    std::vector<Linha> linhas;
    linhas.reserve(size_t(dm.DCB.recordCount()));
    Field &campoCodigo = dm.DCB.fieldByName(QStringLiteral("DCB"));
    Field &campoDescricao = dm.DCB.fieldByName(QStringLiteral("DESCRICAO"));
    for (dm.DCB.first(); !dm.DCB.eof(); dm.DCB.next())
        linhas.push_back({campoCodigo.value(), campoDescricao.value()});

    QHash<QString, int> repeticoes;
    for (const Linha &l : linhas)
        if (!l.descricao.isNull())
            ++repeticoes[chaveGrupo(l)];
    QHash<QString, bool> gruposFeitos;   // group -> stored

    ResultadoFormatacao r;
    r.linhas = int(linhas.size());
    view.setMinimoTermometro(0);
    view.setMaximoTermometro(r.linhas);
    view.setProgressoTermometro(0);
    view.processaMensagens();
    ComandoExclusivo::verificaCancelamento();

    // The rows are stored in short transactions, committed before any message
    // is shown and before the window processes its messages: a few times a
    // second, so every row is in the database moments after it was formatted.
    std::optional<TransactionScope> lote;
    QStringList chavesDoLote;                    // groups stored in the open transaction
    int gravadasNoLote = 0;
    QList<std::pair<QString, QString>> falhas;   // (text, kind) not shown yet
    const auto fechaLote = [&] {
        if (lote) {
            try {
                lote->commit();
            } catch (const Error &e) {
                // Nothing of the transaction was stored: its rows failed too.
                r.gravadas -= gravadasNoLote;
                r.falhas += gravadasNoLote;
                for (const QString &chave : std::as_const(chavesDoLote))
                    gruposFeitos[chave] = false;
                falhas.append({e.message(), e.className()});
            }
            lote.reset();
        }
        chavesDoLote.clear();
        gravadasNoLote = 0;
        for (const auto &[texto, classe] : std::as_const(falhas))
            ShowMessage(mensagemFalhaFormatacao(texto, classe));
        falhas.clear();
    };

    Ritmo ritmo;
    for (int i = 0; i < r.linhas; ++i) {
        const Linha &l = linhas[size_t(i)];
        bool gravada = true;
        if (!l.descricao.isNull()) {
            const QString novo = Converte_Codigo(l.descricao.textValue());
            if (novo != l.descricao.textValue()) {
                const QString chave = chaveGrupo(l);
                const auto feito = gruposFeitos.constFind(chave);
                if (feito != gruposFeitos.constEnd()) {
                    gravada = *feito;
                    gravadasNoLote += gravada && chavesDoLote.contains(chave);
                } else {
                    try {
                        if (!lote)
                            lote.emplace(dm.sqlcon1);
                        gravaLinha(dm.sqlcon1, l, novo, repeticoes.value(chave));
                        chavesDoLote.append(chave);
                        ++gravadasNoLote;
                    } catch (const Error &e) {
                        gravada = false;
                        falhas.append({e.message(), e.className()});
                    } catch (const std::exception &e) {
                        gravada = false;
                        falhas.append({QString::fromLocal8Bit(e.what()), QStringLiteral("Exception")});
                    }
                    gruposFeitos.insert(chave, gravada);
                }
            }
        }
        ++(gravada ? r.gravadas : r.falhas);
        view.setProgressoTermometro(i + 1);

        const bool pausa = ritmo.hora() || i + 1 == r.linhas;
        if (pausa || !falhas.isEmpty()) {
            fechaLote();
            if (pausa) {
                view.repintaTermometro();
                view.processaMensagens();
                ComandoExclusivo::verificaCancelamento();
            }
        }
    }
    fechaLote();

    arrumacao.feita();
    view.escondeTermometro();
    dm.DCB.close();
    if (r.falhas == 0)
        modal().showMessage(QStringLiteral("Procedimento concluído com sucesso!!!"), MessageIcon::Information);
    else
        ShowMessage(mensagemConclusaoComFalhas(r));
    return r;
}

} // namespace velix
