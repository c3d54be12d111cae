#include "book/linhalivro.h"

#include "data/tabelas.h"
#include "platform/programa.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace velix {

bool componenteB2(bool encontrado, const QString &codigoEncontrado, const QString &codigo,
                  const QString &controlada, const QString &lista)
{
    return encontrado && codigoEncontrado == codigo && upperAZ(controlada.left(1)) == QLatin1String("S")
           && lista == QLatin1String("B2");
}

QString codigoComponente(const QString &codigoComp)
{
    return cut(codigoComp, 13);
}

namespace {

// A whole number read from a column value; false when there is none.
bool inteiro(const Value &v, qint64 &n)
{
    switch (v.kind()) {
    case Value::Kind::Integer:
        n = v.integerValue();
        return true;
    case Value::Kind::Decimal: {
        const QString t = v.decimalValue().toString();
        bool ok = false;
        n = t.toLongLong(&ok);
        return ok;
    }
    case Value::Kind::Text: {
        bool ok = false;
        n = v.textValue().trimmed().toLongLong(&ok);
        return ok;
    }
    default:
        return false;
    }
}

} // namespace

int capsulasDispensadas(const Value &qdeCapsulas)
{
    qint64 n = 0;
    if (!inteiro(qdeCapsulas, n) || n < 1 || n > 2147483647)
        return 1;
    return int(n);
}

int prescritaLida(const Value &qdeCapsPrescrita)
{
    qint64 n = 0;
    if (!inteiro(qdeCapsPrescrita, n) || n < -2147483647 - 1 || n > 2147483647)
        return 0;
    return int(n);
}

bool prescritaAusente(const Value &qdeCapsPrescrita)
{
    return prescritaLida(qdeCapsPrescrita) < 1;
}

QString textoQuantidade(const Value &qdeDig)
{
    double v = 0;
    switch (qdeDig.kind()) {
    case Value::Kind::Null: return QString();
    case Value::Kind::Float: v = qdeDig.floatValue(); break;
    case Value::Kind::Integer: v = qdeDig.integerValue(); break;
    case Value::Kind::Decimal: v = qdeDig.decimalValue().toString().toDouble(); break;
    case Value::Kind::Text: return qdeDig.textValue();
    default: return QString();
    }
    if (v == 0 || !std::isfinite(v))
        return v == 0 ? QStringLiteral("0") : QString::number(v);
    // 15 significant digits: d.dddddddddddddde±x
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", v);
    QString s = QString::fromLatin1(buf);
    const qsizetype e = s.indexOf(QLatin1Char('e'));
    const int expoente = s.mid(e + 1).toInt();
    QString digitos = s.left(e);
    const bool negativo = digitos.startsWith(QLatin1Char('-'));
    if (negativo)
        digitos.remove(0, 1);
    digitos.remove(QLatin1Char('.'));
    while (digitos.size() > 1 && digitos.endsWith(QLatin1Char('0')))
        digitos.chop(1);
    QString r;
    if (expoente >= -5 && expoente <= 14) {
        if (expoente < 0) {
            r = QStringLiteral("0,") + QString(-expoente - 1, QLatin1Char('0')) + digitos;
        } else if (digitos.size() <= expoente + 1) {
            r = digitos + QString(expoente + 1 - digitos.size(), QLatin1Char('0'));
        } else {
            r = digitos.left(expoente + 1) + QLatin1Char(',') + digitos.mid(expoente + 1);
        }
    } else {
        r = digitos.left(1);
        if (digitos.size() > 1)
            r += QLatin1Char(',') + digitos.mid(1);
        r += QLatin1Char('E') + QString::number(expoente);
    }
    return negativo ? QLatin1Char('-') + r : r;
}

std::vector<Value> linhaLivro(const OrigemLinha &o)
{
    const QString forma = o.formaFarma.left(3);
    const auto texto = [](const QString &t, int largura) { return Value::text(cut(t, largura)); };
    return {
        texto(o.dcb, 15),
        texto(o.dcbConfere ? o.descricaoDcb : cut(o.componente, 40), 60),
        Value::text(QStringLiteral("-")),
        texto(forma + QStringLiteral(" e ") + textoQuantidade(o.qdeDig) + QLatin1Char(' ') + o.unidDig, 60),
        texto(o.numeroNotificacao, 30),
        Value::date(o.dataPrescricao),
        texto(o.medico, 50),
        texto(o.crm, 10),
        texto(QString::number(o.prescritas) + QLatin1Char(' ') + forma, 30),
        texto(QString::number(o.dispensadas) + QLatin1Char(' ') + forma, 30),
        texto(o.estacao, 2),
        texto(QString::number(o.npedido), 10),
        texto(QString::number(o.nformula), 2),
        texto(o.cnpj, 14),
    };
}

QString insertLinhaLivro()
{
    return QStringLiteral("INSERT INTO VELIX6 (") + columnList(QStringLiteral("VELIX6"))
           + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
}

QString updatePrescrita()
{
    return QStringLiteral(
        "UPDATE PEDIFORM SET QDE_CAPS_PRESCRITA = ? WHERE ESTACAO = ? AND NPEDIDO = ? AND NFORMULA = ?");
}

} // namespace velix
