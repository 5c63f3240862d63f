#pragma once
// Reading the amounts that the sale windows show.
#include <QString>

namespace NumerosVenta {
// The number an amount text stands for: "1,234.50" or "1234.5" (an optional
// "-", thousands grouped by "," in threes or not grouped, "." decimals).
// *ok false and 0 when the text is no such number.
double leerImporte(const QString &texto, bool *ok = nullptr);
} // namespace NumerosVenta
