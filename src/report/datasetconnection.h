#pragma once
// A cached dataset of the data modules as a report connection: the report
// walks the dataset's own cursor and reads its fields by column name.

#include "report/reportdata.h"

namespace velix {

class ClientDataSet;

class DataSetConnection final : public report::ReportDataConnection {
public:
    explicit DataSetConnection(ClientDataSet &dataSet) : m_dataSet(dataSet) {}

    ClientDataSet &dataSet() const { return m_dataSet; }

    QStringList fieldNames() const override;
    /// A closed dataset reads as one without rows.
    void first() override;
    void next() override;
    bool eof() const override;
    /// Dates as QDate, timestamps as QDateTime, integers as int, everything
    /// else as the field's text; null fields and unknown names as null.
    QVariant value(const QString &field) const override;

private:
    ClientDataSet &m_dataSet;
};

} // namespace velix
