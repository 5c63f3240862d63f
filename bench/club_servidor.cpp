#include "club_servidor.h"

#include "db/Conexion.h"
#include "db/Esquema.h"
#include "generar_club.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <memory>

namespace {

// The database every connection of the benchmarks starts from, where the
// club's databases are made and dropped.
const QString kBaseInicial = QStringLiteral("club");

std::unique_ptr<Conexion> conectar(const TamanioClub &t, const QString &base)
{
    return std::unique_ptr<Conexion>(Conexion::abrirServidor(baseDeMedida(t, base)));
}

bool existe(Conexion &c, const QString &base)
{
    return c.openRecordset(QStringLiteral("SELECT count(*) FROM pg_database WHERE datname = ?"), {base}).entero(0) > 0;
}

QString nombre(const QString &base) { return QLatin1Char('"') + base + QLatin1Char('"'); }

// Every row of tabla from the file to the server, in place of the shipped
// ones: read a block at a time, so a table of a million rows is never held
// whole, and written a few hundred rows a statement.
void copiarTabla(Conexion &archivo, Conexion &servidor, const QString &tabla, bool sinRowid)
{
    QStringList columnas;
    for (Recordset rs = archivo.openRecordset(QStringLiteral("PRAGMA table_info(%1)").arg(tabla)); !rs.eof();
         rs.moveNext())
        columnas << rs.texto(QStringLiteral("name"));
    servidor.execute(QStringLiteral("DELETE FROM ") + tabla);
    const int porSentencia = std::min<int>(500, 30000 / static_cast<int>(columnas.size()));
    const QString fila =
        QLatin1Char('(') + QStringList(columnas.size(), QStringLiteral("?")).join(',') + QLatin1Char(')');
    const QString lista = columnas.join(QLatin1Char(','));
    const QString insertar = QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(tabla, lista);
    const QString leer =
        sinRowid
            ? QStringLiteral("SELECT 0, %2 FROM %1").arg(tabla, lista)
            : QStringLiteral("SELECT rowid, %2 FROM %1 WHERE rowid > ? ORDER BY rowid LIMIT 20000").arg(tabla, lista);
    qint64 desde = 0;
    for (;;) {
        Recordset rs = sinRowid ? archivo.openRecordset(leer) : archivo.openRecordset(leer, {desde});
        if (rs.eof())
            return;
        while (!rs.eof()) {
            Parametros valores;
            int filas = 0;
            for (; filas < porSentencia && !rs.eof(); ++filas, rs.moveNext()) {
                for (int col = 1; col <= columnas.size(); ++col)
                    valores << rs.campo(col).valor();
                desde = rs.entero(0);
            }
            servidor.execute(insertar + QStringList(filas, fila).join(QLatin1Char(',')), valores);
        }
        if (sinRowid)
            return;
    }
}

// Fills the new database base with the club of the cached file.
void llenar(const TamanioClub &t, const QString &base)
{
    Esquema::crearBaseServidor(baseDeMedida(t, base));
    std::unique_ptr<Conexion> archivo(Conexion::abrir(clubEnCache(t), Esquema::claveBase()));
    std::unique_ptr<Conexion> servidor = conectar(t, base);
    {
        Transaccion tr(*servidor);
        // The counts the triggers keep are copied as the file has them.
        for (Recordset rs = archivo->openRecordset(QStringLiteral(
                 "SELECT name, sql LIKE '%WITHOUT ROWID%' FROM sqlite_master WHERE type = 'table' AND name NOT "
                 "LIKE 'sqlite%' ORDER BY name"));
             !rs.eof(); rs.moveNext()) {
            const QString tabla = rs.texto(0);
            servidor->execute(QStringLiteral("ALTER TABLE %1 DISABLE TRIGGER USER").arg(tabla));
            copiarTabla(*archivo, *servidor, tabla, rs.entero(1) != 0);
            servidor->execute(QStringLiteral("ALTER TABLE %1 ENABLE TRIGGER USER").arg(tabla));
        }
        // The automatic numbers go on after the copied ones.
        for (Recordset rs = servidor->openRecordset(
                 QStringLiteral("SELECT table_name, column_name FROM information_schema.columns WHERE table_schema = "
                                "current_schema() AND column_default LIKE 'nextval(%'"));
             !rs.eof(); rs.moveNext())
            servidor->openRecordset(QStringLiteral("SELECT setval(pg_get_serial_sequence(?1, ?2), COALESCE((SELECT "
                                                   "max(%2) FROM %1), 0) + 1, false)")
                                        .arg(rs.texto(0), rs.texto(1)),
                                    {rs.texto(0), rs.texto(1)});
        tr.commit();
    }
    // The statistics the planner needs, as a club in use has them.
    servidor->compactar();
}

// The cached club's database on the server, filled the first time.
QString clubEnServidor(const TamanioClub &t, Conexion &inicial)
{
    const QString base = QStringLiteral("club_bench_") + t.clave();
    if (existe(inicial, base)) {
        // Kept by an earlier version of the program: brought up to this
        // one's indexes and triggers as a station opening it would.
        Esquema::actualizar(*conectar(t, base));
        return base;
    }
    // Filled under a name of this process and renamed when complete, so a
    // run that stops half-way never leaves half a club under the key.
    const QString parcial = base + QStringLiteral("_parcial_%1").arg(QCoreApplication::applicationPid());
    inicial.executeScript(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(nombre(parcial)));
    inicial.executeScript(QStringLiteral("CREATE DATABASE %1").arg(nombre(parcial)));
    QTextStream err(stderr);
    err << "Copiando el club de prueba al servidor, base " << base << " ..." << Qt::endl;
    QElapsedTimer reloj;
    reloj.start();
    llenar(t, parcial);
    err << "Club copiado en " << QString::number(reloj.elapsed() / 1000.0, 'f', 1) << " s" << Qt::endl;
    inicial.executeScript(QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(nombre(parcial), nombre(base)));
    return base;
}

// The working copy of this run, dropped when the program ends (before the
// statics of the connection's first use go).
TamanioClub g_club;
QString g_copia;

void borrarCopia()
{
    try {
        conectar(g_club, kBaseInicial)
            ->executeScript(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nombre(g_copia)));
    } catch (const DbError &) {
    }
}

} // namespace

DatosServidor baseDeMedida(const TamanioClub &t, const QString &base)
{
    DatosServidor d;
    d.host = t.servidor;
    d.base = base;
    d.usuario = QStringLiteral("club");
    return d;
}

QString copiaEnServidor(const TamanioClub &t)
{
    std::unique_ptr<Conexion> inicial = conectar(t, kBaseInicial);
    // Copies left by runs that ended without dropping theirs.
    for (Recordset rs = inicial->openRecordset(
             QStringLiteral("SELECT datname FROM pg_database WHERE datname ~ '^club_bench_[0-9a-f]+_[0-9]+$'"));
         !rs.eof(); rs.moveNext())
        if (kill(static_cast<pid_t>(rs.texto(0).section(QLatin1Char('_'), -1).toLongLong()), 0) != 0 && errno == ESRCH)
            inicial->executeScript(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nombre(rs.texto(0))));
    const QString club = clubEnServidor(t, *inicial);
    const QString base = club + QStringLiteral("_%1").arg(QCoreApplication::applicationPid());
    inicial->executeScript(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(nombre(base)));
    inicial->executeScript(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(nombre(base), nombre(club)));
    g_club = t;
    g_copia = base;
    std::atexit(borrarCopia);
    return base;
}
