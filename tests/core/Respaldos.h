#pragma once
// Fixture of the backup, restore and reset tests: the menu of the main
// window, and where the encrypted file and the server differ (another
// connection to the live database, a backup made and read back, what a
// compaction changes).
#include "PruebaPrincipal.h"

#include "ConfigPrograma.h"
#include "InterfazRespaldo.h"
#include "RegistroMantenimiento.h"
#include "Respaldo.h"
#include "RespaldoServidor.h"
#include "db/Dialecto.h"
#include "db/Esquema.h"
#include "platform/Aperturas.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QUuid>
#include <functional>
#include <memory>

class Respaldos : public PruebaPrincipal {
protected:
    void SetUp() override
    {
        PruebaPrincipal::SetUp();
        registrarMantenimientoBase();
        db().execute("DELETE FROM clientes"); // only the clients of each test
    }
    void TearDown() override
    {
        if (!m_copiasLeidas.isEmpty()) {
            std::unique_ptr<Conexion> c(Conexion::abrirServidor(servidor(true)));
            for (const QString &base : m_copiasLeidas)
                c->execute(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(base));
        }
        PruebaPrincipal::TearDown();
    }

    // Where the file and the server differ, for the tests below.
    // The server of the program folder's club.ini; sinEsquema: its
    // database as a whole.
    DatosServidor servidor(bool sinEsquema = false) const
    {
        DatosServidor d;
        EXPECT_TRUE(ConfigPrograma::baseEnServidor(carpeta() + "/club.ini", d));
        if (sinEsquema)
            d.esquema.clear();
        return d;
    }
    // Another connection to the live database, as another station opens it.
    std::unique_ptr<Conexion> abrirBase()
    {
        return std::unique_ptr<Conexion>(enServidor() ? Conexion::abrirServidor(servidor())
                                                      : Conexion::abrir(gRutaBase, gClaveBase));
    }
    // A backup of the live database to destino, as the menu makes it.
    void hacerCopia(const QString &destino)
    {
        if (enServidor())
            RespaldoServidor::copiar(servidor(), destino);
        else
            Respaldo::copiar(db(), destino, gClaveBase);
    }
    // A backup read back: the file opened with the password and checked
    // whole, or the dump restored into a database of its own.
    std::unique_ptr<Conexion> abrirCopia(const QString &archivo)
    {
        if (!enServidor()) {
            auto c = abrirArchivo(archivo);
            EXPECT_EQ(c->openRecordset("PRAGMA integrity_check").campo(0).texto(), "ok");
            return c;
        }
        DatosServidor d = servidor();
        d.base = QStringLiteral("copia_") + QUuid::createUuid().toString(QUuid::Id128);
        std::unique_ptr<Conexion>(Conexion::abrirServidor(servidor(true)))
            ->execute(QStringLiteral("CREATE DATABASE %1").arg(d.base));
        m_copiasLeidas << d.base;
        // A club's database, as crear_base makes it, then the copy put back
        // over its tables.
        Esquema::crearBaseServidor(d);
        RespaldoServidor::restaurar(d, archivo);
        return std::unique_ptr<Conexion>(Conexion::abrirServidor(d));
    }
    // Goes down with each compaction: the size of the file (the compaction
    // gives back the room of deleted rows), or on the server minus the times
    // its tables were vacuumed (what it gives back depends on what other
    // stations still read).
    qint64 huellaDeCompactacion()
    {
        if (enServidor())
            return -valor("SELECT coalesce(sum(vacuum_count), 0) FROM pg_stat_user_tables "
                          "WHERE schemaname = current_schema()")
                        .toLongLong();
        db().checkpoint();
        return QFileInfo(gRutaBase).size();
    }
    // Waits, handling events, until hecho() or about fifteen seconds.
    static bool esperar(const std::function<bool()> &hecho)
    {
        const QDeadlineTimer limite(15000);
        while (!hecho()) {
            if (limite.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }
    QString ruta(const QString &nombre) const { return carpeta() + "/" + nombre; }
    void cliente(const QString &nombre) { db().execute("INSERT INTO clientes (nombre) VALUES (?)", {nombre}); }
    QStringList clientes(Conexion &c)
    {
        QStringList l;
        for (Recordset rs = c.openRecordset("SELECT nombre FROM clientes ORDER BY id"); !rs.eof(); rs.moveNext())
            l << rs.texto("nombre");
        return l;
    }
    // Opens a database file as the program does: with its password.
    std::unique_ptr<Conexion> abrirArchivo(const QString &archivo)
    {
        return std::unique_ptr<Conexion>(Conexion::abrir(archivo, gClaveBase));
    }
    void menu(const char *nombre)
    {
        ASSERT_TRUE(Aperturas::abrir(nombre));
        procesarEventos();
    }
    QByteArray contenido(const QString &archivo)
    {
        QFile f(archivo);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Files of the program folder whose names contain texto.
    QStringList archivosCon(const QString &texto) const
    {
        return QDir(carpeta()).entryList({"*" + texto + "*"}, QDir::Files);
    }
    // Copies of a restore still beside the live database.
    QStringList copiasEnCurso() const { return archivosCon(".preparando") + archivosCon(".restaurando"); }

    QStringList m_copiasLeidas; // databases made on the server to read copies back
};
