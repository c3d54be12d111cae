#pragma once
// The book rows a rebuild writes ("Preparar Livro", the capsule correction),
// kept in memory for the check that follows it: the database is asked only
// for the book's order of those rows (their record keys), not for the rows
// again.

#include "book/inconsistencias.h"
#include "data/value.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace velix {

class SQLConnection;

/// The book row of linhaLivro()'s 14 values as the check reads it back from
/// VELIX6: the texts as they are, DATA (invalid when null), NPEDIDO and
/// NFORMULA read as whole numbers (empty result when one is not).
LinhaExaminada linhaExaminada(const std::vector<Value> &valores);

/// True when VELIX6, as the catalogue rows `colunas` describe it, stores a row
/// exactly as given: every one of linhaLivro()'s text columns is a VARCHAR of
/// a single-byte character set, UTF8 or UNICODE_FSS, DATA is a DATE, and no
/// active trigger (`gatilhos` is their number) can change a row. Each row of
/// `colunas` is the column's name, RDB$FIELD_TYPE and RDB$CHARACTER_SET_ID.
bool livroGuardaComoDado(const std::vector<std::vector<Value>> &colunas, qint64 gatilhos);

class LivroGravado {
public:
    explicit LivroGravado(SQLConnection &con) : m_con(con) {}

    /// Inserts one book row (linhaLivro()'s values) in the connection's
    /// transaction and keeps the check's view of it.
    void grava(const std::vector<Value> &valores);

    /// Room for `linhas` rows, when their number is known beforehand.
    void reserva(int linhas);

    /// The rows the check takes, in the same transaction as they were
    /// written: naOrdem() in janela's book order, or else the pharmacy's book
    /// read back (Abre_Livro, then leLinhasLivro). Call it once, after the
    /// last row.
    std::vector<LinhaExaminada> paraVerificar(const LivroView &janela, const QString &cnpj);

private:
    /// The book rows of pharmacy `cnpj` in the book's order (`ordemVelix6`),
    /// read in the same transaction as the rows were written: the rows kept
    /// here in the order of the database's "ORDER BY", when the pharmacy's book
    /// holds exactly the rows written here and VELIX6 stores a row as given
    /// (livroGuardaComoDado); otherwise nothing, and the book must be read.
    /// The rows kept are given away: call it once, after the last row.
    std::optional<std::vector<LinhaExaminada>> naOrdem(const QString &cnpj, const QString &ordemVelix6);

    SQLConnection &m_con;
    std::vector<LinhaExaminada> m_linhas;
    QHash<QString, int> m_chaves;   ///< record key -> index in m_linhas
};

} // namespace velix
