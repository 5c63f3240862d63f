#include "Respaldo.h"

#include "Module.h"
#include "db/Esquema.h"
#include "db/MotorSqlcipher.h"
#include "platform/ArchivosPrivados.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <memory>
#include <sqlite3.h>
#include <system_error>

namespace Respaldo {

QString conDetalle(const QString &causa, const QString &detalle)
{
    return detalle.trimmed().isEmpty() ? causa : causa + QStringLiteral("\nDetalle: ") + detalle.trimmed();
}

namespace {

std::filesystem::path camino(const QString &ruta) { return QFile::encodeName(ruta).toStdString(); }

// True when both paths name one file: the same device and inode, whatever
// folder links, hard links or spellings lead to it. A path that names no
// file is no other file.
bool mismoArchivo(const QString &a, const QString &b)
{
    std::error_code ec;
    return std::filesystem::equivalent(camino(a), camino(b), ec) && !ec;
}

// True when destino names the database file ruta or one of the log files
// the engine keeps beside it.
bool esArchivoDeLaBase(const QString &destino, const QString &ruta)
{
    for (const QString &archivo : MotorSqlcipher::conLogs(ruta))
        if (mismoArchivo(destino, archivo))
            return true;
    return false;
}

[[noreturn]] void fallaCopia(int rc)
{
    const int primario = rc & 0xff;
    const QString detalle = QString::fromUtf8(sqlite3_errstr(rc));
    if (primario == SQLITE_BUSY || primario == SQLITE_LOCKED)
        throw DbError(3260, conDetalle(QStringLiteral("La base de datos está bloqueada por otro proceso: no se pudo "
                                                      "copiar."),
                                       detalle));
    if (primario == SQLITE_FULL)
        throw DbError(3026,
                      conDetalle(QStringLiteral("No hay espacio suficiente en el disco para la copia."), detalle));
    throw DbError(3000, conDetalle(QStringLiteral("No se pudo copiar la base de datos."), detalle));
}

// Pages of the program's files: a file of the engine is made of whole ones.
constexpr qint64 kPagina = 4096;

// The tables of the database file c with their columns, in lower case.
Estructura estructura(Conexion &c)
{
    Estructura e;
    for (const QString &t : c.tablas())
        e[t.toLower()] = c.columnas(t);
    return e;
}

} // namespace

void renombrar(const QString &origen, const QString &destino)
{
    std::error_code ec;
    std::filesystem::rename(camino(origen), camino(destino), ec);
    if (ec)
        throw DbError(3000, conDetalle(QStringLiteral("No se pudo renombrar '%1' como '%2'.").arg(origen, destino),
                                       QString::fromLocal8Bit(ec.message().c_str())));
}

void copiar(Conexion &c, const QString &destino, const QString &clave)
{
    if (!c.handle())
        throw DbError(3000, QStringLiteral("La base de datos no es un archivo: se copia con las herramientas del "
                                           "servidor."));
    if (esArchivoDeLaBase(destino, c.ruta()))
        throw DbError(3000, QStringLiteral("La copia no puede reemplazar la base de datos en uso."));
    // The copy is made beside its destination and renamed at the end, so an
    // earlier copy with that name survives a failed one.
    const QString temporal = destino + QStringLiteral(".copiando");
    MotorSqlcipher::borrarConLogs(temporal);
    try {
        {
            std::unique_ptr<Conexion> copia;
            try {
                copia.reset(Conexion::crear(temporal, clave));
            } catch (const DbError &e) {
                throw DbError(e.numero(), conDetalle(QStringLiteral("No se pudo crear el archivo de la copia en '%1'.")
                                                         .arg(QFileInfo(destino).absolutePath()),
                                                     e.descripcion()));
            }
            // Still empty: its log will be made with its permissions.
            ArchivosPrivados::hacerPrivado(temporal);
            sqlite3_backup *b = sqlite3_backup_init(copia->handle(), "main", c.handle(), "main");
            if (!b)
                fallaCopia(sqlite3_errcode(copia->handle()));
            // All pages in one step: one read of one committed state.
            int rc = SQLITE_OK;
            for (int intento = 0; intento < 40; ++intento) {
                rc = sqlite3_backup_step(b, -1);
                if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
                    break;
                sqlite3_sleep(50);
            }
            const int fin = sqlite3_backup_finish(b);
            if (rc != SQLITE_DONE)
                fallaCopia(rc);
            if (fin != SQLITE_OK)
                fallaCopia(fin);
        }
        renombrar(temporal, destino);
    } catch (...) {
        MotorSqlcipher::borrarConLogs(temporal);
        throw;
    }
}

QStringList tablas(Conexion &c)
{
    QStringList l;
    for (const QString &t : c.tablas())
        if (!Esquema::esRecuento(t) && estructuraConocida().contains(t.toLower()))
            l << t;
    return l;
}

namespace {

std::function<void(PasoRestauracion)> g_antesDePaso;

// The copy being prepared, and the checked copy ready to take ruta's place.
QString enPreparacion(const QString &ruta) { return ruta + QStringLiteral(".preparando"); }
QString lista(const QString &ruta) { return ruta + QStringLiteral(".restaurando"); }

// Files beside ruta whose names follow patron, which starts with ruta's base name.
QStringList archivosJunto(const QString &ruta, const QString &patron)
{
    const QFileInfo info(ruta);
    const QDir carpeta = info.absoluteDir();
    QStringList l;
    for (const QString &n : carpeta.entryList({info.completeBaseName() + patron}, QDir::Files))
        l << carpeta.filePath(n);
    return l;
}

QStringList guardadas(const QString &ruta) { return archivosJunto(ruta, QStringLiteral("_reemplazada_*.mdb")); }

// Keeps ruta under a new name: a second name of the same file (a hard link)
// or, where the file system has none, a copy. A kept name that already is
// ruta (made by an earlier try) is used as it is. Returns the kept name.
QString guardar(const QString &ruta, const QDateTime &momento)
{
    for (const QString &g : guardadas(ruta))
        if (mismoArchivo(g, ruta))
            return g;
    const QString destino = nombreParaGuardar(ruta, momento);
    std::error_code ec;
    std::filesystem::create_hard_link(camino(ruta), camino(destino), ec);
    if (!ec) {
        // A file an earlier version made is readable by others: the kept
        // one (the same file) is not, whatever it was.
        ArchivosPrivados::hacerPrivado(destino);
        return destino;
    }
    // Copied under a name of its own first, so that a kept name always
    // holds a whole file.
    const QString parcial = destino + QStringLiteral(".copiando");
    QFile::remove(parcial);
    QFile original(ruta);
    if (!original.copy(parcial)) {
        QFile::remove(parcial);
        throw DbError(3000, conDetalle(QStringLiteral("No se pudo guardar la base de datos como '%1'.").arg(destino),
                                       original.errorString()));
    }
    ArchivosPrivados::hacerPrivado(parcial);
    renombrar(parcial, destino);
    return destino;
}

// A log left beside the closed file belongs to a connection still open on
// it elsewhere: its writes would be lost with the file.
void exigirSinLog(const QString &ruta)
{
    if (QFileInfo(ruta + QStringLiteral("-wal")).size() > 0)
        throw DbError(3260, QStringLiteral("La base de datos está en uso por otro programa: ciérrelo y vuelva a "
                                           "intentarlo."));
}

// The last steps, from a ready copy on: ruta is kept, then replaced in one
// rename.
QString terminar(const QString &ruta, const QDateTime &momento)
{
    paso(PasoRestauracion::Guardar);
    const QString guardada = guardar(ruta, momento);
    paso(PasoRestauracion::Reemplazar);
    // The index and the empty log beside the old file describe it, not the
    // restored one.
    QFile::remove(ruta + QStringLiteral("-shm"));
    QFile::remove(ruta + QStringLiteral("-wal"));
    renombrar(lista(ruta), ruta);
    return guardada;
}

// Takes back a restore that is not to be finished: its copies go, and so
// does a kept name that is only ruta under another name.
void deshacer(const QString &ruta)
{
    MotorSqlcipher::borrarConLogs(enPreparacion(ruta));
    MotorSqlcipher::borrarConLogs(lista(ruta));
    for (const QString &g : guardadas(ruta))
        if (mismoArchivo(g, ruta))
            QFile::remove(g);
}

} // namespace

void antesDePaso(std::function<void(PasoRestauracion)> f) { g_antesDePaso = std::move(f); }

void paso(PasoRestauracion p)
{
    if (g_antesDePaso)
        g_antesDePaso(p);
}

QString nombreParaGuardar(const QString &ruta, const QDateTime &momento)
{
    const QFileInfo info(ruta);
    const QString base = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                         QStringLiteral("_reemplazada_") + momento.toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QString destino = base + QStringLiteral(".mdb");
    for (int n = 2; QFileInfo::exists(destino); ++n)
        destino = base + QStringLiteral("_%1.mdb").arg(n);
    return destino;
}

DbError noEsCopia(const QString &causa, const QString &detalle)
{
    return DbError(3343, conDetalle(QStringLiteral("El archivo elegido no es una copia de la base de datos del club") +
                                        (causa.isEmpty() ? QString() : QStringLiteral(": ") + causa) + QLatin1Char('.'),
                                    detalle));
}

DbError copiaDanada(const QString &detalle)
{
    return DbError(3049,
                   conDetalle(QStringLiteral("La copia está dañada o incompleta: no se puede restaurar."), detalle));
}

void exigirArchivoConDatos(const QString &archivo)
{
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(
            3024, conDetalle(QStringLiteral("No se pudo leer el archivo elegido '%1'.").arg(archivo), f.errorString()));
    if (f.size() == 0)
        throw noEsCopia(QStringLiteral("el archivo está vacío"));
}

const Estructura &estructuraConocida()
{
    // Read from a database made as crear_base makes one, in memory.
    static const Estructura conocida = [] {
        std::unique_ptr<Conexion> c(Conexion::crear(QStringLiteral(":memory:"), Esquema::claveBase()));
        c->executeScript(Esquema::textoBase());
        return estructura(*c);
    }();
    return conocida;
}

void exigirVersionConocida(const Estructura &copia, int version)
{
    const Estructura &conocida = estructuraConocida();
    auto masNueva = [](const QString &que) {
        return DbError(3041, QStringLiteral("La copia fue hecha por una versión más nueva del programa (%1): "
                                            "actualice el programa para restaurarla.")
                                 .arg(que));
    };
    if (version > Esquema::kVersion)
        throw masNueva(QStringLiteral("su esquema es de la versión %1 y esta versión conoce hasta la %2")
                           .arg(version)
                           .arg(Esquema::kVersion));
    for (auto t = copia.cbegin(); t != copia.cend(); ++t) {
        const auto c = conocida.constFind(t.key().toLower());
        if (c == conocida.cend())
            throw masNueva(QStringLiteral("tiene la tabla '%1', que esta versión no conoce").arg(t.key()));
        for (const QString &columna : t.value())
            if (!c->contains(columna.toLower()))
                throw masNueva(QStringLiteral("tiene la columna '%1' de la tabla '%2', que esta versión no conoce")
                                   .arg(columna, t.key()));
    }
}

QString prepararRestauracion(const QString &origen, const QString &ruta, const QString &clave,
                             const QStringList &tablasExigidas)
{
    // The live file itself is no copy: read as a file it would lack the
    // writes still in its log.
    if (esArchivoDeLaBase(origen, ruta))
        throw DbError(3000, QStringLiteral("El archivo elegido es la base de datos en uso, no una copia de "
                                           "seguridad."));
    exigirArchivoConDatos(origen);
    // The chosen file itself is never opened for writing: its copy is checked.
    const QString preparada = enPreparacion(ruta);
    MotorSqlcipher::borrarConLogs(preparada);
    try {
        paso(PasoRestauracion::Copiar);
        QFile elegido(origen);
        if (!elegido.copy(preparada))
            throw DbError(3024, conDetalle(QStringLiteral("No se pudo leer el archivo elegido '%1'.").arg(origen),
                                           elegido.errorString()));
        // The copy took the chosen file's permissions; it becomes the
        // club's database.
        ArchivosPrivados::hacerPrivado(preparada);
        paso(PasoRestauracion::Comprobar);
        // A file of the engine is whole pages: more than one page and a
        // piece is a copy cut short.
        const qint64 tamano = QFileInfo(preparada).size();
        const bool cortada = tamano > kPagina && tamano % kPagina != 0;
        std::unique_ptr<Conexion> copia;
        try {
            copia.reset(Conexion::abrir(preparada, clave));
        } catch (const DbError &e) {
            if (e.numero() == 3049 || cortada)
                throw copiaDanada(e.descripcion());
            throw noEsCopia(QStringLiteral("no se puede leer con la clave del programa"), e.descripcion());
        }
        if (cortada)
            throw copiaDanada(QStringLiteral("el archivo no termina en una página entera"));
        // Any error of the engine from here on is a damaged page.
        Estructura tiene;
        int version = 0;
        QString dano;
        try {
            const Recordset control = copia->openRecordset(QStringLiteral("PRAGMA quick_check"));
            if (control.eof() || control.campo(0).texto() != QLatin1String("ok"))
                dano = control.eof() ? QStringLiteral("sin respuesta del control") : control.campo(0).texto();
            tiene = estructura(*copia);
            version = Esquema::versionDe(*copia);
        } catch (const DbError &e) {
            dano = e.descripcion();
        }
        if (!dano.isEmpty())
            throw copiaDanada(dano);
        for (const QString &t : tablasExigidas)
            if (!tiene.contains(t.toLower()))
                throw noEsCopia(QStringLiteral("le falta la tabla '%1'").arg(t));
        exigirVersionConocida(tiene, version);
    } catch (const DbError &) {
        MotorSqlcipher::borrarConLogs(preparada);
        throw;
    }
    // Closing the last connection has moved its log into the file.
    QFile::remove(preparada + QStringLiteral("-shm"));
    return preparada;
}

QString reemplazar(const QString &ruta, const QString &preparada, const QDateTime &momento)
{
    try {
        exigirSinLog(ruta);
        paso(PasoRestauracion::Marcar);
        renombrar(preparada, lista(ruta));
        return terminar(ruta, momento);
    } catch (const DbError &) {
        deshacer(ruta);
        throw;
    }
}

RestauracionPendiente completarRestauracion(const QString &ruta, const QDateTime &momento)
{
    for (const QString &parcial : archivosJunto(ruta, QStringLiteral("_reemplazada_*.mdb.copiando")))
        QFile::remove(parcial);
    // A copy not yet checked and marked was never decided on.
    const bool aMedias = QFileInfo::exists(enPreparacion(ruta));
    MotorSqlcipher::borrarConLogs(enPreparacion(ruta));
    if (!QFileInfo::exists(lista(ruta)))
        return aMedias ? RestauracionPendiente::Deshecha : RestauracionPendiente::Ninguna;
    try {
        if (QFileInfo::exists(ruta)) {
            exigirSinLog(ruta);
            terminar(ruta, momento);
        } else {
            renombrar(lista(ruta), ruta);
        }
        return RestauracionPendiente::Completada;
    } catch (const DbError &) {
        deshacer(ruta);
        return RestauracionPendiente::Deshecha;
    }
}

void borrarOperaciones()
{
    Transaccion t(*gConexion);
    for (const char *s : {"DELETE FROM caja_resumen_operaciones", "DELETE FROM caja_movimientos",
                          "DELETE FROM caja_cabeza", "UPDATE t_numeradores SET numero_siguiente = 1 WHERE id = 'CJA'",
                          "DELETE FROM caja_resumen_stock", "DELETE FROM movimientos_stock"})
        gConexion->execute(QLatin1String(s));
    // Row by row, the triggers that count the reservations would take long
    // on years of them: the table is emptied at once without them, and the
    // counts they keep with it.
    gConexion->vaciarSinDisparadores(QStringLiteral("reservas"));
    for (const QString &r : gConexion->tablas())
        if (Esquema::esRecuento(r))
            gConexion->execute(QStringLiteral("DELETE FROM ") + r);
    for (const char *s : {"DELETE FROM ventas", "DELETE FROM ventas_items", "UPDATE productos SET existencia = 0"})
        gConexion->execute(QLatin1String(s));
    t.commit();
}

QString temporalCompactacion(const QString &ruta) { return MotorSqlcipher::temporalCompactacion(ruta); }

void compactar(const QString &ruta, const QString &clave)
{
    std::unique_ptr<Conexion>(Conexion::abrir(ruta, clave))->compactar();
}

} // namespace Respaldo

namespace {

// The file's backup and restore: the engine's online copy, and a checked
// copy renamed over the live file.
class CopiasArchivo : public CopiasDeBase {
public:
    CopiasArchivo(Conexion &c, QString clave) : m_c(c), m_ruta(c.ruta()), m_clave(std::move(clave)) {}
    void copiar(const QString &destino) override { Respaldo::copiar(m_c, destino, m_clave); }
    void prepararRestauracion(const QString &origen) override
    {
        m_preparada = Respaldo::prepararRestauracion(origen, m_ruta, m_clave, Respaldo::tablas(m_c));
    }
    QString reemplazar(const QString &ruta, const QDateTime &momento) override
    {
        return Respaldo::reemplazar(ruta, m_preparada, momento);
    }

private:
    Conexion &m_c; // until its connection is closed
    QString m_ruta;
    QString m_clave;
    QString m_preparada;
};

} // namespace

std::unique_ptr<CopiasDeBase> MotorSqlcipher::copias(Conexion &c, const QString &clave)
{
    return std::make_unique<CopiasArchivo>(c, clave);
}
