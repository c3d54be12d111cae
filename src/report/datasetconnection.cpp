#include "report/datasetconnection.h"

#include "data/dataset.h"

namespace velix {

QStringList DataSetConnection::fieldNames() const
{
    return columnList(QLatin1String(m_dataSet.table().name)).split(QStringLiteral(", "));
}

void DataSetConnection::first()
{
    if (m_dataSet.isOpen())
        m_dataSet.first();
}

void DataSetConnection::next()
{
    if (m_dataSet.isOpen())
        m_dataSet.next();
}

bool DataSetConnection::eof() const
{
    return !m_dataSet.isOpen() || m_dataSet.eof();
}

QVariant DataSetConnection::value(const QString &name) const
{
    if (eof())
        return {};
    Field *field = m_dataSet.findField(name);
    if (!field || field->isNull())
        return {};
    switch (field->dataType()) {
    case FieldType::Date: return field->asDate();
    case FieldType::Timestamp: return field->asDateTime();
    case FieldType::Integer: return field->asInteger();
    default: return field->asString();
    }
}

} // namespace velix
