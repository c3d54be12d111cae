#pragma once
// Statement datasets and cached datasets.
//
// A statement dataset (SQLDataSet: sqldsPedidos, SQLDS_DadosGer, ...) holds the
// SQL text of one table's SELECT and the connection it runs on. It keeps the
// last text put into it: opening its cached dataset again without a new text
// repeats the last statement.
//
// A cached dataset (ClientDataSet: cdsPedidos, DadosGer, VELIX6, ...) is the
// in-memory copy of that statement's rows that every command reads and edits:
//
//   DM().SQLDS_Usuarios.setCommandText("select " + Campos_USUARIOS +
//       " from USUARIOS where USUARIO = '" + sqlQuote(nome) + "'");
//   DM().Usuarios.open();                       // fetches every row at once
//   for (DM().Usuarios.first(); !DM().Usuarios.eof(); DM().Usuarios.next())
//       use(DM().Usuarios.fieldByName("SENHA").asString());
//   DM().Usuarios.close();
//
// Columns. The fields of a cached dataset are fixed: the columns of its table
// in the catalogue (data/tabelas.h), with their types and sizes. open() fails
// with DatabaseError when the statement returns other columns (missing, extra,
// other order or another kind of value); the dataset then stays closed.
//
// Cursor. recNo() is 1-based (0 when empty). eof() is true when the dataset is
// empty or next() was called on the last row; bof() likewise at the first row.
// afterScroll runs after open() when the result is not empty, after first()
// and last() when not empty, after next()/prior()/setRecNo() when the cursor
// actually moved, and after append()/insert() and deleteRecord().
//
// Changes. edit() / append() / insert() start editing; field setters write the
// edit buffer; post() stores it in the cached rows, adds it to the pending
// changes and runs afterPost; cancel() drops it. Posting changes nothing in the
// database by itself: applyUpdates() sends the pending changes (the data
// modules' after-post handlers call applyUpdates() and refresh() at once).
//
// Write-back (applyUpdates): parameterised INSERT / UPDATE / DELETE with exact
// values. UpdateMode::WhereKeyOnly finds a changed row by its old key values;
// UpdateMode::WhereAll by the old values of all its non-blob columns ("COL IS
// NULL" for a null). An UPDATE sets only the columns that changed. A table
// without a key in WhereKeyOnly mode (VELIX6) can only be appended to: changing
// or deleting one of its rows is rejected. An UPDATE or DELETE changes exactly
// one row or nothing, in both modes: when its old values find no row, or more
// than one (a table without a primary key holding two rows with equal keys),
// the database is left unchanged and the change is rejected. A rejected change
// (also one the database refuses) stays pending; the others are applied.
// Without a TransactionScope all the changes of one applyUpdates() are one
// transaction.
//
// Refresh. refresh() fails with "Must apply updates before refreshing data"
// (and the database's reason for the rejection on the next line) while changes
// are pending. Otherwise it re-runs the current statement and puts the cursor
// on the row with the same position number (the last row when there are fewer
// rows now). The re-run is done lazily, at the next read of the dataset (a
// cursor move, a field read in browse state, eof(), recordCount(), edit(),
// deleteRecord()); append(), insert(), filling a new row and post() do not read
// the rows, so posting row after row costs one INSERT per row. An error of the
// re-run is thrown by that next read.
//
// close() discards the rows, the pending changes and a pending refresh.
//
// All of it is to be used from the main (user-interface) thread only.

#include "data/tabelas.h"
#include "data/value.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace velix {

class SQLConnection;
class ClientDataSet;

/// A statement dataset: the SQL text of one table's SELECT and its connection.
class SQLDataSet {
public:
    SQLDataSet(const QString &name, SQLConnection &connection, const QString &commandText = QString());

    QString name() const { return m_name; }
    SQLConnection &connection() const { return *m_connection; }

    void setCommandText(const QString &sql) { m_commandText = sql; }
    QString commandText() const { return m_commandText; }

private:
    QString m_name;
    SQLConnection *m_connection;
    QString m_commandText;
};

enum class DataSetState { Inactive, Browse, Edit, Insert };

/// How a changed row is found when it is written back.
enum class UpdateMode {
    WhereAll,        ///< by the old values of all its non-blob columns
    WhereKeyOnly,    ///< by the old values of its key columns
};

/// One column of a cached dataset (cdsPedidos' NPED, VELIX6's CNPJ, ...).
/// Reads give the value of the current row (the edit buffer while editing);
/// setters require the dataset to be in Edit or Insert state and throw
/// DatabaseError otherwise.
///
/// Reading. asString() of a null is ""; of an integer its decimal digits; of a
/// decimal or float number its shortest form with ',' as decimal separator and
/// no thousands separator ("2,5", "10"); of a date "dd/MM/yyyy"; of a time
/// "hh:mm:ss"; of a timestamp "dd/MM/yyyy hh:mm:ss" ("dd/MM/yyyy" at
/// midnight); fixed-length text keeps its padding blanks.
///
/// A null reads as its field's empty value, the same for every reader:
///   - a number, date, time or timestamp field: asInteger(), asFloat() 0,
///     asDecimal() 0 at the column's scale, asDate(), asTime(), asDateTime()
///     invalid (isValid() false);
///   - a text (or blob) field: the empty text "", read like any other text.
/// The number and date readers of a text field convert its text (blanks
/// around it ignored) and throw ConvertError when it is not a number, date or
/// time: "'' is not a valid integer value" for a null, empty or blank text,
/// "'abc' is not a valid integer value", and likewise "floating point value",
/// "number", "date", "time". They never give 0 or an invalid date for a text.
/// asDecimal() keeps the column's scale for a decimal column, 8 decimals for a
/// float column, the text's own decimals for a text ("12,50": 12.50).
/// A time or timestamp keeps Firebird's 1/10,000 s: value() carries it whole
/// (Value::subMillisecond()), asTime() / asDateTime() to the millisecond.
///
/// Writing. setAsString() of a text longer than a text column's size stores its
/// first `size` characters; of an empty text into a non-text field stores null.
/// A text stored into a text or blob field must be Windows-1252 text without
/// NUL: a character the code page lacks ("→", U+200B, ...) or a NUL throws
/// ConvertError and leaves the field unchanged.
class Field {
public:
    QString fieldName() const;
    FieldType dataType() const;
    int size() const;            ///< characters, for Text and FixedText
    int scale() const;           ///< digits after the point, for Decimal
    int index() const { return m_index; }
    ClientDataSet &dataSet() const { return *m_dataSet; }

