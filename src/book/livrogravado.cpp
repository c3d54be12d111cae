#include "book/livrogravado.h"

#include "book/dadosmes.h"
#include "book/linhalivro.h"
#include "data/firebird.h"
#include "data/sqltext.h"
#include "data/udm.h"
#include "report/livros.h"

#include <algorithm>

namespace velix {
namespace {

// The positions of linhaLivro()'s values.
enum Coluna { Dcb, Descricao, Medicamento, Apresentacao, Notificacao, Data, Medico, Crm, QdePrescricao,
              QdeDispensada, Estacao, Npedido, Nformula, Cnpj, Colunas };

qint64 inteiro(const Value &v, qint64 seNao)
{
    switch (v.kind()) {
    case Value::Kind::Integer: return v.integerValue();
    case Value::Kind::Decimal: {
        bool ok = false;
        const qint64 n = v.decimalValue().toString().toLongLong(&ok);
        return ok ? n : seNao;
    }
    default: return seNao;
    }
}

QString insertComChave()
{
    return insertLinhaLivro() + QStringLiteral(" RETURNING RDB$DB_KEY");
}

} // namespace

LinhaExaminada linhaExaminada(const std::vector<Value> &valores)
{
    if (valores.size() != size_t(Colunas))
        return std::nullopt;
    // The numbers were written as decimal text (linhaLivro), so reading them
    // back is plain decimal reading.
    bool pedidoOk = false, formulaOk = false;
    LinhaLivro l;
    l.npedido = textoDe(valores[Npedido]).toInt(&pedidoOk);
    l.nformula = textoDe(valores[Nformula]).toInt(&formulaOk);
    if (!pedidoOk || !formulaOk)
        return std::nullopt;
    l.dcb = textoDe(valores[Dcb]);
    l.descricao = textoDe(valores[Descricao]);
    l.medicamento = textoDe(valores[Medicamento]);
    l.apresentacao = textoDe(valores[Apresentacao]);
    l.numeroNotificacao = textoDe(valores[Notificacao]);
    l.data = valores[Data].kind() == Value::Kind::Date ? valores[Data].dateValue() : QDate();
    l.medico = textoDe(valores[Medico]);
    l.crm = textoDe(valores[Crm]);
    l.qdePrescricao = textoDe(valores[QdePrescricao]);
    l.qdeDispensada = textoDe(valores[QdeDispensada]);
    l.estacao = textoDe(valores[Estacao]);
    return l;
}

bool livroGuardaComoDado(const std::vector<std::vector<Value>> &colunas, qint64 gatilhos)
{
    if (gatilhos != 0)
        return false;
    static const QStringList textos{
        QStringLiteral("DCB"), QStringLiteral("DESCRICAO"), QStringLiteral("MEDICAMENTO"),
        QStringLiteral("APRESENTACAO"), QStringLiteral("NUMERONOTIFICACAO"), QStringLiteral("MEDICO"),
        QStringLiteral("CRM"), QStringLiteral("QDE_PRESCRICAO"), QStringLiteral("QDE_DISPENSADA"),
        QStringLiteral("ESTACAO"), QStringLiteral("NPEDIDO"), QStringLiteral("NFORMULA"), QStringLiteral("CNPJ")};
    // NONE, OCTETS, ASCII, UNICODE_FSS, UTF8, ISO8859_1, WIN1252
    static const QList<qint64> conjuntos{0, 1, 2, 3, 4, 21, 53};
    constexpr qint64 varchar = 37, date = 12;
    int vistas = 0;
    for (const std::vector<Value> &c : colunas) {
        if (c.size() < 3)
            return false;
        const QString nome = textoDe(c[0]).trimmed();
        const qint64 tipo = inteiro(c[1], -1);
        const qint64 conjunto = inteiro(c[2], 0);
        if (nome == QLatin1String("DATA")) {
            if (tipo != date)
                return false;
            ++vistas;
        } else if (textos.contains(nome)) {
            if (tipo != varchar || !conjuntos.contains(conjunto))
                return false;
            ++vistas;
        }
    }
    return vistas == int(textos.size()) + 1;
}

void LivroGravado::reserva(int linhas)
{
    m_linhas.reserve(size_t(std::max(linhas, 0)));
    m_chaves.reserve(std::max(linhas, 0));
}

void LivroGravado::grava(const std::vector<Value> &valores)
{
    static const QString insert = insertComChave();
    const std::vector<Value> chave = m_con.executeReturning(insert, valores);
    m_chaves.insert(chave.empty() ? QString() : textoDe(chave[0]), int(m_linhas.size()));
    m_linhas.push_back(linhaExaminada(valores));
}

std::optional<std::vector<LinhaExaminada>> LivroGravado::naOrdem(const QString &cnpj, const QString &ordemVelix6)
{
    if (m_chaves.size() != int(m_linhas.size()))
        return std::nullopt;
    const QueryResult colunas = m_con.select(QStringLiteral(
        "select r.RDB$FIELD_NAME, f.RDB$FIELD_TYPE, f.RDB$CHARACTER_SET_ID, "
        "(select count(*) from RDB$TRIGGERS t where t.RDB$RELATION_NAME = 'VELIX6' "
        "and coalesce(t.RDB$SYSTEM_FLAG, 0) = 0 and coalesce(t.RDB$TRIGGER_INACTIVE, 0) = 0) "
        "from RDB$RELATION_FIELDS r join RDB$FIELDS f on f.RDB$FIELD_NAME = r.RDB$FIELD_SOURCE "
        "where r.RDB$RELATION_NAME = 'VELIX6'"));
    const qint64 gatilhos = colunas.rows.empty() || colunas.rows[0].size() < 4 ? 1 : inteiro(colunas.rows[0][3], 1);
    if (!livroGuardaComoDado(colunas.rows, gatilhos))
        return std::nullopt;

    const QueryResult ordem = m_con.select(QStringLiteral("SELECT RDB$DB_KEY FROM VELIX6 WHERE CNPJ = '") + sqlQuote(cnpj)
                                           + QStringLiteral("' ORDER BY ") + ordemDoLivro(ordemVelix6));
    if (ordem.rows.size() != m_linhas.size())
        return std::nullopt;
    std::vector<LinhaExaminada> linhas;
    linhas.reserve(m_linhas.size());
    std::vector<bool> usadas(m_linhas.size(), false);
    for (const std::vector<Value> &row : ordem.rows) {
        const auto i = m_chaves.constFind(textoDe(row.at(0)));
        if (i == m_chaves.constEnd() || usadas[size_t(*i)])
            return std::nullopt;
        usadas[size_t(*i)] = true;
        linhas.push_back(std::move(m_linhas[size_t(*i)]));
    }
    m_linhas.clear();
    m_chaves.clear();
    return linhas;
}

std::vector<LinhaExaminada> LivroGravado::paraVerificar(const LivroView &janela, const QString &cnpj)
{
    if (auto linhas = naOrdem(cnpj, janela.ordemVelix6()))
        return std::move(*linhas);
    Abre_Livro(janela);
    return leLinhasLivro(DM().VELIX6);
}

} // namespace velix
