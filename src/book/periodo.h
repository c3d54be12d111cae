#pragma once
// The book's period: the month of the pharmacy's registration data turned
// into its first and last day, and the command "Preparar Livro", which stores
// that period in the workstation's interface database and runs the
// preparation.

#include "book/livroview.h"

#include <QDate>
#include <QString>

namespace velix {

/// The first and last day of a month as day/month/year texts ("01/03/2026",
/// "31/03/2026"); both empty for a month not in the table.
struct DiasDoMes {
    QString primeiro;
    QString ultimo;
};

/// How February ends in the month table.
enum class Fevereiro {
    Calendario,  ///< the 29th when "29/02/" + year is a valid date, else the 28th
    Dia28,       ///< always the 28th
};

/// The month table. `mes` is compared exactly (same letters, same case, no
/// blanks trimmed) with JANEIRO, FEVEREIRO, MARÇO or MARCO, ABRIL, MAIO,
/// JUNHO, JULHO, AGOSTO, SETEMBRO, OUTUBRO, NOVEMBRO, DEZEMBRO. Each day is the
/// two-digit day, "/", the two-digit month, "/" and the characters of `ano`
/// as given. ABRIL, JUNHO, SETEMBRO and NOVEMBRO end on the 30th, February as
/// `fevereiro` says, the others on the 31st. Another `mes` gives empty texts,
/// which no date conversion accepts.
DiasDoMes diasDoMes(const QString &mes, const QString &ano, Fevereiro fevereiro = Fevereiro::Calendario);

/// The date of a day/month/year text: day and month of one or two digits,
/// year of one to four digits (a year of one or two digits is taken within
/// fifty years of the current one); blanks around the text are allowed. Throws
/// ConvertError "'<texto>' is not a valid date" otherwise (also for a day
/// that the month or year does not have).
QDate converteData(const QString &texto);

/// "Preparar Livro". Reads the year (EXERCICIO, first 4 characters) and month
/// (MES, first 10 characters) of the pharmacy's registration data
/// (DM().AbreDadosGer(), closed again at once); no row, an empty year or an
/// empty month: the message "Favor configurar o período do livro antes de
/// continuar." and nothing else. A month not in the table, or a year that
/// makes no date, ends the command with ConvertError before anything is
/// stored. Otherwise the first row of PERIODO in the interface database
/// (DM2().Periodo; a new row when the table has none) receives the first and
/// last day in DATAINICIAL and DATAFINAL, stored at once; then
/// prepara_velix6(janela, first day, last day) runs the preparation; at its
/// end Periodo is closed and janela.Habilita_Botoes_Relatorios() is called.
/// Errors of storing the period or of the preparation are not caught (Periodo
/// then stays open and the toolbar is left as it was).
void actPrepararLivroExecute(LivroView &janela);

} // namespace velix
