#pragma once
// Reading the amounts that the sale windows show.
#include <QString>

namespace NumerosVenta {
// The number an amount text stands for, read as the program writes amounts
// (Formatos::kImporte): "1,234.50" or "1234.5", at most two decimals.
// *ok false and 0 when the text is no such number.
double leerImporte(const QString &texto, bool *ok = nullptr);
} // namespace NumerosVenta
