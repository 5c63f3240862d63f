#pragma once
// Number and date texts of the program, the same whatever the machine's
// locale: amounts "###,###,##0.00", dates dd/MM/yyyy, moments
// dd/MM/yyyy HH:mm:ss, and numbers typed with "." as decimal separator.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace Formatos {

// How a number is written: its decimals, whether the integer part is grouped
// by thousands with ",", whether it may be negative, and at most how many
// integer digits it has. The decimal separator is always ".".
struct FormatoNumero {
    int decimales = 2;
    bool miles = true;
    bool negativos = false;
    int digitos = 12;
};
// Amounts as the program shows them: "1,234.50", "-12.00".
inline constexpr FormatoNumero kImporte{2, true, true, 12};
// A price, shown as the amounts are: "1,234.50", never negative.
inline constexpr FormatoNumero kPrecio{2, true, false, 9};
// Whole numbers: "12", "-3".
inline constexpr FormatoNumero kEntero{0, false, true, 9};

// valor written in f, rounded half away from zero as the decimal number it
// stands for (2.675 -> "2.68"); never "-0.00".
QString texto(double valor, const FormatoNumero &f);
// The number a text written in f stands for. Accepted: an optional "-" (only
// when f allows negatives), the integer digits (plain, or grouped by "," in
// threes when f groups them), then "." and 1..f.decimales digits when f has
// decimals. Blanks around are ignored. *ok tells whether the text was one;
// 0 when it was not.
double leer(const QString &texto, const FormatoNumero &f, bool *ok = nullptr);

// 1234567.5 -> "1,234,567.50"; -1234.5 -> "-1,234.50" (texto with kImporte).
QString importe(double valor);
// "dd/MM/yyyy"; "" for an invalid date.
QString fecha(const QDate &d);
// "dd/MM/yyyy HH:mm:ss"; "" for an invalid moment.
QString momento(const QDateTime &m);
// The number a user typed, or a number shown by the program: any plain
// decimal with "." as decimal separator, the integer part plain or grouped
// by "," in threes, an optional sign, blanks around ignored: "0.125", ".5",
// "2.", "-3", "1,234.5", "1,234,567.50". Not numbers: letters, exponents
// ("1e3"), "inf" and "nan", misplaced separators ("1,23", "12,34.5",
// "1.2.3", ","), a lone sign or point, and values beyond the range of a
// double. *ok tells whether the text was one; 0 when it was not. Every box
// or cell where the user types "a number" is read with this.
double numero(const QString &texto, bool *ok = nullptr);
// v rounded half away from zero to the given decimals, as texto rounds it.
double redondear(double v, int decimales = 2);
// What an amount or quantity typed into a box or a grid cell is kept as: the
// text read whole with numero (never with a character left out), rounded to
// the decimals the box shows ("0.125" -> 0.13, "1,500" -> 1500). *ok false
// and 0 when the text is no number ("1,5", "abc", ""). Every box and cell
// where the user types an amount or a quantity is read with this.
double tecleado(const QString &texto, bool *ok = nullptr, int decimales = 2);
// A day-first date "dd/MM/yyyy" (one-digit day and month accepted), as the
// user types it; an invalid date when the text is not one.
QDate leerFecha(const QString &texto);
// The date a value stands for: a date, a moment, or a text that is a date as
// stored ("yyyy-MM-dd", "yyyy-MM-dd HH:mm:ss") or as shown ("dd/MM/yyyy",
// "dd/MM/yyyy HH:mm:ss"); an invalid date for anything else. Helpers that
// take a date as text read it with this.
QDate aFecha(const QVariant &valor);
} // namespace Formatos

// The zero date of the original date type, what a Null date field reads as.
inline QDate fechaCero() { return QDate(1899, 12, 30); }
