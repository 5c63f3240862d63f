#include "club_servidor.h"

#include "db/Conexion.h"
#include "db/Esquema.h"
#include "db/Mudanza.h"
#include "generar_club.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
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

// Fills the new database base with the club of the cached file, as an
// administrator moves a club to a server.
void llenar(const TamanioClub &t, const QString &base) { Mudanza::alServidor(clubEnCache(t), baseDeMedida(t, base)); }

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
