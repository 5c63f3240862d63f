// The same file without the widget header compiles against the data library:
// the failing twin fails because of the widget, not of the setup.
#include "db/Conexion.h"

#include <QString>

QString textoDesdeDatos() { return QStringLiteral("datos"); }