    bool isNull() const;
    Value value() const;
    /// The value the row had when it was read (or last applied); null for a new row.
    Value oldValue() const;

    QString asString() const;
    qint32 asInteger() const;
    double asFloat() const;
    Decimal asDecimal() const;          ///< exact; at the column's scale
    QDate asDate() const;
    QTime asTime() const;
    QDateTime asDateTime() const;
    QByteArray asBytes() const;         ///< text as Windows-1252 bytes; blobs as stored

    void setValue(const Value &value);  ///< converted to the field's type
    void setAsString(const QString &text);
    void setAsInteger(qint32 value);
    void setAsFloat(double value);
    void setAsDecimal(const Decimal &value);
    void setAsDate(const QDate &value);        ///< an invalid date stores null
    void setAsTime(const QTime &value);
    void setAsDateTime(const QDateTime &value);
    void setAsBytes(const QByteArray &bytes);
    void clear();                              ///< stores null

private:
    friend class ClientDataSet;
    Field(ClientDataSet *dataSet, int index) : m_dataSet(dataSet), m_index(index) {}
    Value readable() const;
    ClientDataSet *m_dataSet;
    int m_index;
};

/// A cached dataset over one statement dataset and one table of the catalogue.
class ClientDataSet : public QObject {
    Q_OBJECT
public:
    using Event = std::function<void(ClientDataSet &)>;

    /// `table`: the catalogue table whose columns are this dataset's fields.
    ClientDataSet(const QString &name, SQLDataSet &statement, const QString &table, UpdateMode mode,
                  QObject *parent = nullptr);
    ~ClientDataSet() override;

    QString name() const { return m_name; }
    SQLDataSet &statement() const { return *m_statement; }
    const TableDef &table() const { return *m_table; }
    UpdateMode updateMode() const { return m_mode; }

    /// Shorthands for statement().setCommandText() / commandText().
    void setCommandText(const QString &sql);
    QString commandText() const;

    /// Runs the statement's current text and fetches every row; nothing happens
    /// when already open. Throws DatabaseError (the dataset stays closed).
    void open();
    /// Discards rows, pending changes and a pending refresh. Never throws.
    void close();
    bool isOpen() const { return m_state != DataSetState::Inactive; }
    bool active() const { return isOpen(); }
    DataSetState state() const { return m_state; }

    void first();
    void next();
    void prior();
    void last();
    bool eof();
    bool bof();
    int recNo();                 ///< 1-based; 0 when empty
    void setRecNo(int recNo);
    int recordCount();
    bool isEmpty();

    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    Field &field(int index);
    /// The field of the named column (case-insensitive); throws DatabaseError
    /// "<dataset>: Field 'X' not found" for an unknown name.
    Field &fieldByName(const QString &name);
    Field *findField(const QString &name);

    void edit();
    void append();               ///< a new row after the last one
    void insert();               ///< a new row before the current one
    void post();                 ///< nothing happens in Browse state
    void cancel();               ///< nothing happens in Browse state
    void deleteRecord();         ///< removes the current row (a pending deletion)

    /// Sends the pending changes (see above). Returns the number of rejected
    /// changes, which stay pending. Throws DatabaseError when the connection or
    /// the transaction itself fails (then every change stays pending).
    int applyUpdates();
    /// Number of pending changes.
    int changeCount() const;
    /// The database's message for the last rejected change ("" when none).
    QString lastApplyError() const { return m_lastApplyError; }
    /// Drops every pending change and puts the rows back as last read or applied.
    void cancelUpdates();
    /// Re-reads the rows (see above); throws "Must apply updates before
    /// refreshing data" while changes are pending.
    void refresh();

    // Events, Delphi style: at most one handler each, called with this dataset.
    Event afterOpen;
    Event afterClose;
    Event afterScroll;
    Event afterInsert;    ///< after append()/insert(), before any value is set
    Event afterEdit;
    Event afterPost;
    Event afterCancel;
    Event afterDelete;

signals:
    /// Rows, values, cursor or state changed (for data-aware controls).
    void changed();

private:
    friend class Field;
    struct Record;
    struct Impl;

    const Value &currentValue(int column);
    const Value &originalValue(int column);
    void setCurrentValue(int column, const Value &value);
    void ensureFresh();
    /// Before a cursor move or a new edit: the dataset must be open; a row
    /// being edited is posted; a pending refresh is done.
    void toBrowse();
    /// A new, empty row in the edit buffer, to be stored at `position`.
    void startNewRow(int position);
    void fetch();
    void scrolled();

    QString m_name;
    SQLDataSet *m_statement;
    const TableDef *m_table;
    UpdateMode m_mode;
    DataSetState m_state = DataSetState::Inactive;
    std::vector<std::unique_ptr<Field>> m_fields;
    std::unique_ptr<Impl> d;
    QString m_lastApplyError;
};

} // namespace velix
