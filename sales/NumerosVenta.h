#pragma once
// Reading the amounts and quantities that the sale windows show or take.
#include <QString>

namespace NumerosVenta {
// The number an amount or quantity text stands for, typed ("0.125", ".5",
// "1,234.5") or shown ("1,234.50"): Formatos::numero, the program's one
// reading of typed numbers. *ok false and 0 when the text is no number.
double leerImporte(const QString &texto, bool *ok = nullptr);
} // namespace NumerosVenta
