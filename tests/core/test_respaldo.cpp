// Backup and restore of the database from the menu, on the file and on the server.
#include "Respaldos.h"

#include "HojaCalculo.h"
#include "db/Esquema.h"
#include "platform/Reloj.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST_F(Respaldos, CopiaConsistenteMientrasOtraConexionEscribe)
{
    for (const char *n : {"Ana", "Beto", "Carla"})
        cliente(n);
    // Committed, but on the file still only in the write-ahead log.
    if (!enServidor()) {
        ASSERT_GT(QFileInfo(gRutaBase + "-wal").size(), 0);
    }

    // Another connection holds a long write transaction meanwhile.
    std::unique_ptr<Conexion> otra = abrirBase();
    otra->beginTrans();
    for (int i = 0; i < 500; ++i)
        otra->execute("INSERT INTO clientes (nombre) VALUES (?)", {QStringLiteral("Pendiente %1").arg(i)});

    const QString copia = ruta("copias/club.mdb");
    QDir().mkpath(ruta("copias"));
    escritorio->responderArchivo(copia);
    menu("mnu_backup");
    EXPECT_TRUE(msg->vacio());
    ASSERT_EQ(escritorio->pedidosArchivo().size(), 1);
    EXPECT_TRUE(escritorio->pedidosArchivo()[0].endsWith("/db_tarvento.mdb"));
    otra->commitTrans();

    {
        auto c = abrirCopia(copia);
        EXPECT_EQ(clientes(*c), (QStringList{"Ana", "Beto", "Carla"}));
        EXPECT_EQ(Respaldo::tablas(*c), Respaldo::tablas(db()));
        EXPECT_GT(Respaldo::tablas(*c).size(), 20);
    }
    EXPECT_EQ(contar("SELECT count(*) FROM clientes"), 503);
    EXPECT_TRUE(archivosCon(".copiando").isEmpty());

    // A second backup to the same name replaces the first with the new state.
    otra.reset();
    escritorio->responderArchivo(copia);
    menu("mnu_backup");
    EXPECT_EQ(abrirCopia(copia)->openRecordset("SELECT count(*) FROM clientes").campo(0).entero(), 503);

    // Cancelling the dialog does nothing.
    menu("mnu_backup");
    EXPECT_TRUE(msg->vacio());
}

// True while this process holds a lock on the file (as /proc/locks lists).
bool tengoCerrojo(const QString &archivo)
{
    struct stat st {};
    if (stat(QFile::encodeName(archivo).constData(), &st) != 0)
        return false;
    QFile f("/proc/locks");
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QString pid = QString::number(getpid());
    const QString inodo = ":" + QString::number(st.st_ino);
    for (const QByteArray &linea : f.readAll().split('\n')) {
        const QStringList c = QString::fromLatin1(linea).split(' ', Qt::SkipEmptyParts);
        if (c.size() >= 6 && c[4] == pid && c[5].endsWith(inodo))
            return true;
    }
    return false;
}

