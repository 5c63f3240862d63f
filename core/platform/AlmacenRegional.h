#pragma once
// The program's regional settings: number, date, time and currency formats,
// kept in regional.ini in the program folder by Windows locale item number.
// An item the file does not hold reads as the system locale's value.
#include <QSet>
#include <QString>

namespace ItemRegional {
constexpr int SeparadorDecimal = 14; // decimal separator
constexpr int SeparadorMiles = 15;   // thousands separator
constexpr int SimboloMoneda = 20;    // currency symbol
constexpr int DecimalMoneda = 22;    // currency decimal separator
constexpr int MilesMoneda = 23;      // currency thousands separator
constexpr int FechaCorta = 31;       // short date format
constexpr int FechaLarga = 32;       // long date format
constexpr int FormatoHora = 4099;    // time format
} // namespace ItemRegional

namespace AlmacenRegional {
// Full path of the settings file.
QString archivo();
// The value of a locale item: the stored one, else the system locale's;
// "" for an item number the store does not know.
QString leer(int item);
// Stores the value of a locale item; false when it could not be written.
bool escribir(int item, const QString &valor);
// Value of the item in the system locale, ignoring the file.
QString valorSistema(int item);

// Tests: writes of these items fail (an empty set ends the failures).
void simularFallos(const QSet<int> &items);
} // namespace AlmacenRegional
