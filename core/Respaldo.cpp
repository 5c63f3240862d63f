#include "Respaldo.h"

#include "Module.h"
#include "db/Esquema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <memory>
#include <sqlite3.h>
#include <system_error>

namespace Respaldo {

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
    for (const char *sufijo : {"", "-wal", "-shm", "-journal"})
        if (mismoArchivo(destino, ruta + QLatin1String(sufijo)))
            return true;
    return false;
}

// Removes a database file with the log files the engine keeps beside it.
void borrarArchivoBase(const QString &ruta)
{
    for (const char *sufijo : {"", "-wal", "-shm", "-journal"})
        QFile::remove(ruta + QLatin1String(sufijo));
}

[[noreturn]] void fallaCopia(int rc)
{
    const int primario = rc & 0xff;
    if (primario == SQLITE_BUSY || primario == SQLITE_LOCKED)
        throw DbError(3260, QStringLiteral("El archivo de base de datos está bloqueado por otro proceso"));
    if (primario == SQLITE_FULL)
        throw DbError(3026, QStringLiteral("No hay espacio suficiente en el disco"));
    throw DbError(3000,
                  QStringLiteral("No se pudo copiar la base de datos (%1)").arg(QString::fromUtf8(sqlite3_errstr(rc))));
}

} // namespace

