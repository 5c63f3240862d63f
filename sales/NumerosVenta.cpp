#include "NumerosVenta.h"

#include "platform/Formatos.h"

double NumerosVenta::leerImporte(const QString &texto, bool *ok) { return Formatos::numero(texto, ok); }
