// Backup and restore of the database from the menu, on the file and on the server.
#include "Respaldos.h"

#include "db/Esquema.h"

#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QProcess>
#include <QSettings>
#include <QTimer>
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

// Waits, handling events, until hecho() or about ten seconds.
bool esperar(const std::function<bool()> &hecho)
{
    const QDeadlineTimer limite(10000);
    while (!hecho()) {
        if (limite.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
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
        // A station whose club.ini no longer names its server is told so,
        // and neither backs up nor restores a file instead.
        msg->limpiar();
        QSettings(carpeta() + "/club.ini", QSettings::IniFormat).setValue("base/motor", "");
        escritorio->responderArchivo(ruta("copia.mdb"));
        menu("mnu_backup");
        ASSERT_EQ(msg->mostrados().size(), 1);
        EXPECT_EQ(msg->ultimo().prompt, "Ha ocurrido un error en el proceso.\nError: 3000 - La configuración "
                                        "(club.ini) ya no indica el servidor de la base de datos.");
        EXPECT_FALSE(QFileInfo::exists(ruta("copia.mdb")));
        msg->limpiar();
        Esquema::crearBase(ruta("copia.mdb"));
        escritorio->responderArchivo(ruta("copia.mdb"));
        menu("mnu_restaurarbkp");
        EXPECT_EQ(msg->textos().value(1), "Ha ocurrido un error en el proceso.");
        EXPECT_EQ(fin->veces(), 0);
        EXPECT_TRUE(copiasEnCurso().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(gRutaBase));
        EXPECT_EQ(clientes(db()), QStringList{"Ana"});
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

TEST_F(Respaldos, RestaurarRechazaLoQueNoEsUnaBaseDelSistema)
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
    if (!enServidor()) {
        Esquema::crearBase(ruta("sin_reservas.mdb"));
        abrirArchivo(ruta("sin_reservas.mdb"))->execute("DROP TABLE reservas");
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
    }

    // The live file is refused also through a linked folder.
    ASSERT_TRUE(QFile::link(carpeta(), ruta("enlace")));
    for (const char *nombre : {"notas.mdb", "vacio.mdb", "otra_clave.mdb", "ajena.mdb", "sin_reservas.mdb",
                               "db_main.mdb", "enlace/db_main.mdb"}) {
        SCOPED_TRACE(nombre);
        const QByteArray antes = contenido(ruta(nombre));
        escritorio->responderArchivo(ruta(nombre));
        menu("mnu_restaurarbkp");
        ASSERT_EQ(msg->mostrados().size(), 2);
        EXPECT_EQ(msg->ultimo().prompt, "Ha ocurrido un error en el proceso.");
        EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
        msg->limpiar();
        EXPECT_EQ(fin->veces(), 0);
        ASSERT_NE(gConexion, nullptr);
        EXPECT_EQ(clientes(db()), QStringList{"Ana"});
        EXPECT_EQ(contenido(ruta(nombre)), antes);
        EXPECT_TRUE(copiasEnCurso().isEmpty());
        EXPECT_TRUE(archivosCon("reemplazada").isEmpty());
    }
    // The live database still takes writes.
    cliente("Beto");
    EXPECT_EQ(clientes(*abrirBase()), (QStringList{"Ana", "Beto"}));
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
