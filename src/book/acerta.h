#pragma once
// "Acertar Qde. Caps. Prescrita": fills in the prescribed capsule count of the
// book month's formulas where it is missing and rebuilds the pharmacy's book
// rows, then checks them (no print).

#include "book/livroview.h"

#include <QDate>
#include <QString>

#include <utility>

namespace velix {

/// The first and last day of the book month of the registration data: the
/// year is the first 4 characters of EXERCICIO, the month the first 10 of MES,
/// one of JANEIRO, FEVEREIRO, MARÇO (or MARCO), ABRIL, MAIO, JUNHO, JULHO,
/// AGOSTO, SETEMBRO, OUTUBRO, NOVEMBRO, DEZEMBRO, exactly so (capitals).
/// February always ends on the 28th. Each day is formed as "dd/mm/" + year
/// and read as a day/month/year date: any other month name, or a year that is
/// not a number, gives a text that is not a date and throws ConvertError
/// "'<text>' is not a valid date".
std::pair<QDate, QDate> periodoAcerto(const QString &exercicio, const QString &mes);

/// The command: month from DADOSGER (periodoAcerto, before anything changes),
/// every order of the month, the pharmacy's book rebuilt from the formulas of
/// the store's laboratory of the orders typed "Pedido" with NPED above 0 (the
/// formulas the data module loads for an order), the prescribed count of each
/// formula that gets a row filled in, the rows checked and the error report
/// written and shown when something was found. The rebuild is one
/// transaction, committed before the check; a failure leaves the previous book
/// and PEDIFORM as they were. The window is repainted but processes no other
/// message while it runs.
void Acerta_Caps_Prescrita(LivroView &janela);

} // namespace velix
