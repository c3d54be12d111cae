#include "data/dataset.h"
#include "data/convert.h"
#include "data/firebird.h"
#include "platform/cp1252.h"
#include "platform/errors.h"

#include <QHash>

#include <optional>

namespace velix {

SQLDataSet::SQLDataSet(const QString &name, SQLConnection &connection, const QString &commandText)
    : m_name(name), m_connection(&connection), m_commandText(commandText)
{
}

// ---- records and change log ------------------------------------------------

struct ClientDataSet::Record {
    enum class Status { Unmodified, Inserted, Modified, Deleted };
    std::vector<Value> values;
    std::vector<Value> original;   ///< as read or last applied; empty for a new row
    Status status = Status::Unmodified;
};

struct ClientDataSet::Impl {
    std::vector<std::unique_ptr<Record>> rows;
    std::vector<std::unique_ptr<Record>> deleted;   ///< pending deletions
    std::vector<Record *> pending;                  ///< pending changes, oldest first
    int cursor = -1;                                ///< index into rows; -1 when empty
    bool eof = true;
    bool bof = true;
    std::vector<Value> buffer;                      ///< edit buffer in Edit and Insert state
    int insertPos = 0;
    bool refreshPending = false;
    int refreshRecNo = 0;
    QHash<QString, int> byName;
    std::vector<int> keyColumns;
};

namespace {

const Value nullValue;

// A guarded change that still changed several rows: it cannot be undone alone,
// so the whole sending fails.
class SeveralRowsChanged : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

bool compatible(FieldType wanted, FieldType got)
{
    const auto textual = [](FieldType t) { return t == FieldType::Text || t == FieldType::FixedText; };
    if (textual(wanted))
        return textual(got);
    return wanted == got;
}

const char *typeName(FieldType t)
{
    switch (t) {
    case FieldType::Text: return "text";
    case FieldType::FixedText: return "fixed text";
    case FieldType::Integer: return "integer";
    case FieldType::Decimal: return "decimal";
    case FieldType::Float: return "float";
    case FieldType::Date: return "date";
    case FieldType::Time: return "time";
    case FieldType::Timestamp: return "timestamp";
    case FieldType::Blob: return "blob";
    }
    return "?";
}

} // namespace

// ---- Field -------------------------------------------------------------------

QString Field::fieldName() const { return QLatin1String(m_dataSet->m_table->columns[size_t(m_index)].name); }
FieldType Field::dataType() const { return m_dataSet->m_table->columns[size_t(m_index)].type; }
int Field::size() const { return m_dataSet->m_table->columns[size_t(m_index)].size; }
int Field::scale() const { return m_dataSet->m_table->columns[size_t(m_index)].scale; }

bool Field::isNull() const { return m_dataSet->currentValue(m_index).isNull(); }
Value Field::value() const { return m_dataSet->currentValue(m_index); }
Value Field::oldValue() const { return m_dataSet->originalValue(m_index); }

QString Field::asString() const { return detail::displayText(value()); }

namespace {

bool textual(FieldType t)
{
    return t == FieldType::Text || t == FieldType::FixedText || t == FieldType::Blob;
}

// The digits after the decimal point of a number written as text ("12,50": 2).
int decimalsOf(const QString &text)
{
    const QString t = text.trimmed();
    const qsizetype point = std::max(t.indexOf(QLatin1Char(',')), t.indexOf(QLatin1Char('.')));
    return point < 0 ? 0 : int(std::min<qsizetype>(t.size() - point - 1, 18));
}

} // namespace

// The value a reader converts: a text field's value as its text (a null being
// the empty text); another field's value as it is (a null stays null, and the
// reader gives its empty value).
Value Field::readable() const
{
    const Value v = value();
    if (!textual(dataType()))
        return v;
    if (v.kind() == Value::Kind::Text)
        return v;
    return Value::text(v.isNull() ? QString() : detail::displayText(v));
}

qint32 Field::asInteger() const
{
    const Value v = readable();
    return v.isNull() ? 0 : detail::readAs(v, FieldType::Integer, 0).integerValue();
}

double Field::asFloat() const
{
    const Value v = readable();
    return v.isNull() ? 0 : detail::readAs(v, FieldType::Float, 0).floatValue();
}

Decimal Field::asDecimal() const
{
    const Value v = readable();
    int s = 0;
    if (dataType() == FieldType::Decimal)
        s = scale();
    else if (dataType() == FieldType::Float)
        s = 8;
    else if (v.kind() == Value::Kind::Text)
        s = decimalsOf(v.textValue());
    if (v.isNull())
        return Decimal(0, s);
    return detail::readAs(v, FieldType::Decimal, s).decimalValue();
}

QDate Field::asDate() const
{
    const Value v = readable();
    return v.isNull() ? QDate() : detail::readAs(v, FieldType::Date, 0).dateValue();
}

QTime Field::asTime() const
{
    const Value v = readable();
    return v.isNull() ? QTime() : detail::readAs(v, FieldType::Time, 0).timeValue();
}

QDateTime Field::asDateTime() const
{
    const Value v = readable();
    return v.isNull() ? QDateTime() : detail::readAs(v, FieldType::Timestamp, 0).timestampValue();
}

QByteArray Field::asBytes() const
{
    const Value v = value();
    if (v.kind() == Value::Kind::Blob)
        return v.blobValue();
    return v.isNull() ? QByteArray() : toCp1252(detail::displayText(v));
}

void Field::setValue(const Value &value)
{
    const Value v = detail::convertTo(value, dataType(), size(), scale());
    if (v.kind() == Value::Kind::Text)
        detail::checkStorableText(v.textValue());
    m_dataSet->setCurrentValue(m_index, v);
}

void Field::setAsString(const QString &text) { setValue(Value::text(text)); }
void Field::setAsInteger(qint32 value) { setValue(Value::integer(value)); }
void Field::setAsFloat(double value) { setValue(Value::floating(value)); }
void Field::setAsDecimal(const Decimal &value) { setValue(Value::decimal(value)); }
void Field::setAsDate(const QDate &value) { setValue(Value::date(value)); }
void Field::setAsTime(const QTime &value) { setValue(Value::time(value)); }
void Field::setAsDateTime(const QDateTime &value) { setValue(Value::timestamp(value)); }
void Field::clear() { setValue(Value()); }

void Field::setAsBytes(const QByteArray &bytes)
{
    if (dataType() == FieldType::Blob)
        setValue(Value::blob(bytes));
    else
        setValue(Value::text(fromCp1252(bytes)));
}

// ---- ClientDataSet -------------------------------------------------------------

ClientDataSet::ClientDataSet(const QString &name, SQLDataSet &statement, const QString &table, UpdateMode mode,
                             QObject *parent)
    : QObject(parent), m_name(name), m_statement(&statement), m_table(&tableDef(table)), m_mode(mode),
      d(std::make_unique<Impl>())
{
    for (size_t i = 0; i < m_table->columns.size(); ++i) {
        m_fields.push_back(std::unique_ptr<Field>(new Field(this, int(i))));
        d->byName.insert(QString::fromLatin1(m_table->columns[i].name).toUpper(), int(i));
    }
    for (const char *k : m_table->key)
        d->keyColumns.push_back(d->byName.value(QString::fromLatin1(k)));
}

ClientDataSet::~ClientDataSet() = default;

void ClientDataSet::setCommandText(const QString &sql) { m_statement->setCommandText(sql); }
QString ClientDataSet::commandText() const { return m_statement->commandText(); }

Field &ClientDataSet::field(int index)
{
    if (index < 0 || index >= fieldCount())
        throw DatabaseError(QStringLiteral("%1: Field index out of range").arg(m_name));
    return *m_fields[size_t(index)];
}

Field *ClientDataSet::findField(const QString &name)
{
    const auto it = d->byName.constFind(name.trimmed().toUpper());
    return it == d->byName.constEnd() ? nullptr : m_fields[size_t(*it)].get();
}

Field &ClientDataSet::fieldByName(const QString &name)
{
    if (Field *f = findField(name))
        return *f;
    throw DatabaseError(QStringLiteral("%1: Field '%2' not found").arg(m_name, name));
}

void ClientDataSet::fetch()
{
    const QueryResult result = m_statement->connection().select(m_statement->commandText());
    const auto &cols = m_table->columns;
    bool same = result.columns.size() == cols.size();
    for (size_t i = 0; same && i < cols.size(); ++i)
        same = result.columns[i].name.compare(QLatin1String(cols[i].name), Qt::CaseInsensitive) == 0
               && compatible(cols[i].type, result.columns[i].type);
    if (!same) {
        QStringList wanted, got;
        for (const ColumnDef &c : cols)
            wanted << QStringLiteral("%1 %2").arg(QLatin1String(c.name), QLatin1String(typeName(c.type)));
        for (const ResultColumn &c : result.columns)
            got << QStringLiteral("%1 %2").arg(c.name, QLatin1String(typeName(c.type)));
        throw DatabaseError(QStringLiteral("%1: the statement's columns do not match the dataset's fields.\n"
                                           "Fields: %2\nStatement: %3")
                                .arg(m_name, wanted.join(QStringLiteral(", ")), got.join(QStringLiteral(", "))));
    }
    std::vector<std::unique_ptr<Record>> rows;
    rows.reserve(result.rows.size());
    for (const std::vector<Value> &r : result.rows) {
        auto rec = std::make_unique<Record>();
        rec->values.reserve(cols.size());
        for (size_t i = 0; i < cols.size(); ++i) {
            const Value &v = r[i];
            const bool exact = v.isNull() || result.columns[i].type == cols[i].type
                               || (cols[i].type == FieldType::FixedText || cols[i].type == FieldType::Text);
            rec->values.push_back(exact && cols[i].type != FieldType::Decimal
                                      ? v
                                      : detail::convertTo(v, cols[i].type, 0, cols[i].scale));
        }
        rec->original = rec->values;
        rows.push_back(std::move(rec));
    }
    d->rows = std::move(rows);
    d->deleted.clear();
    d->pending.clear();
}

void ClientDataSet::open()
{
    if (isOpen())
        return;
    fetch();
    m_state = DataSetState::Browse;
    d->refreshPending = false;
    d->cursor = d->rows.empty() ? -1 : 0;
    d->eof = d->bof = true;
    if (!d->rows.empty())
        d->eof = false;
    m_lastApplyError.clear();
    emit changed();
    if (afterOpen)
        afterOpen(*this);
    if (!d->rows.empty() && afterScroll)
        afterScroll(*this);
}

void ClientDataSet::close()
{
    if (!isOpen())
        return;
    m_state = DataSetState::Inactive;
    d->rows.clear();
    d->deleted.clear();
    d->pending.clear();
    d->buffer.clear();
    d->cursor = -1;
    d->eof = d->bof = true;
    d->refreshPending = false;
    emit changed();
    if (afterClose) {
        try {
            afterClose(*this);
        } catch (...) {
        }
    }
}

namespace {
DatabaseError closedError(const QString &name)
{
    return DatabaseError(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(name));
}
} // namespace

void ClientDataSet::ensureFresh()
{
    if (!d->refreshPending)
        return;
    // Stays pending when the re-read fails, so that every later read reports it.
    fetch();
    d->refreshPending = false;
    const int n = int(d->rows.size());
    d->cursor = n == 0 ? -1 : std::clamp(d->refreshRecNo, 1, n) - 1;
    d->eof = n == 0;
    d->bof = n == 0;
    emit changed();
}

void ClientDataSet::toBrowse()
{
    if (!isOpen())
        throw closedError(m_name);
    if (m_state != DataSetState::Browse)
        post();
    ensureFresh();
}

void ClientDataSet::scrolled()
{
    emit changed();
    if (afterScroll && d->cursor >= 0)
        afterScroll(*this);
}

void ClientDataSet::first()
{
    toBrowse();
    d->bof = true;
    d->eof = d->rows.empty();
    d->cursor = d->rows.empty() ? -1 : 0;
    scrolled();
}

void ClientDataSet::last()
{
    toBrowse();
    d->eof = true;
    d->bof = d->rows.empty();
    d->cursor = int(d->rows.size()) - 1;
    scrolled();
}

void ClientDataSet::next()
{
    toBrowse();
    if (d->cursor + 1 < int(d->rows.size())) {
        ++d->cursor;
        d->bof = d->eof = false;
        scrolled();
    } else {
        d->eof = true;
    }
}

void ClientDataSet::prior()
{
    toBrowse();
    if (d->cursor > 0) {
        --d->cursor;
        d->bof = d->eof = false;
        scrolled();
    } else {
        d->bof = true;
    }
}

bool ClientDataSet::eof()
{
    if (!isOpen())
        return true;
    ensureFresh();
    return d->eof || d->rows.empty();
}

bool ClientDataSet::bof()
{
    if (!isOpen())
        return true;
    ensureFresh();
    return d->bof || d->rows.empty();
}

int ClientDataSet::recNo()
{
    if (!isOpen())
        throw closedError(m_name);
    if (m_state == DataSetState::Insert)
        return d->insertPos + 1;
    ensureFresh();
    return d->cursor + 1;
}

void ClientDataSet::setRecNo(int recNo)
{
    toBrowse();
    if (d->rows.empty())
        return;
    const int target = std::clamp(recNo, 1, int(d->rows.size())) - 1;
    if (target == d->cursor)
        return;
    d->cursor = target;
    d->bof = d->eof = false;
    scrolled();
}

int ClientDataSet::recordCount()
{
    if (!isOpen())
        throw closedError(m_name);
    ensureFresh();
    return int(d->rows.size());
}

bool ClientDataSet::isEmpty()
{
    return recordCount() == 0;
}

const Value &ClientDataSet::currentValue(int column)
{
    switch (m_state) {
    case DataSetState::Inactive:
        return nullValue;
    case DataSetState::Edit:
    case DataSetState::Insert:
        return d->buffer[size_t(column)];
    case DataSetState::Browse:
        ensureFresh();
        if (d->cursor < 0)
            return nullValue;
        return d->rows[size_t(d->cursor)]->values[size_t(column)];
    }
    return nullValue;
}

const Value &ClientDataSet::originalValue(int column)
{
    if (m_state == DataSetState::Inactive || m_state == DataSetState::Insert)
        return nullValue;
    ensureFresh();
    if (d->cursor < 0)
        return nullValue;
    const Record &r = *d->rows[size_t(d->cursor)];
    return r.original.empty() ? nullValue : r.original[size_t(column)];
}

void ClientDataSet::setCurrentValue(int column, const Value &value)
{
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        throw DatabaseError(QStringLiteral("%1: Dataset not in edit or insert mode").arg(m_name));
    d->buffer[size_t(column)] = value;
    emit changed();
}

void ClientDataSet::edit()
{
    if (!isOpen())
        throw closedError(m_name);
    if (m_state != DataSetState::Browse)
        return;
    ensureFresh();
    if (d->rows.empty()) {
        append();
        return;
    }
    d->buffer = d->rows[size_t(d->cursor)]->values;
    m_state = DataSetState::Edit;
    emit changed();
    if (afterEdit)
        afterEdit(*this);
}

void ClientDataSet::append()
{
    if (!isOpen())
        throw closedError(m_name);
    if (m_state != DataSetState::Browse)
        post();
    // Appending does not read the rows: a pending refresh stays pending.
    startNewRow(int(d->rows.size()));
}

void ClientDataSet::insert()
{
    toBrowse();
    startNewRow(d->cursor < 0 ? 0 : d->cursor);
}

void ClientDataSet::startNewRow(int position)
{
    d->insertPos = position;
    d->buffer.assign(m_fields.size(), Value());
    m_state = DataSetState::Insert;
    emit changed();
    if (afterInsert)
        afterInsert(*this);
    if (afterScroll)
        afterScroll(*this);
}

void ClientDataSet::post()
{
    if (m_state == DataSetState::Edit) {
        Record &r = *d->rows[size_t(d->cursor)];
        if (r.values != d->buffer) {
            r.values = std::move(d->buffer);
            if (r.status == Record::Status::Unmodified) {
                r.status = Record::Status::Modified;
                d->pending.push_back(&r);
            }
        }
    } else if (m_state == DataSetState::Insert) {
        auto r = std::make_unique<Record>();
        r->values = std::move(d->buffer);
        r->status = Record::Status::Inserted;
        d->pending.push_back(r.get());
        const int pos = std::clamp(d->insertPos, 0, int(d->rows.size()));
        d->rows.insert(d->rows.begin() + pos, std::move(r));
        d->cursor = pos;
        d->eof = d->bof = false;
    } else {
        return;
    }
    d->buffer.clear();
    m_state = DataSetState::Browse;
    emit changed();
    if (afterPost)
        afterPost(*this);
}

void ClientDataSet::cancel()
{
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    d->buffer.clear();
    m_state = DataSetState::Browse;
    emit changed();
    if (afterCancel)
        afterCancel(*this);
}

void ClientDataSet::deleteRecord()
{
    if (!isOpen())
        throw closedError(m_name);
    if (m_state == DataSetState::Insert) {
        cancel();
        return;
    }
    if (m_state == DataSetState::Edit)
        cancel();
    ensureFresh();
    if (d->rows.empty())
        throw DatabaseError(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(m_name));
    std::unique_ptr<Record> r = std::move(d->rows[size_t(d->cursor)]);
    d->rows.erase(d->rows.begin() + d->cursor);
    if (r->status == Record::Status::Inserted) {
        std::erase(d->pending, r.get());
    } else {
        if (r->status == Record::Status::Unmodified)
            d->pending.push_back(r.get());
        r->status = Record::Status::Deleted;
        d->deleted.push_back(std::move(r));
    }
    const int n = int(d->rows.size());
    d->cursor = n == 0 ? -1 : std::min(d->cursor, n - 1);
    d->eof = n == 0 || d->eof;
    emit changed();
    if (afterDelete)
        afterDelete(*this);
    if (d->cursor >= 0)
        scrolled();
}

int ClientDataSet::changeCount() const
{
    return int(d->pending.size());
}

void ClientDataSet::cancelUpdates()
{
    if (!isOpen())
        return;
    if (m_state != DataSetState::Browse)
        cancel();
    // Deleted rows come back at the end; new rows go; changed rows get their old values.
    std::vector<std::unique_ptr<Record>> kept;
    for (auto &r : d->rows) {
        if (r->status == Record::Status::Inserted)
            continue;
        if (r->status == Record::Status::Modified) {
            r->values = r->original;
            r->status = Record::Status::Unmodified;
        }
        kept.push_back(std::move(r));
    }
    for (auto &r : d->deleted) {
        r->values = r->original;
        r->status = Record::Status::Unmodified;
        kept.push_back(std::move(r));
    }
    d->rows = std::move(kept);
    d->deleted.clear();
    d->pending.clear();
    const int n = int(d->rows.size());
    d->cursor = n == 0 ? -1 : std::clamp(d->cursor, 0, n - 1);
    emit changed();
}

int ClientDataSet::applyUpdates()
{
    if (!isOpen())
        throw closedError(m_name);
    if (m_state != DataSetState::Browse)
        post();
    if (d->pending.empty())
        return 0;

    SQLConnection &con = m_statement->connection();
    const auto &cols = m_table->columns;
    const QString table = QLatin1String(m_table->name);

    // Columns that find a changed row, with their old values (appended to
    // `params`; whereParams counts them).
    size_t whereParams = 0;
    const auto whereClause = [&](const Record &r, std::vector<Value> &params) {
        const size_t before = params.size();
        std::vector<int> finders;
        if (m_mode == UpdateMode::WhereKeyOnly) {
            if (d->keyColumns.empty())
                throw DatabaseError(QStringLiteral("%1: the rows of table %2 have no key; they can be added but not "
                                                   "changed or removed")
                                        .arg(m_name, table));
            finders = d->keyColumns;
        } else {
            for (size_t i = 0; i < cols.size(); ++i)
                if (cols[i].type != FieldType::Blob)
                    finders.push_back(int(i));
        }
        QStringList terms;
        for (int i : finders) {
            const Value &old = r.original[size_t(i)];
            if (old.isNull()) {
                terms << QStringLiteral("%1 IS NULL").arg(QLatin1String(cols[size_t(i)].name));
            } else {
                terms << QStringLiteral("%1 = ?").arg(QLatin1String(cols[size_t(i)].name));
                params.push_back(old);
            }
        }
        whereParams = params.size() - before;
        return terms.join(QStringLiteral(" AND "));
    };

    // Runs an UPDATE or DELETE that must change exactly one row. The statement
    // carries its own guard: it changes nothing unless its WHERE finds exactly
    // one row, so a change that would hit several rows (a table without a
    // primary key holding two equal keys) is refused before anything is
    // written, in one round trip.
    const auto changeOne = [&](const QString &head, const QString &where, std::vector<Value> params) {
        const size_t whereStart = params.size() - whereParams;
        const std::vector<Value> finding(params.begin() + std::ptrdiff_t(whereStart), params.end());
        params.insert(params.end(), finding.begin(), finding.end());
        const int n = con.execute(QStringLiteral("%1 WHERE %2 AND (SELECT COUNT(*) FROM %3 WHERE %2) = 1")
                                      .arg(head, where, table),
                                  params);
        if (n == 1)
            return;
        if (n > 1)   // only when rows appear between the count and the change
            throw SeveralRowsChanged(QStringLiteral("%1: the change affected %2 rows of table %3; nothing was applied")
                                         .arg(m_name)
                                         .arg(n)
                                         .arg(table));
        const QueryResult count = con.select(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, where), finding);
        const Value &found = count.rows.at(0).at(0);
        const qint64 rows = found.kind() == Value::Kind::Decimal ? found.decimalValue().units() : found.integerValue();
        if (rows > 1)
            throw DatabaseError(QStringLiteral("%1: the change would affect %2 rows of table %3").arg(m_name).arg(rows).arg(table));
        throw DatabaseError(QStringLiteral("Record not found or changed by another user"));
    };

