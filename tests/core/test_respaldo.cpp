// Backup, restore, reset and compaction of the database file.
#include "PruebaPrincipal.h"

#include "Frm_S_ResetBase.h"
#include "InterfazModule.h"
#include "InterfazRespaldo.h"
#include "RegistroMantenimiento.h"
#include "Respaldo.h"
#include "db/Esquema.h"
#include "platform/Aperturas.h"

#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Respaldo::PasoRestauracion;

class Respaldos : public PruebaPrincipal {
protected:
    void SetUp() override
    {
        PruebaPrincipal::SetUp();
        registrarMantenimientoBase();
        db().execute("DELETE FROM clientes"); // only the clients of each test
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
};

TEST_F(Respaldos, CopiaConsistenteMientrasOtraConexionEscribe)
{
    for (const char *n : {"Ana", "Beto", "Carla"})
        cliente(n);
    // Committed, but still only in the write-ahead log.
    ASSERT_GT(QFileInfo(gRutaBase + "-wal").size(), 0);

    // Another connection holds a long write transaction meanwhile.
    std::unique_ptr<Conexion> otra = abrirArchivo(gRutaBase);
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
        auto c = abrirArchivo(copia);
        EXPECT_EQ(clientes(*c), (QStringList{"Ana", "Beto", "Carla"}));
        EXPECT_EQ(c->openRecordset("PRAGMA integrity_check").campo(0).texto(), "ok");
        EXPECT_EQ(Respaldo::tablas(*c), Respaldo::tablas(db()));
    }
    EXPECT_EQ(contar("SELECT count(*) FROM clientes"), 503);
    EXPECT_TRUE(archivosCon(".copiando").isEmpty());

    // A second backup to the same name replaces the first with the new state.
    otra.reset();
    escritorio->responderArchivo(copia);
    menu("mnu_backup");
    EXPECT_EQ(abrirArchivo(copia)->openRecordset("SELECT count(*) FROM clientes").campo(0).entero(), 503);

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
    ASSERT_TRUE(tengoCerrojo(gRutaBase + "-shm"));

    // Another station commits again and again, opening the file each time.
    QProcess estacion;
    estacion.start(QCoreApplication::applicationFilePath(), {"--escritor", gRutaBase});
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
        listada = esperar([&] {
            const QModelIndex shm = modelo->index(gRutaBase + "-shm");
            return shm.isValid() && !modelo->type(shm).isEmpty();
        });
        conCerrojo = tengoCerrojo(gRutaBase + "-shm");
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
        auto c = abrirArchivo(ruta("copia.mdb"));
        EXPECT_EQ(c->openRecordset("PRAGMA integrity_check").campo(0).texto(), "ok");
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

