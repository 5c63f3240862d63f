// A station whose server goes away and comes back: the server stopped at
// once (as a crash or a pulled plug would) and started again under it, the
// station idle or inside a transaction. Each test runs its own throwaway
// server, which it stops and starts: never the one the other tests share.
#include "support/Entorno.h"

#include "Frm_T_Clientes.h"
#include "Frm_T_ClientesAnexo.h"
#include "RegistroMaestros.h"
#include "platform/Aperturas.h"
#include "reservations/AyudaListas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

using namespace ayuda;

namespace {

const QString kSinServidor = "Error: 3024 - No se puede conectar con el servidor de base de datos.";
const QString kNoGuardado =
    "Error: 3024 - Se perdió la conexión con el servidor de base de datos: la operación en curso no se guardó.";

class ServidorCaidoTest : public Entorno {
protected:
    static bool hayPostgresql()
    {
        const QDir versiones(QStringLiteral("/usr/lib/postgresql"));
        for (const QString &v : versiones.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (QFileInfo(versiones.filePath(v + QStringLiteral("/bin/initdb"))).isExecutable())
                return true;
        return false;
    }

    // Runs scripts/servidor_pruebas with accion on this test's server.
    static void servidor(const QString &accion)
    {
        QProcess p;
        QStringList argumentos{QStringLiteral(CLUB_PRUEBAS_DIR "/../scripts/servidor_pruebas"), accion, s_carpeta};
        // Its confirmed commits survive being stopped at once, as a real
        // server's do.
        if (accion == QLatin1String("iniciar"))
            argumentos << QStringLiteral("durable");
        p.start(QStringLiteral("bash"), argumentos);
        ASSERT_TRUE(p.waitForFinished(180000)) << accion.toStdString();
        ASSERT_EQ(p.exitCode(), 0) << accion.toStdString() << ": " << p.readAllStandardError().toStdString();
    }

    void SetUp() override
    {
        if (!hayPostgresql())
            GTEST_SKIP() << "PostgreSQL no está instalado";
        m_dirServidor = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/club_pg_caido.XXXXXX"));
        ASSERT_TRUE(m_dirServidor->isValid());
        s_carpeta = m_dirServidor->path();
        // The postgres account runs the server when the tests run as root.
        QFile::setPermissions(s_carpeta, QFile::permissions(s_carpeta) | QFile::ReadOther | QFile::ExeOther);
        m_iniciado = true;
        servidor(QStringLiteral("iniciar"));
        if (HasFatalFailure())
            return;
        m_anterior = qgetenv("CLUB_PRUEBAS_SERVIDOR");
        m_puerto = qgetenv("CLUB_PRUEBAS_PUERTO");
        qputenv("CLUB_PRUEBAS_SERVIDOR", s_carpeta.toUtf8());
        qunsetenv("CLUB_PRUEBAS_PUERTO");
        Entorno::SetUp();
    }

    void TearDown() override
    {
        if (!m_iniciado)
            return;
        if (gConexion)
            Entorno::TearDown();
        servidor(QStringLiteral("detener"));
        qputenv("CLUB_PRUEBAS_SERVIDOR", m_anterior);
        if (!m_puerto.isEmpty())
            qputenv("CLUB_PRUEBAS_PUERTO", m_puerto);
        if (m_anterior.isEmpty())
            qunsetenv("CLUB_PRUEBAS_SERVIDOR");
    }

    static void parar() { servidor(QStringLiteral("parar")); }
    static void arrancar() { servidor(QStringLiteral("arrancar")); }

    // The message of the DbError f throws ("" when none).
    static QString error(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const DbError &e) {
            return e.mensaje();
        }
        return {};
    }

