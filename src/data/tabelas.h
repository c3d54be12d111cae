#pragma once
// The tables this program reads and writes: their columns in column-list
// order, with types and sizes, and their keys. This catalogue fixes the fields
// of every cached dataset; the column lists below are built from it.

#include <QString>
#include <QStringList>
#include <vector>

namespace velix {

enum class FieldType { Text, FixedText, Integer, Decimal, Float, Date, Time, Timestamp, Blob };

struct ColumnDef {
    const char *name;
    FieldType type;
    int size;       ///< characters, for Text and FixedText
    int precision;  ///< digits, for Decimal
    int scale;      ///< digits after the point, for Decimal
};

struct TableDef {
    const char *name;
    std::vector<ColumnDef> columns;
    std::vector<const char *> key;   ///< empty: the table has no key
};

/// The table by name (upper case); throws Error for an unknown table.
const TableDef &tableDef(const QString &table);

/// All 13 tables, pharmacy database first, PERIODO (interface database) last.
const std::vector<TableDef> &allTables();

/// The table's column names joined by a comma and one blank, in column order.
QString columnList(const QString &table);

// The column lists every SELECT the program builds uses; assigned at the main
// window's first activation (AssignColumnLists) and empty before.
inline QString Campos_VELIX6;
inline QString Campos_DADOSGER;
inline QString Campos_USUARIOS;
inline QString Campos_COMPONEN;
inline QString Campos_PEDIDOS;
inline QString Campos_PEDIFORM;
inline QString Campos_COMPEDID;
inline QString Campos_ITENS;
inline QString Campos_ENTREGAR;

/// Gives the nine column lists their texts.
void AssignColumnLists();

} // namespace velix
