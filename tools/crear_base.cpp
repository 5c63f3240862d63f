// crear_base RUTA: creates a new club database at RUTA with every table and
// the rows that ship with it. Refuses to overwrite an existing file.
#include "db/Conexion.h"
#include "db/Esquema.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "uso: crear_base RUTA\n";
        return 2;
    }
    try {
        Esquema::crearBase(QString::fromLocal8Bit(argv[1]));
    } catch (const DbError &e) {
        err << "Error: " << e.numero() << " - " << e.descripcion() << "\n";
        return 1;
    }
    return 0;
}