    static inline QString s_carpeta;
    std::unique_ptr<QTemporaryDir> m_dirServidor;
    bool m_iniciado = false;
    QByteArray m_anterior, m_puerto;
};

TEST_F(ServidorCaidoTest, UnaEstacionQuietaSeVuelveAConectarSola)
{
    const QString buscar = "SELECT nombre FROM clientes WHERE id = ?";
    const QString agregar = "INSERT INTO clientes (nombre, telefono) VALUES (?, '1')";
    EXPECT_EQ(valor(buscar, {1}), "CONSUMIDOR FINAL");
    db().execute(agregar, {"Ana"});
    // A second station that read before and then stays idle throughout.
    std::unique_ptr<Conexion> otra = otraEstacion();
    EXPECT_EQ(otra->openRecordset(buscar, {1}).texto(0), "CONSUMIDOR FINAL");

    parar();
    // Every kind of statement is told in Spanish, as often as it is tried.
    for (int vez = 0; vez < 2; ++vez) {
        const QString leer = error([&] { valor(buscar, {1}); });
        EXPECT_TRUE(leer.startsWith(kSinServidor)) << leer.toStdString();
        EXPECT_TRUE(error([&] { db().execute(agregar, {"Luis"}); }).startsWith(kSinServidor));
        EXPECT_TRUE(error([&] { db().executeScript("SELECT 1"); }).startsWith(kSinServidor));
        EXPECT_TRUE(error([&] { Transaccion t(db()); }).startsWith(kSinServidor));
        EXPECT_FALSE(db().enTransaccion());
        EXPECT_EQ(numeroDeError([&] { db().tablas(); }), 3024);
    }
    arrancar();

    // The first statement after the server is back works, prepared anew,
    // on a connection with the club's schema and settings.
    EXPECT_EQ(valor(buscar, {1}), "CONSUMIDOR FINAL");
    EXPECT_EQ(valor("SHOW lock_timeout"), "2s");
    EXPECT_TRUE(valor("SHOW search_path").startsWith("prueba_"));
    {
        Transaccion t(db());
        db().execute(agregar, {"Luis"});
        t.commit();
    }
    EXPECT_EQ(filas("SELECT nombre FROM clientes WHERE id > 1 ORDER BY id"), "Ana Luis");
    // The station that stayed idle through it all finds its server again too.
    EXPECT_EQ(otra->openRecordset(buscar, {1}).texto(0), "CONSUMIDOR FINAL");
    EXPECT_EQ(otra->execute(agregar, {"Eva"}), 1);

    // A server restarted between two statements, unseen by the station.
    parar();
    arrancar();
    EXPECT_EQ(contar("SELECT count(*) FROM clientes"), 4);
    EXPECT_EQ(otra->openRecordset("SELECT count(*) FROM clientes").campo(0).entero(), 4);
}

TEST_F(ServidorCaidoTest, UnaTransaccionCortadaNoSeGuardaNiALaMitad)
{
    const QString agregar = "INSERT INTO clientes (nombre, telefono) VALUES (?, '1')";
    auto cuantos = [this] { return contar("SELECT count(*) FROM clientes WHERE nombre <> 'CONSUMIDOR FINAL'"); };

    // Stopped in the middle: the rest of the operation is refused, also
    // after the server is back, and its commit says it was not saved.
    {
        Transaccion t(db());
        db().execute(agregar, {"Ana"});
        parar();
        const QString e1 = error([&] { db().execute(agregar, {"Luis"}); });
        EXPECT_TRUE(e1.startsWith(kNoGuardado)) << e1.toStdString();
        EXPECT_TRUE(error([&] { valor("SELECT count(*) FROM clientes"); }).startsWith(kNoGuardado));
        arrancar();
        // Never on a new connection outside the transaction.
        EXPECT_TRUE(error([&] { db().execute(agregar, {"Luis"}); }).startsWith(kNoGuardado));
        EXPECT_TRUE(error([&] { t.commit(); }).startsWith(kNoGuardado));
    }
    EXPECT_FALSE(db().enTransaccion());
    EXPECT_EQ(cuantos(), 0);

    // Restarted unseen between the writes and the commit, with a part of
    // the operation in a guard of its own.
    {
        Transaccion t(db());
        db().execute(agregar, {"Ana"});
        {
            Transaccion parte(db());
            db().execute(agregar, {"Luis"});
            parar();
            arrancar();
            EXPECT_TRUE(error([&] { parte.commit(); }).startsWith(kNoGuardado));
        }
        EXPECT_TRUE(error([&] { t.commit(); }).startsWith(kNoGuardado));
    }
    EXPECT_FALSE(db().enTransaccion());
    EXPECT_EQ(cuantos(), 0);

    // A transaction whose guard ends without a commit while the server is
    // away leaves the connection to be made again by the next operation.
    {
        Transaccion t(db());
        db().execute(agregar, {"Ana"});
        parar();
    }
    EXPECT_TRUE(error([&] { cuantos(); }).startsWith(kSinServidor));
    arrancar();
    EXPECT_EQ(cuantos(), 0);

    // And the next operation is whole.
    {
        Transaccion t(db());
        db().execute(agregar, {"Ana"});
        db().execute(agregar, {"Luis"});
        t.commit();
    }
    EXPECT_EQ(cuantos(), 2);
}

TEST_F(ServidorCaidoTest, ClientesConElServidorParadoLoDiceYAlVolverFunciona)
{
    registrarVentanasMaestros();
    // A second station logged in as well, idle while the server is away.
    std::unique_ptr<Conexion> otra = otraEstacion();
    otra->execute("INSERT INTO clientes (nombre, telefono) VALUES ('Ana', '1')");
    ASSERT_TRUE(Aperturas::abrir("mnu_clientes"));
    Frm_T_Clientes *lista = Ventanas::existente<Frm_T_Clientes>();
    ASSERT_NE(lista, nullptr);
    Ventanas::descargar(lista);
    procesarEventos();

    parar();
    for (int vez = 0; vez < 2; ++vez) {
        msg->limpiar();
        Aperturas::abrir("mnu_clientes");
        procesarEventos();
        ASSERT_EQ(msg->mostrados().size(), 1u);
        EXPECT_TRUE(msg->ultimo().prompt.startsWith(kSinServidor)) << msg->ultimo().prompt.toStdString();
        EXPECT_TRUE(msg->ultimo().prompt.contains("el programa vuelve a conectarse solo"));
        EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
        EXPECT_EQ(Ventanas::existente<Frm_T_Clientes>(), nullptr);
    }
    arrancar();

    // The next action works: the list opens and a client is added through
    // its dialog.
    msg->limpiar();
    ASSERT_TRUE(Aperturas::abrir("mnu_clientes"));
    procesarEventos();
    lista = Ventanas::existente<Frm_T_Clientes>();
    ASSERT_NE(lista, nullptr);
    EXPECT_TRUE(msg->vacio()) << msg->ultimo().prompt.toStdString();
    EXPECT_EQ(columna(grilla(lista), 3), (QStringList{"CONSUMIDOR FINAL", "Ana"}));
    clic(lista, 0);
    Frm_T_ClientesAnexo *d = Ventanas::existente<Frm_T_ClientesAnexo>();
    ASSERT_NE(d, nullptr);
    escribir(mask(d, 1), "Luis");
    escribir(mask(d, 2), "444");
    clic(d, 0);
    EXPECT_TRUE(msg->vacio()) << msg->ultimo().prompt.toStdString();
    EXPECT_EQ(columna(grilla(lista), 3), (QStringList{"CONSUMIDOR FINAL", "Ana", "Luis"}));
    // The other station, idle meanwhile, sees it.
    EXPECT_EQ(otra->openRecordset("SELECT count(*) FROM clientes WHERE nombre = 'Luis'").campo(0).entero(), 1);
}

} // namespace
