#include "book/periodo.h"

#include "book/prepara.h"
#include "data/dataset.h"
#include "data/udm.h"
#include "data/udm2.h"
#include "platform/errors.h"
#include "platform/modal.h"
#include "platform/programa.h"

#include <QRegularExpression>

namespace velix {
namespace {

struct Mes {
    const char *nome;  // UTF-8
    int numero;
    int ultimoDia;     // 0: February
};

const Mes kMeses[] = {
    {"JANEIRO", 1, 31},  {"FEVEREIRO", 2, 0},  {"MARÇO", 3, 31},     {"MARCO", 3, 31},    {"ABRIL", 4, 30},
    {"MAIO", 5, 31},     {"JUNHO", 6, 30},     {"JULHO", 7, 31},     {"AGOSTO", 8, 31},   {"SETEMBRO", 9, 30},
    {"OUTUBRO", 10, 31}, {"NOVEMBRO", 11, 30}, {"DEZEMBRO", 12, 31},
};

QString doisDigitos(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString dia(int d, int mes, const QString &ano)
{
    return doisDigitos(d) + QLatin1Char('/') + doisDigitos(mes) + QLatin1Char('/') + ano;
}

bool dataValida(const QString &texto)
{
    try {
        converteData(texto);
        return true;
    } catch (const ConvertError &) {
        return false;
    }
}

} // namespace

DiasDoMes diasDoMes(const QString &mes, const QString &ano, Fevereiro fevereiro)
{
    for (const Mes &m : kMeses) {
        if (mes != QString::fromUtf8(m.nome))
            continue;
        int ultimo = m.ultimoDia;
        if (ultimo == 0) {
            const QString dia29 = dia(29, 2, ano);
            ultimo = fevereiro == Fevereiro::Calendario && dataValida(dia29) ? 29 : 28;
        }
        return {dia(1, m.numero, ano), dia(ultimo, m.numero, ano)};
    }
    return {};
}

QDate converteData(const QString &texto)
{
    static const QRegularExpression forma(QStringLiteral("^ *(\\d{1,2})/(\\d{1,2})/(\\d{1,4}) *$"));
    const QRegularExpressionMatch m = forma.match(texto);
    QDate data;
    if (m.hasMatch()) {
        int ano = m.captured(3).toInt();
        if (m.captured(3).size() <= 2) {
            // Within fifty years of the current year.
            const int atual = QDate::currentDate().year();
            ano += atual - atual % 100;
            if (ano < atual - 50)
                ano += 100;
            else if (ano >= atual + 50)
                ano -= 100;
        }
        if (ano >= 1)
            data = QDate(ano, m.captured(2).toInt(), m.captured(1).toInt());
    }
    if (!data.isValid())
        throw ConvertError(QStringLiteral("'%1' is not a valid date").arg(texto));
    return data;
}

void actPrepararLivroExecute(LivroView &janela)
{
    TDM &dm = DM();
    dm.AbreDadosGer();
    const QString ano = cut(dm.DadosGer.fieldByName(QStringLiteral("Exercicio")).asString(), 4);
    const QString mes = cut(dm.DadosGer.fieldByName(QStringLiteral("Mes")).asString(), 10);
    dm.DadosGer.close();
    if (ano.isEmpty() || mes.isEmpty()) {
        ShowMessage(QStringLiteral("Favor configurar o período do livro antes de continuar."));
        return;
    }

    const DiasDoMes dias = diasDoMes(mes, ano);
    const QDate primeiro = converteData(dias.primeiro);
    const QDate ultimo = converteData(dias.ultimo);

    ClientDataSet &periodo = DM2().Periodo;
    periodo.open();
    if (periodo.isEmpty())
        periodo.insert();
    else
        periodo.edit();
    periodo.fieldByName(QStringLiteral("DATAINICIAL")).setAsDate(primeiro);
    periodo.fieldByName(QStringLiteral("DATAFINAL")).setAsDate(ultimo);
    periodo.post();

    prepara_velix6(janela, periodo.fieldByName(QStringLiteral("DATAINICIAL")).asDateTime(),
                   periodo.fieldByName(QStringLiteral("DATAFINAL")).asDateTime());

    periodo.close();
    janela.Habilita_Botoes_Relatorios();
}

} // namespace velix
