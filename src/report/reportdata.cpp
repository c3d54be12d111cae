#include "report/reportdata.h"

namespace velix::report {

MemoryConnection::MemoryConnection(QStringList fields, QVector<QVariantList> rows)
    : m_fields(std::move(fields)), m_rows(std::move(rows))
{
}

QVariant MemoryConnection::value(const QString &field) const
{
    if (eof())
        return {};
    qsizetype column = m_fields.indexOf(field);
    for (qsizetype i = 0; column < 0 && i < m_fields.size(); ++i)
        if (m_fields.at(i).compare(field, Qt::CaseInsensitive) == 0)
            column = i;
    const QVariantList &row = m_rows.at(m_current);
    if (column < 0 || column >= row.size())
        return {};
    return row.at(column);
}

} // namespace velix::report
