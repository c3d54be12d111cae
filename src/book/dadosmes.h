#pragma once
// The formulas and component lines of a set of orders of one month, read with
// a few set-based statements and kept in memory, in the order the database stores them, so
// that the book can be built without a statement per order, formula or line.
//
// What the walk finds here is what it would find by selecting, order by order,
// "... from PEDIFORM where ESTACAO = 'e' and NPEDIDO = n" and, formula by
// formula, "... from COMPEDID where ESTACAO = 'e' and NPEDIDO = n and NFORMULA
// = f", each component by "... from COMPONEN where CODIGO = 'code'" and its
// description by "Select DCB, DESCRICAO from DCB where DCB = 'dcb'".

#include "data/firebird.h"
#include "data/value.h"
#include "platform/errors.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <vector>

namespace velix {

class LivroGravado;

/// An order (station and number) as a key of the month's formulas.
struct ChaveOrdem {
    QString estacao;
    qint32 npedido = 0;
    bool operator==(const ChaveOrdem &) const = default;
};
size_t qHash(const ChaveOrdem &chave, size_t seed = 0);

struct ChavePedido {
    QString estacao;
    qint32 npedido = 0;
    QDate data;   ///< DATAPEDIDO
};

/// One component line, with the list-B2 component of its code when there is
/// one (the line counts only when `componenteB2` says so).
struct LinhaMes {
    QString componente;       ///< COMPEDID.COMPONENTE
    QString codigo;           ///< CODIGOCOMP cut to 13 characters
    Value qdeDig;
    QString unidDig;
    bool componenteLido = false;  ///< a COMPONEN row of LISTA 'B2' matched the code
    QString codigoComponen;   ///< its CODIGO
    QString controlada;
    QString lista;
    QString dcb;              ///< its DCB
    QString dcbLido;          ///< the DCB value of the description's look-up ("" when none)
    QString descricao;        ///< its DESCRICAO
};

struct FormulaMes {
    QString estacao;
    qint32 npedido = 0;
    qint32 nformula = 0;
    QString formaFarma;
    Value qdeCapsulas;
    QString numeroNotificacao;
    QDate dataPrescricao;
    Value qdeCapsPrescrita;
    std::vector<LinhaMes> linhas;  ///< the formula's component lines, in order
};

class DadosMes {
public:
    /// Reads the formulas of `pedidos`, orders typed "Pedido" (only the
    /// formulas of `laboratorio` when it is given), and those
    /// formulas' component lines whose code names a component of list B2 (a
    /// line whose code names no such component never counts, so it is not
    /// kept). Three statements: the month's formulas and lines (joined with
    /// the month's orders) and the components of list B2 with their DCB rows.
    /// The orders are reached through their dates (from the first to the last
    /// of `pedidos`), by the index of PEDIDOS.DATAPEDIDO.
    static DadosMes le(SQLConnection &con, const std::vector<ChavePedido> &pedidos,
                       const QString *laboratorio = nullptr);

    /// The order's formulas, in the order the database keeps them (empty when none).
    std::vector<FormulaMes> &formulas(const QString &estacao, qint32 npedido);
    int quantidadeFormulas() const { return m_quantidadeFormulas; }
    int quantidadeLinhas() const { return m_linhas; }

private:
    QHash<ChaveOrdem, std::vector<FormulaMes>> m_porPedido;
    int m_quantidadeFormulas = 0;
    std::vector<FormulaMes> m_vazio;
    int m_linhas = 0;
};

} // namespace velix

namespace velix {

/// Writes the book rows of one formula of an order (prescriber `medico`,
/// `crm`) for pharmacy `cnpj`: one row per component line with a non-empty
/// name whose component is of list B2 (componenteB2), in the lines' order.
/// Before the first such row, a formula whose prescribed count is missing
/// (prescritaAusente) gets its dispensed capsules written back to PEDIFORM,
/// once; its further rows read that value. The rows go through `livro`
/// (same connection). Returns the rows written.
int escreveFormula(SQLConnection &con, LivroGravado &livro, FormulaMes &formula, const QString &medico,
                   const QString &crm, const QString &cnpj);

} // namespace velix

#include <optional>

namespace velix {

/// Begins the transaction that rebuilds the book of pharmacy `cnpj` on `con`
/// and takes the pharmacy's lock in it: its DADOSGER rows are locked ("SELECT
/// CGC FROM DADOSGER WHERE CGC = ? WITH LOCK"), so a second workstation
/// rebuilding the same book waits until the first one ends. When the first
/// one committed, the lock is taken again in a new transaction; when that
/// keeps failing, Error "O livro desta farmácia está sendo preparado em outra
/// estação. ..." is thrown and no transaction is left open.
void iniciaTransacaoDoLivro(std::optional<TransactionScope> &scope, SQLConnection &con, const QString &cnpj);

/// True for Firebird's answer to a row changed or locked by a transaction of
/// another connection (update conflict, deadlock, lock conflict).
bool conflitoConcorrente(const DatabaseError &e);

/// The message of a book being rebuilt at another workstation.
QString mensagemLivroEmOutraEstacao();

/// The position of column `nome` (any case) in `r`; throws DatabaseError
/// "cdsPedidos: Field 'X' not found" when the orders' result lacks it.
int colunaPedidos(const QueryResult &r, const char *nome);

/// A column value as text: "" for null or a value that is not text.
QString textoDe(const Value &v);

/// A column value as a whole number: 0 for null or a value that is not an
/// integer.
qint32 numeroDe(const Value &v);

/// The columns of the month's orders that the book commands read, found
/// with colunaPedidos in this order (the first missing one throws).
struct ColunasPedidos {
    explicit ColunasPedidos(const QueryResult &pedidos);
    int estacao, npedido, tipo, medico, crm, data;

    /// TIPOPEDIDO is exactly "Pedido".
    bool ehPedido(const std::vector<Value> &row) const { return textoDe(row[size_t(tipo)]) == QLatin1String("Pedido"); }
    /// DATAPEDIDO; invalid when empty.
    QDate dataPedido(const std::vector<Value> &row) const;
};

} // namespace velix