TEST_F(Respaldos, CopiaMientrasOtraEstacionEscribeConElDialogoEnLaCarpeta)
{
    // A club big enough for the copy to take a while.
    {
        Transaccion t(db());
        for (int i = 0; i < 20000; ++i)
            db().execute("INSERT INTO clientes (nombre, direccion) VALUES (?, ?)",
                         {QStringLiteral("Cliente %1").arg(i), QString(300, QChar('x'))});
        t.commit();
    }
    // The file is shared through the lock on its index of the log.
    if (!enServidor()) {
        ASSERT_TRUE(tengoCerrojo(gRutaBase + "-shm"));
    }

    // Another station commits again and again, opening the database each
    // time (the file, or the server its club.ini names).
    QProcess estacion;
    estacion.start(QCoreApplication::applicationFilePath(),
                   {"--escritor", enServidor() ? carpeta() + "/club.ini" : gRutaBase});
    ASSERT_TRUE(esperar([&] { return estacion.canReadLine() || estacion.state() == QProcess::NotRunning; }));
    ASSERT_EQ(estacion.readLine(), "LISTO\n");
    const int antes = contar("SELECT count(*) FROM clientes WHERE nombre LIKE 'Estación%'");

    // The user goes to the program folder in the real dialog, which lists
    // the database's files, and changes his mind.
    escritorio.reset();
    bool listada = false;
    bool conCerrojo = false;
    QTimer::singleShot(0, [&] {
        QFileDialog *d = nullptr;
        esperar([&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *f = qobject_cast<QFileDialog *>(w); f && f->isVisible())
                    d = f;
            return d != nullptr;
        });
        if (!d)
            return;
        d->setDirectory(carpeta());
        auto *modelo = d->findChild<QFileSystemModel *>();
        // The locked index of the log, where there is one.
        const QString listado = enServidor() ? carpeta() + "/club.ini" : gRutaBase + "-shm";
        listada = esperar([&] {
            const QModelIndex i = modelo->index(listado);
            return i.isValid() && !modelo->type(i).isEmpty();
        });
        conCerrojo = enServidor() || tengoCerrojo(gRutaBase + "-shm");
        d->findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Cancel)->click();
    });
    menu("mnu_backup");
    EXPECT_TRUE(listada);
    EXPECT_TRUE(conCerrojo);

    // Then makes the copy there while the station writes.
    escritorio = std::make_unique<EscritorioDePrueba>();
    escritorio->responderArchivo(ruta("copia.mdb"));
    menu("mnu_backup");
    EXPECT_TRUE(msg->vacio()) << msg->textos().join("|").toStdString();

    // The station went on writing; the copy holds at least what was there
    // before and is sound.
    const int despues = contar("SELECT count(*) FROM clientes WHERE nombre LIKE 'Estación%'");
    EXPECT_TRUE(
        esperar([&] { return contar("SELECT count(*) FROM clientes WHERE nombre LIKE 'Estación%'") > despues; }));
    estacion.kill();
    estacion.waitForFinished();
    {
        auto c = abrirCopia(ruta("copia.mdb"));
        EXPECT_GE(c->openRecordset("SELECT count(*) FROM clientes WHERE nombre LIKE 'Estación%'").campo(0).entero(),
                  antes);
        EXPECT_EQ(c->openRecordset("SELECT count(*) FROM clientes WHERE nombre LIKE 'Cliente%'").campo(0).entero(),
                  20000);
    }
    EXPECT_TRUE(archivosCon(".copiando").isEmpty());
}

TEST_F(Respaldos, CopiaFallidaSeInformaYNoPisaLaBase)
{
    cliente("Ana");
    escritorio->responderArchivo(ruta("no/existe/copia.mdb"));
    menu("mnu_backup");
    ASSERT_EQ(msg->mostrados().size(), 1);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Ha ocurrido un error en el proceso.\nError: "));
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    msg->limpiar();

    // A copy that fails once made leaves nothing of itself behind.
    msg->limpiar();
    ASSERT_TRUE(QDir().mkpath(ruta("una_carpeta")));
    escritorio->responderArchivo(ruta("una_carpeta"));
    menu("mnu_backup");
    ASSERT_EQ(msg->mostrados().size(), 1);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Ha ocurrido un error en el proceso.\nError: 3000 - No se pudo "
                                                "renombrar"));
    EXPECT_TRUE(archivosCon(".copiando").isEmpty());

    // The live file itself is never a backup's destination, whatever path
    // leads to it: through a linked folder, or its log beside it. (A server
    // has no file a backup could land on.)
    if (enServidor()) {
        // A station whose club.ini no longer names its server still copies
        // the server it works on (never a file instead), and refuses a file
        // as a copy of it.
        msg->limpiar();
        QSettings(carpeta() + "/club.ini", QSettings::IniFormat).setValue("base/motor", "");
        escritorio->responderArchivo(ruta("copia.mdb"));
        menu("mnu_backup");
        EXPECT_TRUE(msg->vacio()) << msg->textos().join("|").toStdString();
        QSettings(carpeta() + "/club.ini", QSettings::IniFormat).setValue("base/motor", "postgresql");
        EXPECT_EQ(clientes(*abrirCopia(ruta("copia.mdb"))), QStringList{"Ana"});
        QSettings(carpeta() + "/club.ini", QSettings::IniFormat).setValue("base/motor", "");
        msg->limpiar();
        Esquema::crearBase(ruta("base.mdb"));
        escritorio->responderArchivo(ruta("base.mdb"));
        menu("mnu_restaurarbkp");
        EXPECT_TRUE(msg->textos().value(1).startsWith(
            "Ha ocurrido un error en el proceso.\nError: 3343 - El archivo elegido no es una copia de la base de "
            "datos del club: no es una copia del servidor.\nDetalle: pg_restore: error: "))
            << msg->textos().value(1).toStdString();
        EXPECT_EQ(fin->veces(), 0);
        EXPECT_TRUE(copiasEnCurso().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(gRutaBase));
        EXPECT_EQ(clientes(db()), QStringList{"Ana"});
        QSettings(carpeta() + "/club.ini", QSettings::IniFormat).setValue("base/motor", "postgresql");
        return;
    }
    ASSERT_TRUE(QFile::link(carpeta(), ruta("enlace")));
    for (const QString &destino : {gRutaBase, ruta("enlace/db_main.mdb"), ruta("enlace/./db_main.mdb-wal")}) {
        SCOPED_TRACE(destino.toStdString());
        msg->limpiar();
        escritorio->responderArchivo(destino);
        menu("mnu_backup");
        ASSERT_EQ(msg->mostrados().size(), 1);
        EXPECT_EQ(msg->ultimo().prompt,
                  "Ha ocurrido un error en el proceso.\nError: 3000 - La copia no puede reemplazar la base de datos "
                  "en uso.");
        cliente("Beto");
        EXPECT_EQ(clientes(*abrirArchivo(gRutaBase)), (QStringList{"Ana", "Beto"}));
        db().execute("DELETE FROM clientes WHERE nombre = 'Beto'");
        EXPECT_TRUE(archivosCon(".copiando").isEmpty());
    }
}

