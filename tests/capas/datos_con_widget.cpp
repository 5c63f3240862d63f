// Compiled against the data library only; it must not compile: data files
// cannot reach the widget headers.
#include "db/Conexion.h"

#include <QWidget>

QWidget *ventanaDesdeDatos() { return nullptr; }
