// crear_base RUTA: creates a new club database at RUTA with every table and
// the rows that ship with it. Refuses to overwrite an existing file.
// crear_base --servidor CLUB.INI: the same on the database server that
// section [base] of that club.ini names (motor=postgresql, host, port,
// database, user; the password comes from ~/.pgpass or PGPASSFILE).
// Refuses a database that already holds the club's tables.
#include "ConfigPrograma.h"
#include "db/Conexion.h"
#include "db/Esquema.h"
#include "platform/ArchivosPrivados.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The new database and its logs are readable by their user only.
    ArchivosPrivados::desdeAhora();
    QTextStream err(stderr);
    const bool servidor = argc == 3 && QByteArray(argv[1]) == "--servidor";
    if (argc != 2 && !servidor) {
        err << "uso: crear_base RUTA\n       crear_base --servidor CLUB.INI\n";
        return 2;
    }
    try {
        if (servidor) {
            DatosServidor d;
            if (!ConfigPrograma::baseEnServidor(QString::fromLocal8Bit(argv[2]), d)) {
                err << "El archivo no tiene la sección [base] con motor=postgresql.\n";
                return 2;
            }
            Esquema::crearBaseServidor(d);
        } else {
            Esquema::crearBase(QString::fromLocal8Bit(argv[1]));
        }
    } catch (const DbError &e) {
        err << "Error: " << e.numero() << " - " << e.descripcion() << "\n";
        return 1;
    }
    return 0;
}