TEST_F(Respaldos, RestaurarUnaCopiaYElSiguienteInicioLaMuestra)
{
    cliente("De la copia");
    db().execute("INSERT INTO reservas (clientes_id, canchas_id) VALUES (1, 'C1'), (1, 'C1')");
    const QString copia = ruta("copia.mdb");
    hacerCopia(copia);
    // A copy made by an earlier version, without the counts of reservations
    // (a server's database is made whole by crear_base, not when opened).
    if (!enServidor())
        abrirArchivo(copia)->executeScript(
            "DROP VIEW reservas_cuenta_paso; DROP TRIGGER tr_reservas_cuenta_alta; "
            "DROP TRIGGER tr_reservas_cuenta_baja; DROP TRIGGER tr_reservas_cuenta_cambio; "
            "DROP TABLE reservas_por_cliente; DROP TABLE reservas_por_cliente_cancha;");
    db().execute("DELETE FROM clientes");
    cliente("Posterior");

    escritorio->responderArchivo(copia);
    menu("mnu_restaurarbkp");
    EXPECT_EQ(
        msg->textos(),
        (QStringList{"Atención: Los datos actuales serán remplazados por la copia de seguridad.\n¿Desea continuar?",
                     "La copia de seguridad ha sido restaurada",
                     "Es necesario reiniciar el sistema.\nEl sistema se cerrará."}));
    EXPECT_EQ(msg->mostrados()[0].estilo, vb::YesNo | vb::Question);
    EXPECT_EQ(msg->mostrados()[1].icono(), vb::Information);
    EXPECT_EQ(fin->veces(), 1);
    EXPECT_EQ(gConexion, nullptr);

    // The replaced data is kept beside, as it was.
    const QString guardada = ruta("db_main_reemplazada_20240315_103000.mdb");
    ASSERT_TRUE(QFileInfo::exists(guardada));
    EXPECT_EQ(clientes(*abrirCopia(guardada)), QStringList{"Posterior"});
    EXPECT_TRUE(copiasEnCurso().isEmpty());

    // The next start opens the restored data, counted afresh.
    abrirPrincipal();
    ASSERT_NE(gConexion, nullptr);
    EXPECT_EQ(clientes(db()), QStringList{"De la copia"});
    EXPECT_EQ(valor("SELECT cantidad || ' ' || cancha_frecuente_id FROM reservas_por_cliente"), "2 C1");
    EXPECT_EQ(contenido(copia).isEmpty(), false);
}

