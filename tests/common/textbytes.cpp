#include "textbytes.h"

#include "data/sqltext.h"
#include "data/udm.h"
#include "platform/cp1252.h"
#include "platform/errors.h"

#include <functional>

namespace velix::test {
namespace {

QByteArray bytesFrom(int from, int to)
{
    QByteArray b;
    for (int c = from; c <= to; ++c)
        b += char(c);
    return b;
}

QString hex(const QByteArray &b)
{
    return QString::fromLatin1(b.toHex(' '));
}

// The raw bytes of one text column of the rows of `sql` (one column selected).
QList<QByteArray> rawColumn(TDM &dm, const QString &sql)
{
    QList<QByteArray> out;
    for (const auto &row : dm.sqlcon1.select(sql).rows)
        out << (row[0].isNull() ? QByteArray() : toCp1252(row[0].textValue()));
    return out;
}

// "" when `f` throws ConvertError, else what happened.
QString refused(const QString &what, const std::function<void()> &f)
{
    try {
        f();
    } catch (const ConvertError &) {
        return QString();
    } catch (const Error &e) {
        return what + QStringLiteral(": refused with another error: ") + e.message();
    }
    return what + QStringLiteral(": accepted");
}

} // namespace

QList<QByteArray> everyByteTexts()
{
    return {bytesFrom(0x20, 0x5B), bytesFrom(0x5C, 0x97), bytesFrom(0x98, 0xD3), bytesFrom(0xD4, 0xFF),
            QByteArray("Concei\xE7\xE3o Ara\xFAjo D'\xC1vila \x80 \x96 \x93x\x94")};
}

QByteArray storedBytes(const QByteArray &cp1252, const QString &charset)
{
    return charset.compare(QLatin1String("UTF8"), Qt::CaseInsensitive) == 0 ? fromCp1252(cp1252).toUtf8() : cp1252;
}

QString textBytesRoundTrip(TDM &dm, const QString &charset)
{
    const QList<QByteArray> texts = everyByteTexts();
    const QString octets = QStringLiteral("cast(%1 as varchar(240) character set octets)");

    // Written through the cached dataset, found by its key.
    dm.SQLDS_DCB.setCommandText(QStringLiteral("select DCB, DESCRICAO from DCB order by DCB"));
    dm.DCB.close();
    dm.DCB.open();
    for (int i = 0; i < texts.size(); ++i) {
        dm.DCB.append();
        dm.DCB.fieldByName(QStringLiteral("DCB")).setAsString(QString::number(i));
        dm.DCB.fieldByName(QStringLiteral("DESCRICAO")).setAsBytes(texts[i]);
        dm.DCB.post();
    }
    if (dm.DCB.changeCount() != 0)
        return QStringLiteral("DCB rows not stored: ") + dm.DCB.lastApplyError();
    QList<QByteArray> raw = rawColumn(dm, QStringLiteral("select %1 from DCB order by DCB").arg(octets.arg(QStringLiteral("DESCRICAO"))));
    if (raw.size() != texts.size())
        return QStringLiteral("%1 DCB rows stored, %2 written").arg(raw.size()).arg(texts.size());
    for (int i = 0; i < texts.size(); ++i)
        if (raw[i] != storedBytes(texts[i], charset))
            return QStringLiteral("DCB %1 stored as %2").arg(i).arg(hex(raw[i]));

    // Rows another program stored, read back byte for byte.
    for (int i = 0; i < texts.size(); ++i)
        dm.sqlcon1.executeDirect(QStringLiteral("INSERT INTO DCB (DCB, DESCRICAO) VALUES ('r%1', x'%2')")
                                     .arg(i)
                                     .arg(QString::fromLatin1(storedBytes(texts[i], charset).toHex())));
    dm.DCB.close();
    dm.DCB.open();
    for (int i = 0; i < texts.size(); ++i) {
        for (const QString &key : {QString::number(i), QStringLiteral("r%1").arg(i)}) {
            dm.DCB.first();
            while (!dm.DCB.eof() && dm.DCB.fieldByName(QStringLiteral("DCB")).asString() != key)
                dm.DCB.next();
            if (dm.DCB.eof())
                return QStringLiteral("DCB %1 not read").arg(key);
            const QByteArray got = dm.DCB.fieldByName(QStringLiteral("DESCRICAO")).asBytes();
            if (got != texts[i])
                return QStringLiteral("DCB %1 read as %2").arg(key, hex(got));
        }
        // A literal in the statement's text finds both rows.
        const QueryResult found = dm.sqlcon1.select(QStringLiteral("select count(*) from DCB where DESCRICAO = '")
                                                    + sqlQuote(fromCp1252(texts[i])) + QStringLiteral("'"));
        const Value &n = found.rows.at(0).at(0);
        const qint64 count = n.kind() == Value::Kind::Decimal ? n.decimalValue().units() : n.integerValue();
        if (count != 2)
            return QStringLiteral("the literal of text %1 finds %2 rows").arg(i).arg(count);
    }

    // Written back by all its old values (DADOSGER has no key).
    dm.sqlcon1.executeDirect(QStringLiteral("INSERT INTO DADOSGER (FIRMA, CGC) VALUES ('x', '1')"));
    dm.DadosGer.close();
    dm.DadosGer.open();
    for (int i = 0; i < texts.size(); ++i) {
        dm.DadosGer.edit();
        dm.DadosGer.fieldByName(QStringLiteral("SECRETARIA_SAUDE")).setAsBytes(texts[i]);
        dm.DadosGer.post();
        dm.DadosGer.edit();
        dm.DadosGer.fieldByName(QStringLiteral("FIRMA")).setAsString(QString::number(i));
        dm.DadosGer.post();   // found by all old values, the text among them
        if (dm.DadosGer.changeCount() != 0)
            return QStringLiteral("DADOSGER text %1 not written back: %2").arg(i).arg(dm.DadosGer.lastApplyError());
        if (dm.DadosGer.fieldByName(QStringLiteral("SECRETARIA_SAUDE")).asBytes() != texts[i])
            return QStringLiteral("DADOSGER text %1 read back as %2")
                .arg(i)
                .arg(hex(dm.DadosGer.fieldByName(QStringLiteral("SECRETARIA_SAUDE")).asBytes()));
        raw = rawColumn(dm, QStringLiteral("select %1 from DADOSGER").arg(octets.arg(QStringLiteral("SECRETARIA_SAUDE"))));
        if (raw.value(0) != storedBytes(texts[i], charset))
            return QStringLiteral("DADOSGER text %1 stored as %2").arg(i).arg(hex(raw.value(0)));
    }

    // Text the code page lacks, and NUL, are refused and store nothing.
    const QList<QString> foreign = {QStringLiteral("Dipirona \u2192 500 mg"), QStringLiteral("Dipi\u200Brona"),
                                    QStringLiteral("Dipi") + QChar(0) + QStringLiteral("rona")};
    for (const QString &text : foreign) {
        const QString shown = QString(text).replace(QChar(0), QStringLiteral("\\0"));
        dm.DCB.append();
        QString problem = refused(shown + QStringLiteral(" set into a field"),
                                  [&] { dm.DCB.fieldByName(QStringLiteral("DESCRICAO")).setAsString(text); });
        dm.DCB.cancel();
        if (problem.isEmpty())
            problem = refused(shown + QStringLiteral(" as a parameter"), [&] {
                dm.sqlcon1.execute(QStringLiteral("INSERT INTO DCB (DCB, DESCRICAO) VALUES ('p', ?)"), {Value::text(text)});
            });
        if (problem.isEmpty())
            problem = refused(shown + QStringLiteral(" in a statement"), [&] {
                dm.sqlcon1.executeDirect(QStringLiteral("INSERT INTO DCB (DCB, DESCRICAO) VALUES ('s', '") + text
                                         + QStringLiteral("')"));
            });
        if (problem.isEmpty())
            problem = refused(shown + QStringLiteral(" quoted"), [&] { sqlQuote(text); });
        if (!problem.isEmpty())
            return problem;
    }
    if (dm.sqlcon1.select(QStringLiteral("select DCB from DCB where DCB in ('p', 's')")).rows.size() != 0)
        return QStringLiteral("a refused text was stored");
    return QString();
}

} // namespace velix::test
