#pragma once
// Pieces the sale windows share: the client picker with its code box, and
// reading the amounts the sale grids show.
#include <QString>

class QLineEdit;
class DataCombo;

namespace EnlacesVenta {
// Fills combo with every client by number (nombre shown, id bound) and ties
// it to caja: leaving the box chooses the client with that number (an
// unknown number empties both); choosing a client writes its number.
void enlazarCliente(QLineEdit *caja, DataCombo *combo);
// The number an amount text stands for: "1,234.50" or "1234.5" (an optional
// "-", thousands grouped by "," in threes or not grouped, "." decimals).
// *ok false and 0 when the text is no such number.
double leerImporte(const QString &texto, bool *ok = nullptr);
} // namespace EnlacesVenta
