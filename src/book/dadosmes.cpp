#include "book/dadosmes.h"

#include "book/linhalivro.h"
#include "book/livrogravado.h"
#include "data/sqltext.h"

#include <QSet>

namespace velix {
namespace {

struct ChaveFormula {
    QString estacao;
    qint32 npedido = 0;
    qint32 nformula = 0;
    bool operator==(const ChaveFormula &) const = default;
};

size_t qHash(const ChaveFormula &c, size_t seed = 0)
{
    return qHashMulti(seed, c.estacao, c.npedido, c.nformula);
}

// A component of list B2 with the DCB row its code looks up.
struct ComponenteB2 {
    QString codigo, controlada, lista, dcb, dcbLido, descricao;
};

} // namespace

size_t qHash(const ChaveOrdem &c, size_t seed)
{
    return qHashMulti(seed, c.estacao, c.npedido);
}

DadosMes DadosMes::le(SQLConnection &con, const std::vector<ChavePedido> &pedidos, const QString *laboratorio)
{
    DadosMes d;
    QSet<ChaveOrdem> escolhidos;
    QDate primeiro, ultimo;
    for (const ChavePedido &p : pedidos) {
        if (!p.data.isValid())
            continue;
        escolhidos.insert({p.estacao, p.npedido});
        if (!primeiro.isValid() || p.data < primeiro)
            primeiro = p.data;
        if (!ultimo.isValid() || p.data > ultimo)
            ultimo = p.data;
    }
    if (escolhidos.isEmpty())
        return d;
    const std::vector<Value> periodo{Value::date(primeiro), Value::date(ultimo)};

    // The month's orders by their date (indexed), then the chosen ones here.
    QString sql = QStringLiteral(
        "select f.ESTACAO, f.NPEDIDO, f.NFORMULA, f.FORMAFARMA, f.QDECAPSULAS, f.NUMERONOTIFICACAO, "
        "f.DATAPRESCRICAO, f.QDE_CAPS_PRESCRITA from PEDIDOS p join PEDIFORM f on f.ESTACAO = p.ESTACAO and "
        "f.NPEDIDO = p.NPEDIDO where p.DATAPEDIDO between ? and ? and p.TIPOPEDIDO = 'Pedido'");
    if (laboratorio)
        sql += QStringLiteral(" and f.LABORATORIO = '") + sqlQuote(*laboratorio) + QLatin1Char('\'');
    sql += QStringLiteral(" order by f.RDB$DB_KEY");
    QueryResult r = con.select(sql, periodo);
    for (std::vector<Value> &row : r.rows) {
        FormulaMes f;
        f.estacao = textoDe(row[0]);
        f.npedido = numeroDe(row[1]);
        const ChaveOrdem ch{f.estacao, f.npedido};
        if (!escolhidos.contains(ch))
            continue;
        f.nformula = numeroDe(row[2]);
        f.formaFarma = textoDe(row[3]);
        f.qdeCapsulas = std::move(row[4]);
        f.numeroNotificacao = textoDe(row[5]);
        f.dataPrescricao = row[6].kind() == Value::Kind::Date ? row[6].dateValue() : QDate();
        f.qdeCapsPrescrita = std::move(row[7]);
        d.m_porPedido[ch].push_back(std::move(f));
        ++d.m_quantidadeFormulas;
    }
    r = QueryResult();
    if (d.m_quantidadeFormulas == 0)
        return d;

    QHash<ChaveFormula, FormulaMes *> porFormula;
    porFormula.reserve(d.m_quantidadeFormulas);
    for (auto &lista : d.m_porPedido)
        for (FormulaMes &f : lista)
            porFormula.insert({f.estacao, f.npedido, f.nformula}, &f);

    // The components of list B2 with their DCB descriptions: a line counts
    // only when its code is exactly the code of one of them.
    QHash<QString, ComponenteB2> componentes;
    const QueryResult c = con.select(QStringLiteral(
        "select c.CODIGO, c.CONTROLADA, c.LISTA, c.DCB, d.DCB, d.DESCRICAO from COMPONEN c "
        "left join DCB d on d.DCB = coalesce(c.DCB, '') where c.LISTA = 'B2'"));
    for (const std::vector<Value> &row : c.rows)
        componentes.insert(textoDe(row[0]), {textoDe(row[0]), textoDe(row[1]), textoDe(row[2]), textoDe(row[3]),
                                           textoDe(row[4]), textoDe(row[5])});

    r = con.select(QStringLiteral(
        "select l.ESTACAO, l.NPEDIDO, l.NFORMULA, l.COMPONENTE, l.QDEDIG, l.UNIDDIG, l.CODIGOCOMP "
        "from PEDIDOS p join COMPEDID l on l.ESTACAO = p.ESTACAO and l.NPEDIDO = p.NPEDIDO "
        "where p.DATAPEDIDO between ? and ? and p.TIPOPEDIDO = 'Pedido' order by l.RDB$DB_KEY"), periodo);
    for (std::vector<Value> &row : r.rows) {
        const QString codigo = codigoComponente(textoDe(row[6]));
        const auto comp = componentes.constFind(codigo);
        if (comp == componentes.constEnd())
            continue;
        FormulaMes *f = porFormula.value({textoDe(row[0]), numeroDe(row[1]), numeroDe(row[2])});
        if (!f)
            continue;
        LinhaMes l;
        l.componente = textoDe(row[3]);
        l.qdeDig = std::move(row[4]);
        l.unidDig = textoDe(row[5]);
        l.codigo = codigo;
        l.componenteLido = true;
        l.codigoComponen = comp->codigo;
        l.controlada = comp->controlada;
        l.lista = comp->lista;
        l.dcb = comp->dcb;
        l.dcbLido = comp->dcbLido;
        l.descricao = comp->descricao;
        f->linhas.push_back(std::move(l));
        ++d.m_linhas;
    }
    return d;
}

std::vector<FormulaMes> &DadosMes::formulas(const QString &estacao, qint32 npedido)
{
    auto it = m_porPedido.find({estacao, npedido});
    if (it == m_porPedido.end()) {
        m_vazio.clear();
        return m_vazio;
    }
    return *it;
}

} // namespace velix

