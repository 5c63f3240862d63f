// crear_base RUTA: creates a new club database at RUTA with every table and
// the rows that ship with it. Refuses to overwrite an existing file.
// crear_base --servidor CLUB.INI: the same on the database server that
// section [base] of that club.ini names (motor=postgresql, host, port,
// database, user; the password comes from ~/.pgpass or PGPASSFILE).
// Refuses a database that already holds the club's tables.
// crear_base --servidor CLUB.INI --desde RUTA: moves the club of the file at
// RUTA into that server's empty database instead of the shipped rows.
// crear_base RUTA --desde-servidor CLUB.INI: writes the club kept on that
// server into a new file at RUTA.
#include "ConfigPrograma.h"
#include "db/Conexion.h"
#include "db/Esquema.h"
#include "db/Mudanza.h"
#include "platform/ArchivosPrivados.h"
#include "platform/Formatos.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

namespace {

const char *const kUso = "uso: crear_base RUTA\n"
                         "       crear_base --servidor CLUB.INI [--desde RUTA/db_main.mdb]\n"
                         "       crear_base RUTA --desde-servidor CLUB.INI\n";

// Row counts as the program writes numbers: "3,867,812".
QString miles(qint64 n) { return Formatos::texto(static_cast<double>(n), {0, true, false, 15}); }

QString donde(const DatosServidor &d)
{
    QString s = QStringLiteral("la base '%1' del servidor '%2'")
                    .arg(d.base, d.host.isEmpty() ? QStringLiteral("local") : d.host);
    if (!d.puerto.isEmpty())
        s += QStringLiteral(" (puerto %1)").arg(d.puerto);
    if (!d.esquema.isEmpty())
        s += QStringLiteral(", esquema '%1'").arg(d.esquema);
    return s;
}

// Prints where a move stands: at each stage and table, and about once a
// second within a long one.
class Progreso {
public:
    explicit Progreso(QTextStream &out) : m_out(out) { m_reloj.start(); }
    void operator()(const Mudanza::Avance &a)
    {
        const bool otra = a.etapa != m_etapa || a.tabla != m_tabla || !m_ultimo.isValid();
        if (!otra && m_ultimo.elapsed() < 1000)
            return;
        m_etapa = a.etapa;
        m_tabla = a.tabla;
        m_ultimo.start();
        const int porciento = a.total > 0 ? static_cast<int>(a.hechas * 100 / a.total) : 100;
        const QString filas =
            QStringLiteral(": %1 de %2 filas (%3 %)").arg(miles(a.hechas), miles(a.total)).arg(porciento);
        QString que;
        switch (a.etapa) {
        case Mudanza::Avance::Copia: que = QStringLiteral("Copiando ") + a.tabla + filas; break;
        case Mudanza::Avance::Completar:
            que = QStringLiteral("Creando índices, disparadores y recuentos de reservas...");
            break;
        case Mudanza::Avance::Comprobacion: que = QStringLiteral("Comprobando ") + a.tabla + filas; break;
        case Mudanza::Avance::Estadisticas:
            que = QStringLiteral("Datos confirmados; el servidor calcula sus estadísticas...");
            break;
        }
        m_out << QStringLiteral("[%1 s] ").arg(m_reloj.elapsed() / 1000) << que << Qt::endl;
    }

private:
    QTextStream &m_out;
    QElapsedTimer m_reloj;
    QElapsedTimer m_ultimo;
    Mudanza::Avance::Etapa m_etapa = Mudanza::Avance::Copia;
    QString m_tabla;
};

void imprimirComparacion(QTextStream &out, const QList<Mudanza::Comparacion> &tablas, qint64 segundos)
{
    out << QStringLiteral("%1 %2 %3  %4  %5\n")
               .arg(QStringLiteral("Tabla"), -28)
               .arg(QStringLiteral("Filas origen"), 13)
               .arg(QStringLiteral("Filas destino"), 13)
               .arg(QStringLiteral("Suma origen"), -16)
               .arg(QStringLiteral("Suma destino"), -16);
    qint64 filas = 0;
    for (const Mudanza::Comparacion &c : tablas) {
        filas += c.filasDestino;
        const QString estado = c.igual()     ? QStringLiteral("igual")
                               : c.recontada ? QStringLiteral("recontada")
                                             : QStringLiteral("DISTINTA");
        out << QStringLiteral("%1 %2 %3  %4  %5  %6\n")
                   .arg(c.tabla, -28)
                   .arg(miles(c.filasOrigen), 13)
                   .arg(miles(c.filasDestino), 13)
                   .arg(c.sumaOrigen, c.sumaDestino, estado);
    }
    out << tablas.size() << " tablas, " << miles(filas) << " filas, en " << segundos << " s." << Qt::endl;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The new database and its logs are readable by their user only.
    ArchivosPrivados::desdeAhora();
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    // Each option takes the value after it; what is left is the file.
    const auto opcion = [&args](const QString &nombre, QString &valor) {
        const qsizetype i = args.indexOf(nombre);
        if (i < 0 || i + 1 >= args.size())
            return false;
        valor = args.at(i + 1);
        args.remove(i, 2);
        return true;
    };
    QString ini, desde;
    const bool servidor = opcion(QStringLiteral("--servidor"), ini);
    const bool mudanza = opcion(QStringLiteral("--desde"), desde);
    const bool regreso = opcion(QStringLiteral("--desde-servidor"), ini);
    const bool valido = servidor ? !regreso && args.isEmpty()
                                 : !mudanza && args.size() == 1 && !args.at(0).startsWith(QLatin1String("--"));
    if (!valido) {
        err << kUso;
        return 2;
    }
    DatosServidor d;
    if ((servidor || regreso) && !ConfigPrograma::baseEnServidor(ini, d)) {
        err << "El archivo " << ini << " no tiene la sección [base] con motor=postgresql.\n";
        return 2;
    }
    QElapsedTimer reloj;
    reloj.start();
    Progreso progreso(err);
    try {
        if (servidor && mudanza) {
            err << "Copiando el club de " << desde << " a " << donde(d) << " ..." << Qt::endl;
            const QList<Mudanza::Comparacion> r = Mudanza::alServidor(desde, d, std::ref(progreso));
            out << "Se crearon las tablas del club en " << donde(d) << " y se copiaron en ellas todas las filas de "
                << desde << ":\n";
            imprimirComparacion(out, r, reloj.elapsed() / 1000);
        } else if (servidor) {
            Esquema::crearBaseServidor(d);
            out << "Se crearon las tablas del club en " << donde(d)
                << " con las filas iniciales: el usuario admin (contraseña admin), los estados de reserva, los "
                   "conceptos de caja del sistema y los numeradores. Aún no tiene canchas, horarios, precios, "
                   "productos ni conceptos de caja propios."
                << Qt::endl;
        } else if (regreso) {
            const QString ruta = args.at(0);
            err << "Copiando el club de " << donde(d) << " al archivo " << ruta << " ..." << Qt::endl;
            const QList<Mudanza::Comparacion> r = Mudanza::alArchivo(d, ruta, std::ref(progreso));
            out << "Se creó el archivo " << ruta << " con todas las filas de " << donde(d) << ":\n";
            imprimirComparacion(out, r, reloj.elapsed() / 1000);
        } else {
            Esquema::crearBase(args.at(0));
        }
    } catch (const DbError &e) {
        err << "Error: " << e.numero() << " - " << e.descripcion() << "\n";
        if (mudanza || regreso)
            err << "No se copió nada.\n";
        return 1;
    }
    return 0;
}