    const auto applyOne = [&](const Record &r) {
        std::vector<Value> params;
        switch (r.status) {
        case Record::Status::Inserted: {
            QStringList names, marks;
            for (const ColumnDef &c : cols) {
                names << QLatin1String(c.name);
                marks << QStringLiteral("?");
            }
            con.execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                        r.values);
            break;
        }
        case Record::Status::Modified: {
            QStringList sets;
            for (size_t i = 0; i < cols.size(); ++i)
                if (!(r.values[i] == r.original[i])) {
                    sets << QStringLiteral("%1 = ?").arg(QLatin1String(cols[i].name));
                    params.push_back(r.values[i]);
                }
            if (sets.isEmpty())
                return;
            const QString where = whereClause(r, params);
            changeOne(QStringLiteral("UPDATE %1 SET %2").arg(table, sets.join(QStringLiteral(", "))), where, params);
            break;
        }
        case Record::Status::Deleted: {
            const QString where = whereClause(r, params);
            changeOne(QStringLiteral("DELETE FROM %1").arg(table), where, params);
            break;
        }
        case Record::Status::Unmodified:
            break;
        }
    };

    std::optional<TransactionScope> own;
    if (!con.inTransaction())
        own.emplace(con);
    std::vector<Record *> applied, rejected;
    QString lastError;
    for (Record *r : d->pending) {
        try {
            applyOne(*r);
            applied.push_back(r);
        } catch (const SeveralRowsChanged &) {
            throw;   // the own transaction is rolled back; every change stays pending
        } catch (const Error &e) {
            rejected.push_back(r);
            lastError = e.message();
        }
    }
    if (own)
        own->commit();

    for (Record *r : applied) {
        if (r->status == Record::Status::Deleted) {
            std::erase_if(d->deleted, [r](const std::unique_ptr<Record> &p) { return p.get() == r; });
        } else {
            r->original = r->values;
            r->status = Record::Status::Unmodified;
        }
    }
    d->pending = std::move(rejected);
    m_lastApplyError = lastError;
    return int(d->pending.size());
}

void ClientDataSet::refresh()
{
    if (!isOpen())
        throw closedError(m_name);
    if (m_state != DataSetState::Browse)
        post();
    if (!d->pending.empty()) {
        QString message = QStringLiteral("Must apply updates before refreshing data");
        if (!m_lastApplyError.isEmpty())
            message += QLatin1Char('\n') + m_lastApplyError;
        throw DatabaseError(message);
    }
    d->refreshRecNo = d->cursor + 1;
    d->refreshPending = true;
}

} // namespace velix
