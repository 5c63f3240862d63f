#include "InterfazVentas.h"

#include "dbVentas.h"
#include "platform/DataCombo.h"

namespace InterfazVentas {

void enlazarCliente(QLineEdit *caja, DataCombo *combo)
{
    combo->cargar(dbVentas::clientes, QStringLiteral("nombre"), QStringLiteral("id"));
    combo->enlazarCaja(caja);
}

} // namespace InterfazVentas
