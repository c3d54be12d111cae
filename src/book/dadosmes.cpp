#include "book/dadosmes.h"

#include "book/linhalivro.h"
#include "data/sqltext.h"

#include <map>

namespace velix {
namespace {

// Order numbers per IN list; Firebird takes at most 1,500.
constexpr int porLista = 1000;

QString chave(const QString &estacao, qint32 npedido)
{
    return estacao + QChar(0x1f) + QString::number(npedido);
}

QString chave(const QString &estacao, qint32 npedido, qint32 nformula)
{
    return chave(estacao, npedido) + QChar(0x1f) + QString::number(nformula);
}

QString texto(const Value &v)
{
    return v.kind() == Value::Kind::Text ? v.textValue() : QString();
}

qint32 numero(const Value &v)
{
    return v.kind() == Value::Kind::Integer ? v.integerValue() : 0;
}

// "ESTACAO = 'e' and NPEDIDO in (n1, n2, ...)" for every station and slice of
// the orders, in the order of the stations' first appearance.
std::vector<QString> condicoes(const std::vector<ChavePedido> &pedidos, const QString &prefixo)
{
    std::vector<QString> estacoes;
    std::map<QString, std::vector<qint32>> porEstacao;
    for (const ChavePedido &p : pedidos) {
        auto &lista = porEstacao[p.estacao];
        if (lista.empty())
            estacoes.push_back(p.estacao);
        lista.push_back(p.npedido);
    }
    std::vector<QString> result;
    for (const QString &e : estacoes) {
        const std::vector<qint32> &numeros = porEstacao[e];
        for (size_t i = 0; i < numeros.size(); i += porLista) {
            QString in;
            for (size_t j = i; j < numeros.size() && j < i + porLista; ++j) {
                if (j > i)
                    in += QLatin1Char(',');
                in += QString::number(numeros[j]);
            }
            result.push_back(prefixo + QStringLiteral("ESTACAO = '") + sqlQuote(e) + QStringLiteral("' and ") + prefixo
                             + QStringLiteral("NPEDIDO in (") + in + QLatin1Char(')'));
        }
    }
    return result;
}

} // namespace

DadosMes DadosMes::le(SQLConnection &con, const std::vector<ChavePedido> &pedidos, const QString *laboratorio)
{
    DadosMes d;
    const std::vector<QString> formulasOnde = condicoes(pedidos, QString());
    for (const QString &onde : formulasOnde) {
        QString sql = QStringLiteral("select ESTACAO, NPEDIDO, NFORMULA, FORMAFARMA, QDECAPSULAS, NUMERONOTIFICACAO, "
                                     "DATAPRESCRICAO, QDE_CAPS_PRESCRITA from PEDIFORM where ")
                      + onde;
        if (laboratorio)
            sql += QStringLiteral(" and LABORATORIO = '") + sqlQuote(*laboratorio) + QLatin1Char('\'');
        sql += QStringLiteral(" order by RDB$DB_KEY");
        QueryResult r = con.select(sql);
        for (std::vector<Value> &row : r.rows) {
            FormulaMes f;
            f.estacao = texto(row[0]);
            f.npedido = numero(row[1]);
            f.nformula = numero(row[2]);
            f.formaFarma = texto(row[3]);
            f.qdeCapsulas = std::move(row[4]);
            f.numeroNotificacao = texto(row[5]);
            f.dataPrescricao = row[6].kind() == Value::Kind::Date ? row[6].dateValue() : QDate();
            f.qdeCapsPrescrita = std::move(row[7]);
            d.m_porPedido[chave(f.estacao, f.npedido)].push_back(std::move(f));
            ++d.m_quantidadeFormulas;
        }
    }
    if (d.m_quantidadeFormulas == 0)
        return d;

    QHash<QString, FormulaMes *> porFormula;
    for (auto &lista : d.m_porPedido)
        for (FormulaMes &f : lista)
            porFormula.insert(chave(f.estacao, f.npedido, f.nformula), &f);

    // The component and its description come with the line: the code is
    // matched as the database compares texts, then exactly by the walk.
    for (const QString &onde : condicoes(pedidos, QStringLiteral("l."))) {
        const QString sql =
            QStringLiteral("select l.ESTACAO, l.NPEDIDO, l.NFORMULA, l.COMPONENTE, l.QDEDIG, l.UNIDDIG, l.CODIGOCOMP, "
                           "c.CODIGO, c.CONTROLADA, c.LISTA, c.DCB, d.DCB, d.DESCRICAO from COMPEDID l "
                           "join COMPONEN c on c.CODIGO = coalesce(substring(l.CODIGOCOMP from 1 for 13), '') "
                           "and c.LISTA = 'B2' "
                           "left join DCB d on d.DCB = coalesce(c.DCB, '') where ")
            + onde + QStringLiteral(" order by l.RDB$DB_KEY");
        QueryResult r = con.select(sql);
        for (std::vector<Value> &row : r.rows) {
            FormulaMes *f = porFormula.value(chave(texto(row[0]), numero(row[1]), numero(row[2])));
            if (!f)
                continue;
            LinhaMes l;
            l.componente = texto(row[3]);
            l.qdeDig = std::move(row[4]);
            l.unidDig = texto(row[5]);
            l.codigo = codigoComponente(texto(row[6]));
            l.componenteLido = true;
            l.codigoComponen = texto(row[7]);
            l.controlada = texto(row[8]);
            l.lista = texto(row[9]);
            l.dcb = texto(row[10]);
            l.dcbLido = texto(row[11]);
            l.descricao = texto(row[12]);
            f->linhas.push_back(std::move(l));
            ++d.m_linhas;
        }
    }
    return d;
}

std::vector<FormulaMes> &DadosMes::formulas(const QString &estacao, qint32 npedido)
{
    auto it = m_porPedido.find(chave(estacao, npedido));
    if (it == m_porPedido.end()) {
        m_vazio.clear();
        return m_vazio;
    }
    return *it;
}

} // namespace velix

