#pragma once
// How the report engine reads its data: through named connections that walk
// rows and hand out field values by column name. The engine knows nothing of
// the database layer; an adapter turns a cached dataset into a connection.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace velix::report {

/// One source of rows for a report. The engine calls first() before it reads,
/// then value() for the current row and next() until eof(). A connection with
/// no rows is at eof() right after first(); value() then gives a null QVariant.
class ReportDataConnection {
public:
    virtual ~ReportDataConnection() = default;
    /// The fields a report may name, in column order.
    virtual QStringList fieldNames() const = 0;
    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    /// The current row's value of `field` (a name from fieldNames(), any case);
    /// dates as QDate, texts as QString, empty fields as a null QVariant.
    virtual QVariant value(const QString &field) const = 0;
};

/// Rows held in memory: for the benchmark, tests and reports built by hand.
class MemoryConnection final : public ReportDataConnection {
public:
    explicit MemoryConnection(QStringList fields, QVector<QVariantList> rows = {});

    void append(QVariantList row) { m_rows.append(std::move(row)); }
    int rowCount() const { return int(m_rows.size()); }

    QStringList fieldNames() const override { return m_fields; }
    void first() override { m_current = 0; }
    void next() override { if (m_current < m_rows.size()) ++m_current; }
    bool eof() const override { return m_current >= m_rows.size(); }
    QVariant value(const QString &field) const override;

private:
    QStringList m_fields;
    QVector<QVariantList> m_rows;
    qsizetype m_current = 0;
};

} // namespace velix::report