    // The live database itself is never a backup's destination, whatever
    // path leads to it: through a linked folder, or its log beside it.
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
    Respaldo::copiar(db(), copia, gClaveBase);
    // A copy made by an earlier version, without the counts of reservations.
    abrirArchivo(copia)->executeScript("DROP VIEW reservas_cuenta_paso; DROP TRIGGER tr_reservas_cuenta_alta; "
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

    // The replaced file is kept beside, with the data it had.
    const QString guardada = ruta("db_main_reemplazada_20240315_103000.mdb");
    ASSERT_TRUE(QFileInfo::exists(guardada));
    EXPECT_EQ(clientes(*abrirArchivo(guardada)), QStringList{"Posterior"});
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
    Esquema::crearBase(ruta("sin_reservas.mdb"));
    abrirArchivo(ruta("sin_reservas.mdb"))->execute("DROP TABLE reservas");

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
    EXPECT_EQ(clientes(*abrirArchivo(gRutaBase)), (QStringList{"Ana", "Beto"}));
}

TEST_F(Respaldos, RestaurarCanceladoNoHaceNada)
{
    Respaldo::copiar(db(), ruta("copia.mdb"), gClaveBase);
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

// A restore stopped at one step: as the program killed there.
struct Interrumpida {};

class Restauraciones : public Respaldos {
protected:
    void TearDown() override
    {
        Respaldo::antesDePaso(nullptr);
        CursorEspera(0);
        Respaldos::TearDown();
    }
    // The live database holds "Viva", the backup copia.mdb "De la copia";
    // the user will choose the backup.
    void preparar()
    {
        if (!gConexion)
            abrirConexion();
        db().execute("DELETE FROM clientes");
        cliente("De la copia");
        Respaldo::copiar(db(), ruta("copia.mdb"), gClaveBase);
        db().execute("DELETE FROM clientes");
        cliente("Viva");
        for (const QString &g : archivosCon("reemplazada"))
            QFile::remove(ruta(g));
        msg->limpiar();
        escritorio->responderArchivo(ruta("copia.mdb"));
    }
    // The restore throws e just before step p.
    template <typename E> void lanzarEn(PasoRestauracion p, const E &e)
    {
        Respaldo::antesDePaso([p, e](PasoRestauracion q) {
            if (q == p)
                throw e;
        });
    }
    QStringList clientesDe(const QString &archivo) { return clientes(*abrirArchivo(archivo)); }

    const std::vector<PasoRestauracion> pasos{PasoRestauracion::Copiar, PasoRestauracion::Comprobar,
                                              PasoRestauracion::Marcar, PasoRestauracion::Guardar,
                                              PasoRestauracion::Reemplazar};
};

TEST_F(Restauraciones, UnPasoQueFallaDejaLaBaseComoEstaba)
{
    for (const PasoRestauracion p : pasos) {
        SCOPED_TRACE(static_cast<int>(p));
        preparar();
        lanzarEn(p, DbError(3043, "Error de lectura o escritura en el disco"));
        const int fines = fin->veces();
        menu("mnu_restaurarbkp");
        Respaldo::antesDePaso(nullptr);
        EXPECT_EQ(msg->textos().value(1), "Ha ocurrido un error en el proceso.");
        // Once the database was closed for the last steps, the program ends.
        EXPECT_EQ(fin->veces() - fines, p >= PasoRestauracion::Marcar ? 1 : 0);
        EXPECT_EQ(clientesDe(gRutaBase), QStringList{"Viva"});
        EXPECT_TRUE(copiasEnCurso().isEmpty()) << copiasEnCurso().join(",").toStdString();
        EXPECT_TRUE(archivosCon("reemplazada").isEmpty());
    }
    // The next start finds nothing to finish.
    cerrarConexion();
    msg->limpiar();
    abrirPrincipal();
    EXPECT_TRUE(msg->vacio()) << msg->textos().join("|").toStdString();
    EXPECT_EQ(clientes(db()), QStringList{"Viva"});
}

TEST_F(Restauraciones, InterrumpidaEnCualquierPasoSeTerminaODeshaceAlIniciar)
{
    for (const PasoRestauracion p : pasos) {
        SCOPED_TRACE(static_cast<int>(p));
        preparar();
        lanzarEn(p, Interrumpida{});
        EXPECT_THROW(Aperturas::abrir("mnu_restaurarbkp"), Interrumpida);
        Respaldo::antesDePaso(nullptr);
        CursorEspera(0);
        // The program is gone; db_main.mdb names the database it had.
        cerrarConexion();
        EXPECT_EQ(clientesDe(gRutaBase), QStringList{"Viva"});

        // The next start finishes a restore whose copy was checked and
        // marked, and undoes one stopped before.
        msg->limpiar();
        abrirPrincipal();
        ASSERT_NE(gConexion, nullptr);
        const bool decidida = p >= PasoRestauracion::Guardar;
        if (p == PasoRestauracion::Copiar)
            EXPECT_TRUE(msg->vacio());
        else
            EXPECT_EQ(msg->textos(), QStringList{decidida ? "La copia de seguridad ha sido restaurada"
                                                          : "Se ha cancelado la restauración de la copia de "
                                                            "seguridad."});
        EXPECT_EQ(clientes(db()), QStringList{decidida ? "De la copia" : "Viva"});
        const QStringList guardadas = archivosCon("reemplazada");
        if (decidida) {
            ASSERT_EQ(guardadas.size(), 1) << guardadas.join(",").toStdString();
            EXPECT_EQ(clientesDe(ruta(guardadas[0])), QStringList{"Viva"});
        } else {
            EXPECT_TRUE(guardadas.isEmpty()) << guardadas.join(",").toStdString();
        }
        EXPECT_TRUE(copiasEnCurso().isEmpty()) << copiasEnCurso().join(",").toStdString();
        principal->close();
        procesarEventos();
    }
}

class Reset : public Respaldos {
protected:
    void SetUp() override
    {
        Respaldos::SetUp();
        cliente("Ana");
        db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Central')");
        db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H1', '18:00')");
        db().execute("INSERT INTO valores_canchas (canchas_id, horarios_codigo, importe) VALUES ('C1', 'H1', 100)");
        db().execute(
            "INSERT INTO productos (id, descripcion, existencia) VALUES ('P1', 'Agua', 12), ('P2', 'Jugo', 3)");
        crearUsuario("juan", "x", {"mnu_Caja"});
        db().execute("INSERT INTO caja_conceptos (id, descripcion) VALUES ('LUZ', 'Luz')");
        db().execute("UPDATE t_numeradores SET numero_siguiente = 8 WHERE id = 'CJA'");
        db().execute("UPDATE t_numeradores SET numero_siguiente = 4 WHERE id = 'RESFIJA'");
        db().execute("INSERT INTO caja_cabeza (id, importe_inicial) VALUES (7, 100)");
        db().execute("INSERT INTO caja_movimientos (caja_cabeza_id, importe) VALUES (7, 10)");
        db().execute("INSERT INTO caja_resumen_operaciones (caja_cabeza_id) VALUES (7)");
        db().execute("INSERT INTO caja_resumen_stock (caja_cabeza_id) VALUES (7)");
        db().execute("INSERT INTO ventas (importe_total) VALUES (20)");
        db().execute("INSERT INTO ventas_items (ventas_id, productos_id) VALUES (1, 'P1')");
        db().execute("INSERT INTO movimientos_stock (productos_id, cantidad) VALUES ('P1', 12)");
        // Enough reservations for the compaction to give back space.
        Transaccion t(db());
        for (int i = 0; i < 3000; ++i)
            db().execute("INSERT INTO reservas (clientes_id, canchas_id, comentarios) VALUES (1, 'C1', ?)",
                         {QString(200, QChar('x'))});
        t.commit();
    }
    Frm_S_ResetBase *abrirReset()
    {
        menu("mnu_BaseReset");
        return Ventanas::existente<Frm_S_ResetBase>();
    }
    int operaciones()
    {
        int n = 0;
        for (const char *t : {"caja_resumen_operaciones", "caja_movimientos", "caja_cabeza", "caja_resumen_stock",
                              "movimientos_stock", "reservas", "ventas", "ventas_items"})
            n += contar(QStringLiteral("SELECT count(*) FROM %1").arg(t));
        return n;
    }
};

TEST_F(Reset, NoNoBorraYSiBorraOperacionesYCompacta)
{
    auto *w = abrirReset();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Resetear Base de datos");
    EXPECT_EQ(modal->mostrados().size(), 1);
    // Unanswered, the question takes its default button, which is "No".
    w->findChild<QPushButton *>("cmdReset")->click();
    procesarEventos();
    EXPECT_EQ(msg->textos(), QStringList{"Se eliminarán todas las operaciones. ¿Desea continuar?"});
    EXPECT_EQ(Ventanas::existente<Frm_S_ResetBase>(), nullptr);
    EXPECT_EQ(operaciones(), 3007);
    msg->limpiar();

    // A temporary file left by an earlier failed compaction.
    QFile resto(Respaldo::temporalCompactacion(gRutaBase));
    ASSERT_TRUE(resto.open(QIODevice::WriteOnly));
    resto.write("restos");
    resto.close();
    db().checkpoint();
    const qint64 tamanoAntes = QFileInfo(gRutaBase).size();

    w = abrirReset();
    msg->responder(vb::Yes);
    w->findChild<QPushButton *>("cmdReset")->click();
    procesarEventos();
    EXPECT_EQ(msg->textos(), (QStringList{"Se eliminarán todas las operaciones. ¿Desea continuar?",
                                          "Datos de operaciones eliminados"}))
        << msg->textos().join("|").toStdString();
    EXPECT_EQ(msg->ultimo().icono(), vb::Information);
    EXPECT_EQ(Ventanas::existente<Frm_S_ResetBase>(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(Respaldo::temporalCompactacion(gRutaBase)));
    ASSERT_NE(gConexion, nullptr);

    EXPECT_EQ(operaciones(), 0);
    EXPECT_EQ(contar("SELECT count(*) FROM productos WHERE existencia = 0"), 2);
    EXPECT_EQ(contar("SELECT count(*) FROM productos"), 2);
    EXPECT_EQ(clientes(db()), QStringList{"Ana"});
    EXPECT_EQ(contar("SELECT count(*) FROM canchas"), 1);
    EXPECT_EQ(contar("SELECT count(*) FROM valores_canchas"), 1);
    EXPECT_EQ(contar("SELECT count(*) FROM t_opcionesasignadas WHERE codigo = 'juan'"), 1);
    EXPECT_EQ(contar("SELECT count(*) FROM caja_conceptos WHERE id = 'LUZ'"), 1);
    EXPECT_EQ(valor("SELECT numero_siguiente FROM t_numeradores WHERE id = 'RESFIJA'"), "4");
    // The compacted file is smaller and opens again with the password.
    EXPECT_LT(QFileInfo(gRutaBase).size(), tamanoAntes);
    EXPECT_EQ(clientes(*abrirArchivo(gRutaBase)), QStringList{"Ana"});
    // The next register opened gets number 1.
    Transaccion t(db());
    EXPECT_EQ(ProximoNumero("CJA"), 1);
}

TEST_F(Reset, UnaSentenciaQueFallaNoBorraNada)
{
    db().execute("CREATE TRIGGER falla BEFORE DELETE ON ventas BEGIN SELECT RAISE(ABORT, 'no'); END");
    msg->responder(vb::Yes);
    abrirReset()->findChild<QPushButton *>("cmdReset")->click();
    procesarEventos();
    ASSERT_EQ(msg->mostrados().size(), 2);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: "));
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_EQ(operaciones(), 3007);
    EXPECT_EQ(valor("SELECT numero_siguiente FROM t_numeradores WHERE id = 'CJA'"), "8");
    EXPECT_EQ(valor("SELECT sum(existencia) FROM productos"), "15");
    EXPECT_FALSE(db().enTransaccion());
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
