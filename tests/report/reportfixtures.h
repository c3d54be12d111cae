#pragma once
// Data for the report tests: the demo pharmacy's registration row and book
// rows as in-memory connections, and the shipped definition file.

#include "data/tabelas.h"
#include "report/reportdata.h"
#include "report/reportdefinition.h"
#include "tempfolders.h"

#include <QDate>
#include <QFile>
#include <QProcess>

namespace velix::test {

inline QStringList columnsOf(const char *table)
{
    return columnList(QLatin1String(table)).split(QStringLiteral(", "));
}

inline report::ConnectionSchema bookSchema()
{
    return {{QStringLiteral("rvdsDadosGer"), columnsOf("DADOSGER")},
            {QStringLiteral("rvdsVELIX6"), columnsOf("VELIX6")}};
}

/// A DADOSGER row with the named values set, the rest null.
inline QVariantList dadosGerRow(const QMap<QString, QVariant> &values)
{
    const QStringList fields = columnsOf("DADOSGER");
    QVariantList row;
    for (const QString &f : fields)
        row << values.value(f);
    return row;
}

inline QVariantList demoDadosGer()
{
    return dadosGerRow({{QStringLiteral("FIRMA"), QStringLiteral("Farmácia Modelo de Manipulação Ltda")},
                        {QStringLiteral("FARMACEUTICO"), QStringLiteral("Ana Luíza Conceição")},
                        {QStringLiteral("ENDERECO"), QStringLiteral("Rua São João, 1500 - Centro")},
                        {QStringLiteral("CGC"), QStringLiteral("12345678000195")},
                        {QStringLiteral("EXERCICIO"), QStringLiteral("2026")},
                        {QStringLiteral("MES"), QStringLiteral("NOVEMBRO")},
                        {QStringLiteral("CRF_Q"), QStringLiteral("CRF-SP 12345")},
                        {QStringLiteral("NLICENCA_FUNC"), QStringLiteral("LF-2026/0457")},
                        {QStringLiteral("SECRETARIA_SAUDE"), QStringLiteral("Secretaria Municipal de Saúde de São Paulo")},
                        {QStringLiteral("AUTORIDADE_SANITARIA"), QStringLiteral("Vigilância Sanitária - COVISA")}});
}

/// A VELIX6 row in column order.
inline QVariantList bookRow(const QString &dcb, const QString &descricao, const QString &apresentacao,
                            const QString &notificacao, const QDate &data, const QString &medico, const QString &crm,
                            const QString &qde, const QString &npedido, const QString &cnpj = QStringLiteral("12345678000195"))
{
    return {dcb, descricao, QStringLiteral("-"), apresentacao, notificacao, data, medico, crm, qde, qde,
            QStringLiteral("01"), npedido, QStringLiteral("1"), cnpj};
}

inline QVector<QVariantList> demoBookRows()
{
    return {bookRow(QStringLiteral("00733"), QStringLiteral("Anfepramona"), QStringLiteral("CAP e 25 mg"),
                    QStringLiteral("SP1234567"), QDate(2026, 11, 2), QStringLiteral("Dr. João Araújo"),
                    QStringLiteral("45678"), QStringLiteral("60 CAP"), QStringLiteral("1201")),
            bookRow(QStringLiteral("02317"), QStringLiteral("Cloridrato de sibutramina"), QStringLiteral("CAP e 15 mg"),
                    QStringLiteral("SP1235388"), QDate(2026, 11, 18), QStringLiteral("Dr. Sérgio Nóbrega"),
                    QStringLiteral("60211"), QStringLiteral("60 CAP"), QStringLiteral("1215")),
            bookRow(QStringLiteral("03853"), QStringLiteral("Femproporex"), QStringLiteral("CAP e 25 mg"),
                    QStringLiteral("SP1234601"), QDate(2026, 11, 4), QStringLiteral("Dra. Lúcia Gonçalves"),
                    QStringLiteral("51234"), QStringLiteral("30 CAP"), QStringLiteral("1202")),
            bookRow(QStringLiteral("05635"), QStringLiteral("Mazindol"), QStringLiteral("CAP e 1 mg"),
                    QStringLiteral("SP1235010"), QDate(2026, 11, 10), QStringLiteral("Dr. João Araújo"),
                    QStringLiteral("45678"), QStringLiteral("90 CAP"), QStringLiteral("1207"))};
}

/// The empty-book row: blanks in DCB, DESCRICAO and NUMERONOTIFICACAO.
inline QVariantList emptyBookRow()
{
    QVariantList row(14);
    row[0] = row[1] = row[4] = QStringLiteral(" ");
    row[13] = QStringLiteral("12345678000195");
    return row;
}

inline QString shippedDefinition()
{
    return sourceDir() + QStringLiteral("/src/report/VELIX6.rav");
}

/// The text of a PDF file as pdftotext gives it (layout kept).
inline QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                          pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("<pdftotext failed: %1>").arg(QString::fromLocal8Bit(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace velix::test
