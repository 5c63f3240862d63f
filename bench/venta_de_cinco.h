#pragma once

#include "dbVentas.h"

// The sale the benchmarks write as the sale window does: five lines of the
// products P0011 to P0015, each with its movement and stock decrement.
inline dbVentas::Venta ventaDeCinco()
{
    dbVentas::Venta v;
    v.clientes_id = 1;
    v.t_usuarios_codigo = QStringLiteral("admin");
    for (int l = 0; l < 5; ++l) {
        v.lineas.append({QString::asprintf("P%04d", l + 11), 1.5, 1234.5, 900});
        v.importe_total += 1.5 * 1234.5;
    }
    return v;
}
