// A restore that fails or is stopped at any step, and the reset of the operations.
#include "Respaldos.h"

#include "Frm_S_ResetBase.h"
#include "InterfazModule.h"

#include <QProcess>
#include <QProgressDialog>
#include <QTimer>

namespace {

using Respaldo::PasoRestauracion;

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
        hacerCopia(ruta("copia.mdb"));
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
    QStringList clientesVivos() { return clientes(*abrirBase()); }
    QStringList clientesDe(const QString &copia) { return clientes(*abrirCopia(copia)); }

    // The steps of a restore: on a server the copy is checked, the data it
    // replaces kept, and the copy put back in one transaction.
    const std::vector<PasoRestauracion> pasos =
        enServidor() ? std::vector<PasoRestauracion>{PasoRestauracion::Comprobar, PasoRestauracion::Guardar,
                                                     PasoRestauracion::Reemplazar}
                     : std::vector<PasoRestauracion>{PasoRestauracion::Copiar, PasoRestauracion::Comprobar,
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
        EXPECT_EQ(msg->textos().value(1), "Ha ocurrido un error en el proceso.\nError: 3043 - Error de lectura o "
                                          "escritura en el disco");
        // Once the database was closed for the last steps, the program ends.
        EXPECT_EQ(fin->veces() - fines, p >= PasoRestauracion::Marcar ? 1 : 0);
        EXPECT_EQ(clientesVivos(), QStringList{"Viva"});
        EXPECT_TRUE(copiasEnCurso().isEmpty()) << copiasEnCurso().join(",").toStdString();
        EXPECT_TRUE(archivosCon("reemplazada").isEmpty());
    }
    if (enServidor()) {
        // On the server the copy can also fail halfway through being put
        // back, once the tables it replaces are gone: here a column of it
        // has a type the server no longer has. Its one transaction undoes it.
        const QString tipo = "public.tipo_" + servidor().esquema;
        if (!gConexion)
            abrirConexion();
        db().execute("CREATE DOMAIN " + tipo + " AS text");
        db().execute("ALTER TABLE clientes ALTER COLUMN direccion TYPE " + tipo);
        preparar();
        db().execute("ALTER TABLE clientes ALTER COLUMN direccion TYPE text");
        db().execute("DROP DOMAIN " + tipo);
        const int fines = fin->veces();
        menu("mnu_restaurarbkp");
        EXPECT_TRUE(msg->textos().value(1).startsWith(
            "Ha ocurrido un error en el proceso.\nError: 3000 - No se pudo poner la copia en la base de datos del "
            "servidor (la base quedó como estaba): pg_restore terminó con un error.\nDetalle: "))
            << msg->textos().value(1).toStdString();
        EXPECT_EQ(fin->veces() - fines, 1);
        EXPECT_EQ(clientesVivos(), QStringList{"Viva"});
        EXPECT_TRUE(archivosCon("reemplazada").isEmpty());
        EXPECT_TRUE(archivosCon(".copiando").isEmpty());
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
        EXPECT_EQ(clientesVivos(), QStringList{"Viva"});

        // The next start finishes a restore whose copy was checked and
        // marked, and undoes one stopped before.
        msg->limpiar();
        abrirPrincipal();
        ASSERT_NE(gConexion, nullptr);
        if (enServidor()) {
            // On the server the copy is put back in one transaction, which a
            // program killed before its end never commits: nothing is
            // pending, and a copy of the data kept holds the data as it is.
            EXPECT_TRUE(msg->vacio()) << msg->textos().join("|").toStdString();
            EXPECT_EQ(clientes(db()), QStringList{"Viva"});
            const QStringList guardadas = archivosCon("reemplazada");
            EXPECT_EQ(guardadas.size(), p == PasoRestauracion::Reemplazar ? 1 : 0);
            for (const QString &g : guardadas)
                EXPECT_EQ(clientesDe(ruta(g)), QStringList{"Viva"}) << g.toStdString();
            EXPECT_TRUE(archivosCon(".copiando").isEmpty());
            principal->close();
            procesarEventos();
            continue;
        }
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

TEST_F(Restauraciones, OtraEstacionQueTieneLaBaseNoCongelaLaRestauracionYSeDicePorQue)
{
    preparar();
    RespaldoServidor::fijarEsperaMaxima(1500);
    // Another station in the middle of its work on the clients.
    std::unique_ptr<Conexion> otra = otraEstacion();
    otra->beginTrans();
    otra->execute("INSERT INTO clientes (nombre) VALUES ('De otra estación')");

    // The program's events go on while the copy is put in place, with a
    // window saying so above the others.
    int latidos = 0;
    int latidosAlReemplazar = -1;
    QString aviso;
    QTimer reloj;
    QObject::connect(&reloj, &QTimer::timeout, [&] {
        ++latidos;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<QProgressDialog *>(w); d && d->isVisible())
                aviso = d->labelText();
    });
    reloj.start(20);
    Respaldo::antesDePaso([&](PasoRestauracion p) {
        if (p == PasoRestauracion::Reemplazar)
            latidosAlReemplazar = latidos;
    });
    const int fines = fin->veces();
    menu("mnu_restaurarbkp");
    reloj.stop();
    otra->rollbackTrans();
    otra.reset();
    RespaldoServidor::fijarEsperaMaxima(0);

    const QStringList lineas = msg->textos().value(1).split('\n');
    EXPECT_EQ(lineas.value(0), "Ha ocurrido un error en el proceso.");
    if (enServidor()) {
        // It waited for the other station a while, then gave up.
        EXPECT_TRUE(lineas.value(1).startsWith("Error: 3260 - La base de datos está en uso por otra estación: la "
                                               "restauración de la copia esperó más de 1.5 segundos a que la "
                                               "liberara y se dejó sin hacer."))
            << lineas.join("|").toStdString();
        ASSERT_GE(latidosAlReemplazar, 0);
        EXPECT_GE(latidos - latidosAlReemplazar, 20);
        EXPECT_EQ(aviso, "Restaurando la copia de seguridad...");
    } else {
        // The file is another program's while it holds it.
        EXPECT_EQ(lineas.value(1), "Error: 3260 - La base de datos está en uso por otro programa: ciérrelo y vuelva "
                                   "a intentarlo.");
    }
    EXPECT_EQ(fin->veces() - fines, 1);
    EXPECT_EQ(clientesVivos(), QStringList{"Viva"});
    EXPECT_TRUE(archivosCon("reemplazada").isEmpty());
    EXPECT_TRUE(copiasEnCurso().isEmpty());
}

// The processes whose parent is padre: pid and name.
QMap<int, QString> hijosDe(qint64 padre)
{
    QMap<int, QString> l;
    for (const QString &pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile f("/proc/" + pid + "/stat");
        if (!f.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ..."
        const QString stat = QString::fromLatin1(f.readAll());
        const QStringList resto = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (resto.value(1).toLongLong() == padre)
            l.insert(pid.toInt(), stat.section('(', 1).section(')', 0, 0));
    }
    return l;
}

// True while the process pid runs (a zombie does not).
bool vive(int pid)
{
    QFile f(QString("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QString stat = QString::fromLatin1(f.readAll());
    return !stat.mid(stat.lastIndexOf(')') + 2).startsWith('Z');
}

TEST_F(Restauraciones, UnProgramaMuertoAMitadNoDejaLaRestauracionCorriendo)
{
    preparar();
    // On the server, another station holds the clients: the tool that puts
    // the copy back waits for it.
    std::unique_ptr<Conexion> otra;
    if (enServidor()) {
        otra = otraEstacion();
        otra->beginTrans();
        otra->execute("INSERT INTO clientes (nombre) VALUES ('De otra estación')");
    }
    // The program that restores is another process.
    cerrarConexion();
    QProcess programa;
    programa.start(QCoreApplication::applicationFilePath(), {"--restaurar", carpeta(), ruta("copia.mdb")});
    ASSERT_TRUE(esperar([&] { return programa.canReadLine() || programa.state() == QProcess::NotRunning; }))
        << programa.readAllStandardError().toStdString();
    ASSERT_EQ(programa.readLine(), "REEMPLAZANDO\n") << programa.readAllStandardError().toStdString();
    QMap<int, QString> herramientas;
    if (enServidor()) {
        std::unique_ptr<Conexion> mirada(Conexion::abrirServidor(servidor()));
        const QString sesiones = QString("club_pg_restore_%1_%").arg(programa.processId());
        auto esperando = [&] {
            return mirada
                ->openRecordset("SELECT count(*) FROM pg_stat_activity WHERE application_name LIKE ? "
                                "AND wait_event_type = 'Lock'",
                                {sesiones})
                .entero(0);
        };
        ASSERT_TRUE(esperar([&] { return esperando() > 0; }));
        herramientas = hijosDe(programa.processId());
        ASSERT_EQ(herramientas.values(), QStringList{"pg_restore"});
        programa.kill();
        programa.waitForFinished();
        // Nothing of it goes on: neither the tool nor its session.
        EXPECT_TRUE(esperar([&] { return !vive(herramientas.firstKey()); }));
        EXPECT_TRUE(esperar([&] {
            return mirada
                       ->openRecordset("SELECT count(*) FROM pg_stat_activity WHERE application_name LIKE ?",
                                       {sesiones})
                       .entero(0) == 0;
        }));
        otra->rollbackTrans();
        otra.reset();
    } else {
        programa.kill();
        programa.waitForFinished();
    }

    // The next start finds the data as it was on the server, where nothing
    // was committed; on the file the checked copy is put in place.
    msg->limpiar();
    abrirPrincipal();
    ASSERT_NE(gConexion, nullptr);
    EXPECT_EQ(clientes(db()), QStringList{enServidor() ? "Viva" : "De la copia"});
    if (!enServidor()) {
        EXPECT_EQ(msg->textos(), QStringList{"La copia de seguridad ha sido restaurada"});
    }
    EXPECT_TRUE(copiasEnCurso().isEmpty());
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
        // Enough reservations for the compaction to give back space, of
        // clients 1 to 50.
        Transaccion t(db());
        for (int i = 0; i < 3000; ++i)
            db().execute("INSERT INTO reservas (clientes_id, canchas_id, comentarios) VALUES (?, 'C1', ?)",
                         {1 + i % 50, QString(200, QChar('x'))});
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

    // A temporary file left by an earlier failed compaction of the file.
    if (!enServidor()) {
        QFile resto(Respaldo::temporalCompactacion(gRutaBase));
        ASSERT_TRUE(resto.open(QIODevice::WriteOnly));
        resto.write("restos");
        resto.close();
    }
    const qint64 huellaAntes = huellaDeCompactacion();

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
    EXPECT_EQ(contar("SELECT count(*) FROM reservas_por_cliente"), 0);
    EXPECT_EQ(contar("SELECT count(*) FROM reservas_por_cliente_cancha"), 0);
    EXPECT_EQ(contar("SELECT count(*) FROM productos WHERE existencia = 0"), 2);
    EXPECT_EQ(contar("SELECT count(*) FROM productos"), 2);
    EXPECT_EQ(clientes(db()), QStringList{"Ana"});
    EXPECT_EQ(contar("SELECT count(*) FROM canchas"), 1);
    EXPECT_EQ(contar("SELECT count(*) FROM valores_canchas"), 1);
    EXPECT_EQ(contar("SELECT count(*) FROM t_opcionesasignadas WHERE codigo = 'juan'"), 1);
    EXPECT_EQ(contar("SELECT count(*) FROM caja_conceptos WHERE id = 'LUZ'"), 1);
    EXPECT_EQ(valor("SELECT numero_siguiente FROM t_numeradores WHERE id = 'RESFIJA'"), "4");
    // The database was compacted (the file is smaller) and opens again.
    EXPECT_LT(huellaDeCompactacion(), huellaAntes);
    EXPECT_EQ(clientes(*abrirBase()), QStringList{"Ana"});
    // The next register opened gets number 1.
    Transaccion t(db());
    EXPECT_EQ(ProximoNumero("CJA"), 1);
}

TEST_F(Reset, ConOtraConexionAbiertaSeBorraSinPerderLoQueEstaEscribe)
{
    // Another connection to the database stays open: the file is not
    // replaced under it (its writes would be lost), the server vacuums.
    std::unique_ptr<Conexion> otra = abrirBase();
    msg->responder(vb::Yes);
    abrirReset()->findChild<QPushButton *>("cmdReset")->click();
    procesarEventos();
    QStringList esperados{"Se eliminarán todas las operaciones. ¿Desea continuar?"};
    if (!enServidor())
        esperados << "Error compactando dbAccess: " + gRutaBase +
                         " 3260 - El archivo de base de datos está bloqueado por otro proceso";
    esperados << "Datos de operaciones eliminados";
    EXPECT_EQ(msg->textos(), esperados) << msg->textos().join("|").toStdString();
    EXPECT_EQ(operaciones(), 0);
    otra->execute("INSERT INTO clientes (nombre) VALUES ('Desde la otra')");
    EXPECT_EQ(clientes(db()), (QStringList{"Ana", "Desde la otra"}));
    EXPECT_FALSE(QFileInfo::exists(Respaldo::temporalCompactacion(gRutaBase)));
}

TEST_F(Reset, UnaSentenciaQueFallaNoBorraNada)
{
    hacerFallar("ventas", "no", "1 = 1", {}, "DELETE");
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

} // namespace