namespace velix {

int escreveFormula(SQLConnection &con, FormulaMes &f, const QString &medico, const QString &crm, const QString &cnpj)
{
    static const QString insert = insertLinhaLivro();
    static const QString update = updatePrescrita();
    const int dispensadas = capsulasDispensadas(f.qdeCapsulas);
    int escritas = 0;
    for (const LinhaMes &l : f.linhas) {
        if (l.componente.isEmpty())
            continue;
        if (!componenteB2(l.componenteLido, l.codigoComponen, l.codigo, l.controlada, l.lista))
            continue;
        if (prescritaAusente(f.qdeCapsPrescrita)) {
            con.execute(update, {Value::integer(dispensadas), Value::text(f.estacao), Value::integer(f.npedido),
                                 Value::integer(f.nformula)});
            f.qdeCapsPrescrita = Value::integer(dispensadas);
        }
        OrigemLinha o;
        o.medico = medico;
        o.crm = crm;
        o.estacao = f.estacao;
        o.npedido = f.npedido;
        o.nformula = f.nformula;
        o.formaFarma = f.formaFarma;
        o.numeroNotificacao = f.numeroNotificacao;
        o.dataPrescricao = f.dataPrescricao;
        o.dispensadas = dispensadas;
        o.prescritas = prescritaLida(f.qdeCapsPrescrita);
        o.componente = l.componente;
        o.qdeDig = l.qdeDig;
        o.unidDig = l.unidDig;
        o.dcb = l.dcb;
        o.dcbConfere = l.dcbLido == l.dcb;
        o.descricaoDcb = l.descricao;
        o.cnpj = cnpj;
        con.execute(insert, linhaLivro(o));
        ++escritas;
    }
    return escritas;
}

} // namespace velix

#include "platform/errors.h"

namespace velix {
bool conflitoConcorrente(const DatabaseError &e)
{
    const QString m = e.message();
    return m.contains(QLatin1String("update conflicts with concurrent update"), Qt::CaseInsensitive)
           || m.contains(QLatin1String("deadlock"), Qt::CaseInsensitive)
           || m.contains(QLatin1String("lock conflict"), Qt::CaseInsensitive);
}

QString mensagemLivroEmOutraEstacao()
{
    return QStringLiteral("O livro desta farmácia está sendo preparado em outra estação. "
                          "Tente novamente em alguns instantes.");
}

void iniciaTransacaoDoLivro(std::optional<TransactionScope> &scope, SQLConnection &con, const QString &cnpj)
{
    for (int tentativa = 0; tentativa < 5; ++tentativa) {
        scope.emplace(con);
        try {
            con.select(QStringLiteral("SELECT CGC FROM DADOSGER WHERE CGC = ? WITH LOCK"), {Value::text(cnpj)});
            return;
        } catch (const DatabaseError &e) {
            scope.reset();
            if (!conflitoConcorrente(e))
                throw;
        }
    }
    throw Error(mensagemLivroEmOutraEstacao());
}

} // namespace velix
