#include "utilities/formatadcb.h"
#include "data/firebird.h"
#include "data/udm.h"
#include "platform/exclusivo.h"
#include "platform/modal.h"
#include "utilities/convertecodigo.h"

#include <QElapsedTimer>
#include <QHash>

#include <vector>

namespace velix {
namespace {

/// How often the window gets to process its messages while the rows are walked.
constexpr qint64 intervaloMensagensMs = 150;

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

/// Lets the window process its messages at most every `intervaloMensagensMs`.
class Compasso {
public:
    Compasso() { m_relogio.start(); }
    bool vez()
    {
        if (m_relogio.elapsed() < intervaloMensagensMs)
            return false;
        m_relogio.restart();
        return true;
    }

private:
    QElapsedTimer m_relogio;
};

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
/// the old description of `l`, in a transaction of its own; throws Error
/// (nothing stored) when the database refuses or another number of rows matches.
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

    TransactionScope transacao(con);
    const int n = con.execute(sql, params);
    if (n == esperado) {
        transacao.commit();
        return;
    }
    transacao.rollback();
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
    const QString formatadas = r.gravadas == 1 ? QStringLiteral("1 descrição formatada.")
                                               : QStringLiteral("%1 descrições formatadas.").arg(r.gravadas);
    const QString falhas = r.falhas == 1 ? QStringLiteral("1 descrição não pôde ser gravada.")
                                         : QStringLiteral("%1 descrições não puderam ser gravadas.").arg(r.falhas);
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
    view.repintaTermometro();

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

    Compasso compasso;
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
                } else {
                    QString falha, classe;
                    try {
                        gravaLinha(dm.sqlcon1, l, novo, repeticoes.value(chave));
                    } catch (const Error &e) {
                        falha = e.message();
                        classe = e.className();
                    } catch (const std::exception &e) {
                        falha = QString::fromLocal8Bit(e.what());
                        classe = QStringLiteral("Exception");
                    }
                    gravada = classe.isEmpty();
                    gruposFeitos.insert(chave, gravada);
                    // The row's transaction has ended: the message holds no lock.
                    if (!gravada)
                        ShowMessage(mensagemFalhaFormatacao(falha, classe));
                }
            }
        }
        ++(gravada ? r.gravadas : r.falhas);

        if (compasso.vez() || i + 1 == r.linhas) {
            view.setProgressoTermometro(i + 1);
            view.processaMensagens();
            ComandoExclusivo::verificaCancelamento();
        }
    }

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
