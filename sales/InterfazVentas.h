#pragma once
// The client picker with its code box, as the sale windows show it.
#include <QString>

class QLineEdit;
class DataCombo;

namespace InterfazVentas {
// Fills combo with every client by number (nombre shown, id bound) and ties
// it to caja: leaving the box chooses the client with that number (an
// unknown number empties both); choosing a client writes its number.
void enlazarCliente(QLineEdit *caja, DataCombo *combo);
} // namespace InterfazVentas