namespace velix {

int escreveFormula(SQLConnection &con, LivroGravado &livro, FormulaMes &f, const QString &medico, const QString &crm,
                   const QString &cnpj)
{
    static const QString update = updatePrescrita();
    const int dispensadas = capsulasDispensadas(f.qdeCapsulas);
    int escritas = 0;
    for (const LinhaMes &l : f.linhas) {
        if (l.componente.isEmpty())
            continue;
        if (!componenteB2(l.componenteLido, l.codigoComponen, l.codigo, l.controlada, l.lista))
            continue;
        if (prescritaAusente(f.qdeCapsPrescrita)) {
            con.executeOnly(update, {Value::integer(dispensadas), Value::text(f.estacao), Value::integer(f.npedido),
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
        livro.grava(linhaLivro(o));
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

QString textoDe(const Value &v)
{
    return v.kind() == Value::Kind::Text ? v.textValue() : QString();
}

qint32 numeroDe(const Value &v)
{
    return v.kind() == Value::Kind::Integer ? v.integerValue() : 0;
}

ColunasPedidos::ColunasPedidos(const QueryResult &pedidos)
    : estacao(colunaPedidos(pedidos, "ESTACAO")), npedido(colunaPedidos(pedidos, "NPEDIDO")),
      tipo(colunaPedidos(pedidos, "TIPOPEDIDO")), medico(colunaPedidos(pedidos, "MEDICO")),
      crm(colunaPedidos(pedidos, "CRM")), data(colunaPedidos(pedidos, "DATAPEDIDO"))
{
}

QDate ColunasPedidos::dataPedido(const std::vector<Value> &row) const
{
    const Value &v = row[size_t(data)];
    return v.kind() == Value::Kind::Date ? v.dateValue() : QDate();
}

int colunaPedidos(const QueryResult &r, const char *nome)
{
    for (size_t i = 0; i < r.columns.size(); ++i)
        if (r.columns[i].name.compare(QLatin1String(nome), Qt::CaseInsensitive) == 0)
            return int(i);
    throw DatabaseError(QStringLiteral("cdsPedidos: Field '%1' not found").arg(QLatin1String(nome)));
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