// Writes the first bytes of archivo (or all of it, when fewer) to destino.
void cortar(const QString &archivo, const QString &destino, qint64 bytes)
{
    QFile f(archivo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QFile d(destino);
    ASSERT_TRUE(d.open(QIODevice::WriteOnly));
    d.write(f.read(bytes));
}

TEST_F(Respaldos, RestaurarRechazaLoQueNoEsUnaCopiaYDicePorQue)
{
    cliente("Ana");
    QFile texto(ruta("notas.mdb"));
    ASSERT_TRUE(texto.open(QIODevice::WriteOnly));
    texto.write("Esto es un archivo de texto, no una base.\n");
    texto.close();
    QFile(ruta("vacio.mdb")).open(QIODevice::WriteOnly);
    delete Conexion::crear(ruta("otra_clave.mdb"), "otra clave");
    {
        std::unique_ptr<Conexion> ajena(Conexion::crear(ruta("ajena.mdb"), gClaveBase));
        ajena->execute("CREATE TABLE clientes (id INTEGER, nombre TEXT)");
        ajena->execute("INSERT INTO clientes VALUES (1, 'Intruso')");
    }
    // A whole copy, then cut short: at half its size, and in the middle of
    // its last part.
    hacerCopia(ruta("entera.mdb"));
    const qint64 tamano = QFileInfo(ruta("entera.mdb")).size();
    cortar(ruta("entera.mdb"), ruta("cortada.mdb"), tamano / 2 / 4096 * 4096);
    cortar(ruta("entera.mdb"), ruta("cortada_final.mdb"), tamano - 100);
    const QString enUso = "El archivo elegido es la base de datos en uso, no una copia de seguridad.";
    const QString noEsCopia = "El archivo elegido no es una copia de la base de datos del club: ";
    const QString danada = "La copia está dañada o incompleta: no se puede restaurar.\nDetalle: ";
    QMap<QString, QString> causas{
        {"vacio.mdb", noEsCopia + "el archivo está vacío."},
        {"sin_reservas.mdb", noEsCopia + "le falta la tabla 'reservas'."},
        {"cortada.mdb", danada},
        {"cortada_final.mdb", danada},
    };
    if (!enServidor()) {
        Esquema::crearBase(ruta("sin_reservas.mdb"));
        abrirArchivo(ruta("sin_reservas.mdb"))->execute("DROP TABLE reservas");
        const QString clave = noEsCopia + "no se puede leer con la clave del programa.\nDetalle: ";
        causas["notas.mdb"] = clave;
        causas["otra_clave.mdb"] = clave;
        causas["ajena.mdb"] = noEsCopia + "le falta la tabla 'DatosEmpresa'.";
        causas["db_main.mdb"] = enUso;
        causas["enlace/db_main.mdb"] = enUso;
    } else {
        // Whole dumps, but not of this club's database: one of another
        // schema (it would put back nothing), and one without reservations
        // (it would leave this database's).
        DatosServidor otro = servidor();
        otro.esquema = QStringLiteral("ajena_") + QUuid::createUuid().toString(QUuid::Id128);
        Esquema::crearBaseServidor(otro);
        RespaldoServidor::copiar(otro, ruta("ajena.mdb"));
        const DatosServidor d = servidor();
        ASSERT_EQ(QProcess::execute("pg_dump", {"--host=" + d.host, "--username=" + d.usuario, "--schema=" + d.esquema,
                                                "--exclude-table=" + d.esquema + ".reservas", "--format=custom",
                                                "--file=" + ruta("sin_reservas.mdb"), d.base}),
                  0);
        RespaldoServidor::comprobar(ruta("sin_reservas.mdb"));
        const QString servidor = noEsCopia + "no es una copia del servidor.\nDetalle: pg_restore: error: ";
        // The program folder of a station of the server holds no database.
        const QString ilegible = "No se pudo leer el archivo elegido '";
        causas["notas.mdb"] = servidor;
        causas["otra_clave.mdb"] = servidor;
        causas["ajena.mdb"] =
            noEsCopia + QString("es de otra base de datos (esquema %1), no de la de este club (esquema %2).")
                            .arg(otro.esquema, d.esquema);
        causas["db_main.mdb"] = ilegible;
        causas["enlace/db_main.mdb"] = ilegible;
    }

    // The live file is refused also through a linked folder.
    ASSERT_TRUE(QFile::link(carpeta(), ruta("enlace")));
    for (auto causa = causas.cbegin(); causa != causas.cend(); ++causa) {
        const QString nombre = causa.key();
        SCOPED_TRACE(nombre.toStdString());
        const QByteArray antes = contenido(ruta(nombre));
        escritorio->responderArchivo(ruta(nombre));
        menu("mnu_restaurarbkp");
        ASSERT_EQ(msg->mostrados().size(), 2);
        // The first line as always, then why, in Spanish.
        const QStringList lineas = msg->ultimo().prompt.split('\n');
        EXPECT_EQ(lineas.value(0), "Ha ocurrido un error en el proceso.");
        const QString porQue = lineas.mid(1).join('\n');
        EXPECT_TRUE(porQue.contains(" - " + causa.value())) << porQue.toStdString();
        EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
        msg->limpiar();
        EXPECT_EQ(fin->veces(), 0);
        ASSERT_NE(gConexion, nullptr);
        EXPECT_EQ(clientes(db()), QStringList{"Ana"});
        EXPECT_EQ(contenido(ruta(nombre)), antes);
        EXPECT_TRUE(copiasEnCurso().isEmpty());
        EXPECT_TRUE(archivosCon("reemplazada").isEmpty());
    }
    // The live database still takes writes, and the whole copy is taken.
    cliente("Beto");
    EXPECT_EQ(clientes(*abrirBase()), (QStringList{"Ana", "Beto"}));
    escritorio->responderArchivo(ruta("entera.mdb"));
    menu("mnu_restaurarbkp");
    EXPECT_EQ(msg->textos().value(1), "La copia de seguridad ha sido restaurada");
}

TEST_F(Respaldos, UnaCopiaDeUnaVersionMasNuevaSeRechaza)
{
    cliente("Ana");
    // A copy with a column this version does not know: made by a version
    // that added it.
    if (!enServidor()) {
        hacerCopia(ruta("columna.mdb"));
        abrirArchivo(ruta("columna.mdb"))->execute("ALTER TABLE clientes ADD COLUMN apodo TEXT");
        hacerCopia(ruta("tabla.mdb"));
        abrirArchivo(ruta("tabla.mdb"))->execute("CREATE TABLE novedades (id INTEGER)");
        hacerCopia(ruta("version.mdb"));
        abrirArchivo(ruta("version.mdb"))->execute(QString("PRAGMA user_version = %1").arg(Esquema::kVersion + 1));
    } else {
        // A newer version records its number where this one does.
        db().executeScript(QString("COMMENT ON TABLE t_numeradores IS 'Versión %1 del esquema de la base del club'")
                               .arg(Esquema::kVersion + 1));
        hacerCopia(ruta("version.mdb"));
        db().executeScript(QString("COMMENT ON TABLE t_numeradores IS 'Versión %1 del esquema de la base del club'")
                               .arg(Esquema::kVersion));
        db().execute("ALTER TABLE clientes ADD COLUMN apodo TEXT");
        hacerCopia(ruta("columna.mdb"));
        db().execute("ALTER TABLE clientes DROP COLUMN apodo");
        // The program's own copy leaves out a table it does not know: the
        // server's tool takes it.
        db().execute("CREATE TABLE novedades (id INTEGER)");
        const DatosServidor d = servidor();
        ASSERT_EQ(QProcess::execute("pg_dump", {"--host=" + d.host, "--username=" + d.usuario, "--schema=" + d.esquema,
                                                "--format=custom", "--file=" + ruta("tabla.mdb"), d.base}),
                  0);
        db().execute("DROP TABLE novedades");
    }
    cliente("Beto");
    const QString masNueva = "Ha ocurrido un error en el proceso.\nError: 3041 - La copia fue hecha por una versión "
                             "más nueva del programa (%1): actualice el programa para restaurarla.";
    const QString version = QString("su esquema es de la versión %1 y esta versión conoce hasta la %2")
                                .arg(Esquema::kVersion + 1)
                                .arg(Esquema::kVersion);
    for (const auto &[archivo, que] :
         {std::pair<QString, QString>{"columna.mdb",
                                      "tiene la columna 'apodo' de la tabla 'clientes', que esta versión no conoce"},
          std::pair<QString, QString>{"tabla.mdb", "tiene la tabla 'novedades', que esta versión no conoce"},
          std::pair<QString, QString>{"version.mdb", version}}) {
        SCOPED_TRACE(archivo.toStdString());
        escritorio->responderArchivo(ruta(archivo));
        menu("mnu_restaurarbkp");
        EXPECT_EQ(msg->textos().value(1).toStdString(), masNueva.arg(que).toStdString());
        msg->limpiar();
        EXPECT_EQ(fin->veces(), 0);
        EXPECT_EQ(clientes(db()), (QStringList{"Ana", "Beto"}));
        EXPECT_TRUE(copiasEnCurso().isEmpty());
    }
}

TEST_F(Respaldos, RestaurarCanceladoNoHaceNada)
{
    hacerCopia(ruta("copia.mdb"));
    cliente("Ana");
    menu("mnu_restaurarbkp"); // dialog cancelled
    EXPECT_TRUE(msg->vacio());

    escritorio->responderArchivo(ruta("copia.mdb"));
    msg->responder(vb::No);
    menu("mnu_restaurarbkp");
    EXPECT_EQ(msg->ultimo().prompt, "Se ha cancelado la restauración de la copia de seguridad.");
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    EXPECT_EQ(msg->mostrados().size(), 2);
    EXPECT_EQ(fin->veces(), 0);
    EXPECT_EQ(clientes(db()), QStringList{"Ana"});
}

// The permissions of a file (0600, ...); -1 when there is none.
int modo(const QString &archivo)
{
    struct stat st {};
    return stat(QFile::encodeName(archivo).constData(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : -1;
}

// Sets PATH for the life of the object, then puts the former one back.
class CaminoDeProgramas {
public:
    explicit CaminoDeProgramas(const QString &carpeta) : m_antes(qgetenv("PATH"))
    {
        qputenv("PATH", QFile::encodeName(carpeta));
    }
    ~CaminoDeProgramas() { qputenv("PATH", m_antes); }

private:
    QByteArray m_antes;
};

// Writes an executable script nombre into carpeta.
void programa(const QString &carpeta, const QString &nombre, const QByteArray &guion)
{
    QFile f(carpeta + "/" + nombre);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n" + guion);
    f.close();
    ASSERT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

TEST_F(Respaldos, SinLasHerramientasDelServidorOConUnaQueFallaSeDicePorQue)
{
    cliente("Ana");
    hacerCopia(ruta("copia.mdb"));
    QTemporaryDir herramientas;
    ASSERT_TRUE(herramientas.isValid());
    {
        // The client of the server is not installed.
        CaminoDeProgramas camino(herramientas.path());
        escritorio->responderArchivo(ruta("nueva.mdb"));
        menu("mnu_backup");
        if (enServidor()) {
            ASSERT_EQ(msg->mostrados().size(), 1);
            EXPECT_TRUE(msg->ultimo().prompt.startsWith(
                "Ha ocurrido un error en el proceso.\nError: 3000 - No se encontró el programa pg_dump del cliente de "
                "PostgreSQL: instale el paquete postgresql-client (de la versión del servidor o una más nueva).\n"
                "Detalle: "))
                << msg->ultimo().prompt.toStdString();
            EXPECT_FALSE(QFileInfo::exists(ruta("nueva.mdb")));
            EXPECT_TRUE(archivosCon(".copiando").isEmpty());
            msg->limpiar();
            escritorio->responderArchivo(ruta("copia.mdb"));
            menu("mnu_restaurarbkp");
            EXPECT_TRUE(msg->textos().value(1).contains("No se encontró el programa pg_restore del cliente de "
                                                        "PostgreSQL"))
                << msg->textos().value(1).toStdString();
            EXPECT_EQ(fin->veces(), 0);
            msg->limpiar();
        } else {
            // The file needs none.
            EXPECT_TRUE(msg->vacio()) << msg->textos().join("|").toStdString();
            EXPECT_EQ(clientes(*abrirCopia(ruta("nueva.mdb"))), QStringList{"Ana"});
        }

        // Tools that fail, saying why in their own words.
        programa(herramientas.path(), "pg_dump",
                 "echo 'pg_dump: error: connection to server failed: FATAL:  sorry, too many clients already' >&2\n"
                 "exit 1\n");
        programa(herramientas.path(), "pg_restore", "echo 'pg_restore: error: out of memory' >&2\nexit 1\n");
        escritorio->responderArchivo(ruta("otra.mdb"));
        menu("mnu_backup");
        if (enServidor()) {
            ASSERT_EQ(msg->mostrados().size(), 1);
            EXPECT_EQ(msg->ultimo().prompt,
                      "Ha ocurrido un error en el proceso.\nError: 3000 - No se pudo hacer la copia de la base de "
                      "datos del servidor: pg_dump terminó con un error.\nDetalle: pg_dump: error: connection to "
                      "server failed: FATAL:  sorry, too many clients already");
            EXPECT_FALSE(QFileInfo::exists(ruta("otra.mdb")));
            EXPECT_TRUE(archivosCon(".copiando").isEmpty());
            msg->limpiar();
            escritorio->responderArchivo(ruta("copia.mdb"));
            menu("mnu_restaurarbkp");
            EXPECT_TRUE(msg->textos().value(1).endsWith("\nDetalle: pg_restore: error: out of memory"))
                << msg->textos().value(1).toStdString();
            EXPECT_EQ(fin->veces(), 0);
            EXPECT_EQ(clientes(db()), QStringList{"Ana"});
            return;
        }
        EXPECT_TRUE(msg->vacio());
        EXPECT_EQ(clientes(*abrirCopia(ruta("otra.mdb"))), QStringList{"Ana"});
        // And a restore.
        escritorio->responderArchivo(ruta("copia.mdb"));
        menu("mnu_restaurarbkp");
        EXPECT_EQ(msg->textos().value(1), "La copia de seguridad ha sido restaurada");
    }
}

// While a tool of the server makes the copy, the notice above the windows
// stays: Escape and closing it do nothing, so no window takes input before
// the copy has ended. (On the file the copy takes no events meanwhile.)
TEST_F(Respaldos, ElAvisoDeLaCopiaEnCursoNoSeCierraHastaQueTermina)
{
    if (!enServidor())
        GTEST_SKIP() << "en el archivo la copia no atiende eventos mientras se hace";
    QTemporaryDir herramientas;
    ASSERT_TRUE(herramientas.isValid());
    const QByteArray fifo = QFile::encodeName(herramientas.filePath("seguir"));
    const QString empezado = herramientas.filePath("empezado");
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    // A pg_dump that says it started, then ends, failing, once the test lets
    // it (or after half a minute, should the test not).
    programa(herramientas.path(), "pg_dump",
             ": > '" + QFile::encodeName(empezado) + "'\n/usr/bin/timeout 30 /bin/sh -c \"read x < '" + fifo +
                 "'\"\necho 'pg_dump: detenido' >&2\nexit 1\n");
    CaminoDeProgramas camino(herramientas.path());
    bool visibleTrasEscape = false;
    bool visibleTrasCerrar = false;
    bool probado = false;
    bool soltado = false;
    // Looked at while the program waits for the tool: the notice, once the
    // tool runs; then the tool is let go once it waits at the pipe.
    QTimer mirar;
    QObject::connect(&mirar, &QTimer::timeout, [&] {
        if (!probado) {
            QWidget *aviso = nullptr;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->objectName() == "avisoEnCurso" && w->isVisible())
                    aviso = w;
            if (!aviso || !QFileInfo::exists(empezado))
                return;
            probado = true;
            QTest::keyClick(aviso, Qt::Key_Escape);
            QCoreApplication::processEvents();
            visibleTrasEscape = aviso->isVisible();
            aviso->close();
            QCoreApplication::processEvents();
            visibleTrasCerrar = aviso->isVisible();
        }
        // No reader at the pipe yet: tried again at the next look.
        const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
        if (fd < 0)
            return;
        soltado = ::write(fd, "\n", 1) == 1;
        ::close(fd);
        mirar.stop();
    });
    mirar.start(10);
    escritorio->responderArchivo(ruta("copia.mdb"));
    menu("mnu_backup");
    EXPECT_TRUE(soltado);
    EXPECT_TRUE(visibleTrasEscape);
    EXPECT_TRUE(visibleTrasCerrar);
    ASSERT_EQ(msg->mostrados().size(), 1);
    EXPECT_TRUE(msg->ultimo().prompt.endsWith("\nDetalle: pg_dump: detenido")) << msg->ultimo().prompt.toStdString();
}

TEST_F(Respaldos, UnClubEnElEsquemaPublicoCopiaYRestauraSoloSusTablas)
{
    if (!enServidor())
        GTEST_SKIP() << "Un archivo guarda la base de un solo club.";
    // A database of its own: the club in its schema public, another club
    // in a schema beside it, and a table of another program in public.
    DatosServidor d = servidor(true);
    d.base = QStringLiteral("publico_") + QUuid::createUuid().toString(QUuid::Id128);
    std::unique_ptr<Conexion>(Conexion::abrirServidor(servidor(true)))
        ->execute(QStringLiteral("CREATE DATABASE %1").arg(d.base));
    m_copiasLeidas << d.base;
    Esquema::crearBaseServidor(d);
    DatosServidor vecino = d;
    vecino.esquema = "vecino";
    Esquema::crearBaseServidor(vecino);
    auto nombres = [](Conexion &c, const QString &tabla) {
        QStringList l;
        for (Recordset rs = c.openRecordset("SELECT nombre FROM " + tabla + " ORDER BY nombre"); !rs.eof();
             rs.moveNext())
            l << rs.texto(0);
        return l;
    };
    {
        std::unique_ptr<Conexion> c(Conexion::abrirServidor(d));
        c->execute("INSERT INTO clientes (nombre) VALUES ('Del club')");
        c->execute("INSERT INTO vecino.clientes (nombre) VALUES ('Del vecino')");
        c->execute("CREATE TABLE public.otro_programa (nombre text)");
        c->execute("INSERT INTO public.otro_programa VALUES ('De otro programa')");
        c->copias(QString())->copiar(ruta("publico.mdb"));
    }
    // The copy holds the club's tables, none of another schema, none of
    // another program.
    QProcess lista;
    lista.start("pg_restore", {"--list", ruta("publico.mdb")});
    ASSERT_TRUE(lista.waitForFinished());
    const QString contenido = QString::fromUtf8(lista.readAllStandardOutput());
    EXPECT_TRUE(contenido.contains(" TABLE public clientes ")) << contenido.toStdString();
    EXPECT_FALSE(contenido.contains(" vecino ")) << contenido.toStdString();
    EXPECT_FALSE(contenido.contains("otro_programa")) << contenido.toStdString();

    // Everything changes; the restore puts back the club's tables only.
    std::unique_ptr<Conexion> c(Conexion::abrirServidor(d));
    c->execute("UPDATE clientes SET nombre = 'Cambiado'");
    c->execute("INSERT INTO vecino.clientes (nombre) VALUES ('Vecino posterior')");
    c->execute("INSERT INTO public.otro_programa VALUES ('Posterior')");
    std::unique_ptr<CopiasDeBase> copias = c->copias(QString());
    copias->prepararRestauracion(ruta("publico.mdb"));
    c.reset();
    copias->reemplazar(gRutaBase, Reloj::ahora());
    c.reset(Conexion::abrirServidor(d));
    EXPECT_EQ(nombres(*c, "clientes"), (QStringList{"CONSUMIDOR FINAL", "Del club"}));
    EXPECT_EQ(nombres(*c, "vecino.clientes"), (QStringList{"CONSUMIDOR FINAL", "Del vecino", "Vecino posterior"}));
    EXPECT_EQ(nombres(*c, "public.otro_programa"), (QStringList{"De otro programa", "Posterior"}));
    // What every schema shares is still there, for the other club too.
    EXPECT_EQ(c->openRecordset("SELECT count(*) FROM pg_type t JOIN pg_namespace n ON n.oid = t.typnamespace "
                               "WHERE n.nspname = 'public' AND t.typname IN ('fecha', 'fechahora', 'booleano')")
                  .entero(0),
              3);
    c->execute("INSERT INTO vecino.reservas (clientes_id, canchas_id, fecha) VALUES (1, 'C1', '2024-03-15')");
}

TEST_F(Respaldos, LosArchivosQueElProgramaEscribeSoloLosLeeSuUsuario)
{
    // Whatever folder the user picks: here one open to everybody.
    ASSERT_TRUE(QDir().mkpath(ruta("publica")));
    ASSERT_TRUE(QFile::setPermissions(ruta("publica"), QFileDevice::Permissions(0x7777)));
    cliente("Ana");
    escritorio->responderArchivo(ruta("publica/copia.mdb"));
    menu("mnu_backup");
    ASSERT_TRUE(msg->vacio()) << msg->textos().join("|").toStdString();
    EXPECT_EQ(modo(ruta("publica/copia.mdb")), 0600);
    if (!enServidor()) {
        EXPECT_EQ(modo(gRutaBase), 0600);
        EXPECT_EQ(modo(gRutaBase + "-wal"), 0600);
        EXPECT_EQ(modo(gRutaBase + "-shm"), 0600);
    }
    // A workbook exported from a grid.
    HojaCalculo::Hoja hoja;
    hoja.filas << QStringList{"Ana", "1,234.50"};
    QString error;
    ASSERT_TRUE(HojaCalculo::escribir(ruta("publica/planilla.xlsx"), hoja, &error)) << error.toStdString();
    EXPECT_EQ(modo(ruta("publica/planilla.xlsx")), 0600);
    // crear_base, also when started with a mask that lets others read.
    const QString crearBase = QCoreApplication::applicationDirPath() + "/crear_base";
    ASSERT_TRUE(QFileInfo::exists(crearBase));
    ASSERT_EQ(QProcess::execute("sh", {"-c", "umask 022; exec \"$0\" \"$1\"", crearBase, ruta("publica/nueva.mdb")}),
              0);
    EXPECT_EQ(modo(ruta("publica/nueva.mdb")), 0600);

    // A restore from a copy others may read, over a database an earlier
    // version left readable by others: the restored database and the one
    // kept are the user's only.
    ASSERT_TRUE(QFile::setPermissions(ruta("publica/copia.mdb"), QFileDevice::Permissions(0x6444)));
    if (!enServidor()) {
        ASSERT_TRUE(QFile::setPermissions(gRutaBase, QFileDevice::Permissions(0x6444)));
    }
    escritorio->responderArchivo(ruta("publica/copia.mdb"));
    menu("mnu_restaurarbkp");
    ASSERT_EQ(msg->textos().value(1), "La copia de seguridad ha sido restaurada");
    const QStringList guardadas = archivosCon("reemplazada");
    ASSERT_EQ(guardadas.size(), 1);
    EXPECT_EQ(modo(ruta(guardadas[0])), 0600);
    if (!enServidor()) {
        EXPECT_EQ(modo(gRutaBase), 0600);
    }
}

TEST_F(Respaldos, CompactacionFallidaDejaElArchivoComoEstaba)
{
    QFile f(ruta("roto.mdb"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'z'));
    f.close();
    EXPECT_FALSE(CompactarBase(ruta("roto.mdb"), gClaveBase));
    ASSERT_EQ(msg->mostrados().size(), 1);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error compactando dbAccess: " + ruta("roto.mdb") + " 3343 - "));
    EXPECT_EQ(msg->ultimo().icono(), vb::Information);
    EXPECT_EQ(contenido(ruta("roto.mdb")), QByteArray(8192, 'z'));
    EXPECT_FALSE(QFileInfo::exists(Respaldo::temporalCompactacion(ruta("roto.mdb"))));
}

} // namespace