void renombrar(const QString &origen, const QString &destino)
{
    std::error_code ec;
    std::filesystem::rename(camino(origen), camino(destino), ec);
    if (ec)
        throw DbError(3000, QStringLiteral("No se pudo renombrar '%1' como '%2': %3")
                                .arg(origen, destino, QString::fromLocal8Bit(ec.message().c_str())));
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
    borrarArchivoBase(temporal);
    try {
        {
            std::unique_ptr<Conexion> copia(Conexion::crear(temporal, clave));
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
        borrarArchivoBase(temporal);
        throw;
    }
}

QStringList tablas(Conexion &c)
{
    QStringList l;
    for (const QString &t : c.tablas())
        if (!Esquema::esRecuento(t))
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
    if (!ec)
        return destino;
    // Copied under a name of its own first, so that a kept name always
    // holds a whole file.
    const QString parcial = destino + QStringLiteral(".copiando");
    QFile::remove(parcial);
    if (!QFile::copy(ruta, parcial)) {
        QFile::remove(parcial);
        throw DbError(3000, QStringLiteral("No se pudo guardar la base de datos como '%1'.").arg(destino));
    }
    renombrar(parcial, destino);
    return destino;
}

// A log left beside the closed file belongs to a connection still open on
// it elsewhere: its writes would be lost with the file.
void exigirSinLog(const QString &ruta)
{
    if (QFileInfo(ruta + QStringLiteral("-wal")).size() > 0)
        throw DbError(3260, QStringLiteral("El archivo de base de datos está bloqueado por otro proceso"));
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
    borrarArchivoBase(enPreparacion(ruta));
    borrarArchivoBase(lista(ruta));
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

QString prepararRestauracion(const QString &origen, const QString &ruta, const QString &clave,
                             const QStringList &tablasExigidas)
{
    // The live file itself is no copy: read as a file it would lack the
    // writes still in its log.
    if (esArchivoDeLaBase(origen, ruta))
        throw DbError(3000, QStringLiteral("La base de datos en uso no es una copia de seguridad."));
    // The chosen file itself is never opened for writing: its copy is checked.
    const QString preparada = enPreparacion(ruta);
    borrarArchivoBase(preparada);
    try {
        paso(PasoRestauracion::Copiar);
        if (!QFile::copy(origen, preparada))
            throw DbError(3024, QStringLiteral("No se pudo leer el archivo '%1'.").arg(origen));
        paso(PasoRestauracion::Comprobar);
        std::unique_ptr<Conexion> copia(Conexion::abrir(preparada, clave));
        const QStringList tiene = tablas(*copia);
        for (const QString &t : tablasExigidas)
            if (!tiene.contains(t, Qt::CaseInsensitive))
                throw DbError(3078, QStringLiteral("El archivo no es una base de datos del sistema: le falta la "
                                                   "tabla '%1'.")
                                        .arg(t));
        const Recordset control = copia->openRecordset(QStringLiteral("PRAGMA quick_check"));
        if (control.eof() || control.campo(0).texto() != QLatin1String("ok"))
            throw DbError(3049, QStringLiteral("La base de datos está dañada"));
    } catch (const DbError &) {
        borrarArchivoBase(preparada);
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
    borrarArchivoBase(enPreparacion(ruta));
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
    // Row by row, the trigger that counts the reservations would take long
    // on years of them (on the server, longer the more one client has):
    // without it the table is emptied at once, and the counts with it.
    const bool servidor = gConexion->esServidor();
    QStringList sentencias{
        QStringLiteral("DELETE FROM caja_resumen_operaciones"),
        QStringLiteral("DELETE FROM caja_movimientos"),
        QStringLiteral("DELETE FROM caja_cabeza"),
        QStringLiteral("UPDATE t_numeradores SET numero_siguiente = 1 WHERE id = 'CJA'"),
        QStringLiteral("DELETE FROM caja_resumen_stock"),
        QStringLiteral("DELETE FROM movimientos_stock"),
        // The file's schema update below puts the trigger back and counts
        // afresh (nothing); a server's schema is not made anew at open, so
        // there it is only switched off while the table is emptied.
        servidor ? QStringLiteral("ALTER TABLE reservas DISABLE TRIGGER tr_reservas_cuenta_baja")
                 : QStringLiteral("DROP TRIGGER IF EXISTS tr_reservas_cuenta_baja"),
        QStringLiteral("DELETE FROM reservas"),
    };
    if (servidor)
        sentencias << QStringLiteral("ALTER TABLE reservas ENABLE TRIGGER tr_reservas_cuenta_baja")
                   << QStringLiteral("DELETE FROM reservas_por_cliente_cancha")
                   << QStringLiteral("DELETE FROM reservas_por_cliente");
    sentencias << QStringLiteral("DELETE FROM ventas") << QStringLiteral("DELETE FROM ventas_items")
               << QStringLiteral("UPDATE productos SET existencia = 0");
    Transaccion t(*gConexion);
    for (const QString &s : sentencias)
        gConexion->execute(s);
    Esquema::actualizar(*gConexion);
    t.commit();
}

QString temporalCompactacion(const QString &ruta) { return ruta + QStringLiteral("_TMP.mdb"); }

void compactar(const QString &ruta, const QString &clave)
{
    const QString temporal = temporalCompactacion(ruta);
    borrarArchivoBase(temporal);
    try {
        // The connection may not create files: the new one is made first.
        delete Conexion::crear(temporal, clave);
        {
            std::unique_ptr<Conexion> base(Conexion::abrir(ruta, clave));
            // The engine writes every table and index anew, packed, into a
            // new file encrypted with the same password.
            // An attached file reads its first page as it is attached, with
            // the engine's default page size: the program's size is set as
            // the default meanwhile.
            const qint64 previo =
                base->openRecordset(QStringLiteral("PRAGMA cipher_default_page_size")).campo(0).entero();
            auto fijarDefecto = [&base](qint64 n) {
                if (n > 0)
                    base->executeScript(QStringLiteral("PRAGMA cipher_default_page_size = %1;").arg(n));
            };
            fijarDefecto(4096);
            try {
                base->execute(QStringLiteral("ATTACH DATABASE ? AS compacta KEY ?"), {temporal, clave});
            } catch (...) {
                fijarDefecto(previo);
                throw;
            }
            fijarDefecto(previo);
            base->executeScript(QStringLiteral("SELECT sqlcipher_export('compacta');"
                                               "DETACH DATABASE compacta;"));
        }
        // The compacted file must open as the database does before it
        // takes the database's place.
        delete Conexion::abrir(temporal, clave);
        // A log still beside ruta would belong to another open connection;
        // replacing the file under it would lose its writes.
        if (QFileInfo::exists(ruta + QStringLiteral("-wal")) && QFileInfo(ruta + QStringLiteral("-wal")).size() > 0)
            throw DbError(3260, QStringLiteral("El archivo de base de datos está bloqueado por otro proceso"));
        QFile::remove(ruta + QStringLiteral("-shm"));
        QFile::remove(temporal + QStringLiteral("-shm"));
        QFile::remove(temporal + QStringLiteral("-wal"));
        renombrar(temporal, ruta);
    } catch (...) {
        borrarArchivoBase(temporal);
        throw;
    }
}

} // namespace Respaldo
