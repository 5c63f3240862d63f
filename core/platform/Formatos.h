#pragma once
// Number and date texts of the program, the same whatever the machine's
// locale: amounts "###,###,##0.00", dates dd/MM/yyyy, moments
// dd/MM/yyyy HH:mm:ss, and numbers typed with "." as decimal separator.
#include <QDate>
#include <QDateTime>
#include <QString>

namespace Formatos {
// 1234567.5 -> "1,234,567.50"; -1234.5 -> "-1,234.50" (rounded half away from zero).
QString importe(double valor);
// "dd/MM/yyyy"; "" for an invalid date.
QString fecha(const QDate &d);
// "dd/MM/yyyy HH:mm:ss"; "" for an invalid moment.
QString momento(const QDateTime &m);
// A plain number ("-12.5", "3"; no thousands separators, no exponent).
// *ok tells whether the text was one; 0 when it was not.
double numero(const QString &texto, bool *ok = nullptr);
// A day-first date "dd/MM/yyyy" (one-digit day and month accepted);
// an invalid date when the text is not one.
QDate leerFecha(const QString &texto);
} // namespace Formatos
