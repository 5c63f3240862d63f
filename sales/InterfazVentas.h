#pragma once
// The client picker with its code box, as the sale windows show it.
#include <QString>

class QLineEdit;
class DataCombo;

namespace InterfazVentas {
// Fills combo with every client by number (nombre shown, id bound) and binds
// caja to it (DataCombo::enlazarCaja).
void enlazarCliente(QLineEdit *caja, DataCombo *combo);
} // namespace InterfazVentas
