// The schema's version and update: a database of a newer version is left
// alone, the objects a server's schemas share are kept up to date, a
// station waits for another one's update a bounded time, and a server of an
// earlier version gets the file's rule for codes.
#include "PruebaPrincipal.h"

#include "ConfigPrograma.h"
#include "Module.h"
#include "db/Esquema.h"

#include <QUuid>
#include <chrono>
#include <future>
#include <memory>

namespace {

class EsquemaTest : public PruebaPrincipal {
protected:
    // Records v as the version of the schema of c, as a program of that
    // version would have.
    static void fijarVersion(Conexion &c, int v)
    {
        if (c.esServidor())
            c.execute(QStringLiteral("COMMENT ON TABLE t_numeradores IS 'Versión %1 del esquema'").arg(v));
        else
            c.execute(QStringLiteral("PRAGMA user_version = %1").arg(v));
    }
    static int indices(Conexion &c, const QString &nombre)
    {
        return static_cast<int>(
            c.openRecordset(c.esServidor() ? QStringLiteral("SELECT count(*) FROM pg_indexes WHERE schemaname = "
                                                            "current_schema() AND indexname = ?")
                                           : QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = ?"),
                            {nombre})
                .entero(0));
    }
};

TEST_F(EsquemaTest, UnaBaseAnteriorTomaEstaVersionYUnaMasNuevaNoSeAbreNiSeToca)
{
    EXPECT_EQ(Esquema::versionDe(db()), Esquema::kVersion);
    // A database of an earlier version, up to date but for its number.
    fijarVersion(db(), 0);
    abrirConexion();
    EXPECT_EQ(Esquema::versionDe(db()), Esquema::kVersion);

    // A newer version left it with an index this one would make anew.
    fijarVersion(db(), Esquema::kVersion + 1);
    db().execute("DROP INDEX ix_reservas_fecha");
    cerrarConexion();
    abrirPrincipal();
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    const QString texto = msg->ultimo().prompt;
    EXPECT_TRUE(texto.startsWith("No se pudo abrir la base de datos")) << texto.toStdString();
    EXPECT_TRUE(texto.contains(QStringLiteral("Error: 3041 - La base de datos fue puesta al día por una versión más "
                                              "nueva del programa (esquema %1; esta versión usa el esquema %2). "
                                              "Actualice el programa en este equipo.")
                                   .arg(Esquema::kVersion + 1)
                                   .arg(Esquema::kVersion)))
        << texto.toStdString();
    EXPECT_TRUE(texto.endsWith("Instale en este equipo la versión del programa que usa esa base de datos (la de las "
                               "demás estaciones, o una más nueva) y vuelva a iniciarlo."))
        << texto.toStdString();
    EXPECT_EQ(fin->veces(), 1);
    EXPECT_EQ(gConexion, nullptr);
    std::unique_ptr<Conexion> otra = otraEstacion();
    EXPECT_EQ(numeroDeError([&] { Esquema::actualizar(*otra); }), 3041);
    EXPECT_EQ(indices(*otra, "ix_reservas_fecha"), 0);
    EXPECT_EQ(Esquema::versionDe(*otra), Esquema::kVersion + 1);
}

// The server: each test makes what it tests in its own schema, or, for what
// every schema of a database shares, in a database of its own.
class EsquemaServidorTest : public EsquemaTest {
protected:
    void SetUp() override
    {
        EsquemaTest::SetUp();
        if (!enServidor())
            GTEST_SKIP() << "lo que se prueba aquí es del servidor";
    }
    void TearDown() override
    {
        if (!m_base.isEmpty()) {
            DatosServidor d = servidor();
            d.esquema.clear();
            std::unique_ptr<Conexion>(Conexion::abrirServidor(d))
                ->execute(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(m_base));
        }
        EsquemaTest::TearDown();
    }
    DatosServidor servidor() const
    {
        DatosServidor d;
        EXPECT_TRUE(ConfigPrograma::baseEnServidor(carpeta() + "/club.ini", d));
        return d;
    }
    // A database of its own, whose letters fold by a Spanish locale (not
    // the C of the tests' server), with the club made in it.
    DatosServidor baseAparte()
    {
        DatosServidor d = servidor();
        d.esquema.clear();
        m_base = QStringLiteral("esquema_") + QUuid::createUuid().toString(QUuid::Id128);
        std::unique_ptr<Conexion>(Conexion::abrirServidor(d))
            ->execute(QStringLiteral("CREATE DATABASE %1 LOCALE_PROVIDER icu ICU_LOCALE 'es' LOCALE 'C.UTF-8' "
                                     "TEMPLATE template0")
                          .arg(m_base));
        d.base = m_base;
        Esquema::crearBaseServidor(d);
        return d;
    }
    static QString texto(Conexion &c, const QString &sql, const Parametros &p = {})
    {
        Recordset rs = c.openRecordset(sql, p);
        return rs.eof() ? QString() : rs.texto(0);
    }

    QString m_base;
};

TEST_F(EsquemaServidorTest, LasFuncionesCompartidasSeRehacenConLosIndicesQueLasUsanSalvoLasDeUnaVersionMasNueva)
{
    const DatosServidor d = baseAparte();
    std::unique_ptr<Conexion> c(Conexion::abrirServidor(d));
    // Codes by the file's rule, though this database folds every letter.
    c->execute("INSERT INTO productos (id, precio_venta) VALUES ('ÑA', 1), ('ña', 2), ('É1', 3), ('é1', 4), "
               "('A1', 5)");
    EXPECT_EQ(numeroDeError([&] { c->execute("INSERT INTO productos (id) VALUES ('a1')"); }), 3022);
    EXPECT_EQ(texto(*c, "SELECT precio_venta FROM productos WHERE id = ?", {"ña"}), "2");
    EXPECT_EQ(texto(*c, "SELECT precio_venta FROM productos WHERE id = ?", {"a1"}), "5");

    // plegar written otherwise, as an earlier version might have left it,
    // and a concept written through it; instr as a newer version left it.
    c->execute("CREATE OR REPLACE FUNCTION public.plegar(text) RETURNS text LANGUAGE sql IMMUTABLE "
               "AS $$ SELECT $1 $$");
    c->execute("COMMENT ON FUNCTION public.plegar(text) IS NULL");
    c->execute("INSERT INTO caja_conceptos (id, descripcion) VALUES ('ZZ', 'Zeta')");
    c->execute("CREATE OR REPLACE FUNCTION public.instr(text, text) RETURNS integer LANGUAGE sql IMMUTABLE "
               "AS $$ SELECT strpos($1, $2) + 100 $$");
    c->execute(QStringLiteral("COMMENT ON FUNCTION public.instr(text, text) IS '%1 x'").arg(Esquema::kVersion + 1));

    Esquema::actualizar(*c);
    EXPECT_EQ(texto(*c, "SELECT plegar('ÑANDÚ Ü')"), "ñandú ü");
    EXPECT_EQ(numeroDeError([&] { c->execute("INSERT INTO caja_conceptos (id, descripcion) VALUES ('zz', 'z')"); }),
              3022);
    EXPECT_EQ(texto(*c, "SELECT instr('abc', 'b')"), "102");
    // Up to date: opened again, nothing shared is written.
    const QString escrito = "SELECT string_agg(p.oid || ':' || p.xmin || ':' || COALESCE(d.xmin::text, ''), ' ' "
                            "ORDER BY p.oid) FROM pg_proc p LEFT JOIN pg_description d ON d.objoid = p.oid "
                            "WHERE p.pronamespace = 'public'::regnamespace";
    const QString antes = texto(*c, escrito);
    Esquema::actualizar(*c);
    EXPECT_EQ(texto(*c, escrito), antes);
    // Once its version is no newer, it is this version's again.
    c->execute("COMMENT ON FUNCTION public.instr(text, text) IS NULL");
    Esquema::actualizar(*c);
    EXPECT_EQ(texto(*c, "SELECT instr('abc', 'b')"), "2");
}

TEST_F(EsquemaServidorTest, QuienEsperaLaActualizacionDeOtraEstacionSeRindeAlRatoYLoDice)
{
    db().execute("DROP VIEW reservas_cuenta_paso");
    cerrarConexion();
    std::unique_ptr<Conexion> a = otraEstacion();
    std::unique_ptr<Conexion> b = otraEstacion();
    // a brings the schema up to date and has not committed yet.
    auto ta = std::make_unique<Transaccion>(*a);
    Esquema::actualizar(*a);

    auto espera = std::async(std::launch::async, [&] {
        try {
            Esquema::actualizar(*b, std::chrono::seconds(2));
        } catch (const DbError &e) {
            return e.mensaje();
        }
        return QString();
    });
    const bool rendido = espera.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    ta->commit();
    ta.reset();
    EXPECT_TRUE(rendido);
    EXPECT_EQ(espera.get(),
              "Error: 3260 - Otra estación está poniendo al día la base de datos y no terminó en 2 segundos.");
    // Once a has finished, b finds the schema up to date.
    Esquema::actualizar(*b, std::chrono::seconds(2));
    EXPECT_EQ(b->openRecordset("SELECT count(*) FROM reservas_cuenta_paso").entero(0), 0);
}

TEST_F(EsquemaServidorTest, UnServidorConCodigosCitextTomaLaReglaDelArchivoSinPerderFilas)
{
    db().execute("INSERT INTO productos (id, precio_venta) VALUES ('A1', 5), ('ÑA', 6)");
    db().execute("INSERT INTO caja_conceptos (id, descripcion) VALUES ('ÑU', 'Ñu')");
    db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id) VALUES (5, 'C1', '2024-03-20', "
                 "'H1'), (5, 'c1', '2024-03-21', 'H1'), (5, 'C2', '2024-03-22', 'H1')");
    // The tables as an earlier version made them: codes of type citext, keys
    // primary, the counts' triggers written apart for the server, taking
    // the court as citext.
    db().execute("DROP VIEW reservas_cuenta_paso CASCADE");
    db().execute("CREATE VIEW reservas_cuenta_paso AS SELECT 0 AS clientes_id, '' AS canchas_id, 0 AS paso "
                 "WHERE false");
    for (const char *f : {"tr_reservas_cuenta_alta", "tr_reservas_cuenta_baja", "tr_reservas_cuenta_cambio"})
        db().execute(QStringLiteral("DROP FUNCTION %1 CASCADE").arg(QLatin1String(f)));
    const QStringList tablas{"productos", "caja_conceptos",       "canchas",
                             "reservas",  "reservas_por_cliente", "reservas_por_cliente_cancha"};
    for (const QString &t : tablas) {
        const QStringList disparadores =
            filas("SELECT pg_get_triggerdef(oid) FROM pg_trigger WHERE tgrelid = ?::regclass AND NOT tgisinternal", {t},
                  "", "\n")
                .split('\n', Qt::SkipEmptyParts);
        for (const QString &n : filas("SELECT tgname FROM pg_trigger WHERE tgrelid = ?::regclass AND NOT "
                                      "tgisinternal",
                                      {t}, "", "\n")
                                    .split('\n', Qt::SkipEmptyParts))
            db().execute(QStringLiteral("DROP TRIGGER %1 ON %2").arg(n, t));
        for (const QString &i :
             filas("SELECT indexname FROM pg_indexes WHERE schemaname = current_schema() AND tablename = ? AND "
                   "indexname LIKE 'ux%'",
                   {t}, "", "\n")
                 .split('\n', Qt::SkipEmptyParts))
            db().execute("DROP INDEX " + i);
        for (const QString &col : filas("SELECT attname FROM pg_attribute WHERE attrelid = ?::regclass AND "
                                        "atttypid = 'codigo'::regtype",
                                        {t}, "", "\n")
                                      .split('\n', Qt::SkipEmptyParts))
            db().execute(QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 TYPE citext").arg(t, col));
        for (const QString &s : disparadores)
            db().execute(s);
    }
    db().execute("ALTER TABLE productos ADD PRIMARY KEY (id)");
    db().execute("ALTER TABLE canchas ADD PRIMARY KEY (id)");
    db().execute("ALTER TABLE caja_conceptos ADD PRIMARY KEY (id)");
    db().execute("ALTER TABLE reservas_por_cliente_cancha ADD PRIMARY KEY (clientes_id, canchas_id)");
    db().execute(
        "CREATE FUNCTION reservas_cuenta_paso(cliente BIGINT, cancha CITEXT, paso BIGINT) RETURNS void "
        "LANGUAGE plpgsql AS $$ BEGIN IF cliente IS NULL THEN RETURN; END IF; "
        "INSERT INTO reservas_por_cliente (clientes_id, cantidad) VALUES (cliente, 0) ON CONFLICT DO NOTHING; "
        "UPDATE reservas_por_cliente SET cantidad = cantidad + paso WHERE clientes_id = cliente; "
        "DELETE FROM reservas_por_cliente WHERE clientes_id = cliente AND cantidad <= 0; "
        "IF cancha IS NOT NULL THEN INSERT INTO reservas_por_cliente_cancha (clientes_id, canchas_id, cantidad) "
        "VALUES (cliente, cancha, 0) ON CONFLICT DO NOTHING; UPDATE reservas_por_cliente_cancha SET cantidad = "
        "cantidad + paso WHERE clientes_id = cliente AND canchas_id = cancha; DELETE FROM "
        "reservas_por_cliente_cancha WHERE clientes_id = cliente AND canchas_id = cancha AND cantidad <= 0; "
        "UPDATE reservas_por_cliente SET cancha_frecuente_id = (SELECT canchas_id FROM reservas_por_cliente_cancha "
        "WHERE clientes_id = cliente ORDER BY cantidad DESC, canchas_id LIMIT 1) WHERE clientes_id = cliente; "
        "END IF; END $$");
    db().execute("CREATE FUNCTION reservas_cuenta() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                 "IF TG_OP IN ('DELETE', 'UPDATE') THEN PERFORM reservas_cuenta_paso(OLD.clientes_id, "
                 "OLD.canchas_id, -1); END IF; IF TG_OP IN ('INSERT', 'UPDATE') THEN PERFORM "
                 "reservas_cuenta_paso(NEW.clientes_id, NEW.canchas_id, 1); END IF; RETURN NULL; END $$");
    db().execute("CREATE TRIGGER tr_reservas_cuenta_alta AFTER INSERT ON reservas FOR EACH ROW EXECUTE FUNCTION "
                 "reservas_cuenta()");
    db().execute("CREATE TRIGGER tr_reservas_cuenta_baja AFTER DELETE ON reservas FOR EACH ROW EXECUTE FUNCTION "
                 "reservas_cuenta()");
    db().execute("CREATE TRIGGER tr_reservas_cuenta_cambio AFTER UPDATE OF clientes_id, canchas_id ON reservas FOR "
                 "EACH ROW WHEN (OLD.clientes_id IS DISTINCT FROM NEW.clientes_id OR OLD.canchas_id IS DISTINCT "
                 "FROM NEW.canchas_id) EXECUTE FUNCTION reservas_cuenta()");
    db().execute("COMMENT ON TABLE t_numeradores IS NULL");
    EXPECT_EQ(numeroDeError([this] { db().execute("INSERT INTO productos (id) VALUES ('ña')"); }), 3022);

    abrirConexion();
    EXPECT_EQ(contar("SELECT count(*) FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid WHERE "
                     "c.relnamespace = current_schema()::regnamespace AND a.atttypid = 'citext'::regtype"),
              0);
    EXPECT_EQ(contar("SELECT count(*) FROM pg_constraint WHERE conname = 'productos_pkey' AND "
                     "connamespace = current_schema()::regnamespace"),
              0);
    EXPECT_EQ(Esquema::versionDe(db()), Esquema::kVersion);
    EXPECT_EQ(contar("SELECT count(*) FROM pg_proc WHERE pronamespace = current_schema()::regnamespace AND "
                     "proname IN ('reservas_cuenta', 'reservas_cuenta_paso')"),
              0);
    // Every row is there; codes take the file's rule.
    EXPECT_EQ(filas("SELECT id, precio_venta FROM productos ORDER BY id", {}, "=", " "), "A1=5 ÑA=6");
    db().execute("INSERT INTO productos (id, precio_venta) VALUES ('ña', 7)");
    EXPECT_EQ(numeroDeError([this] { db().execute("INSERT INTO productos (id) VALUES ('a1')"); }), 3022);
    EXPECT_EQ(valor("SELECT precio_venta FROM productos WHERE id = 'ña'"), "7");
    EXPECT_EQ(valor("SELECT precio_venta FROM productos WHERE id = 'a1'"), "5");
    EXPECT_EQ(
        numeroDeError([this] { db().execute("INSERT INTO caja_conceptos (id, descripcion) VALUES ('ñu', 'otro')"); }),
        3022);
    // The counts go on as the file keeps them: c1 is C1 (either may name it).
    const QString cuentas = "SELECT string_agg(f, ' ' ORDER BY f) FROM (SELECT clientes_id || ':' || cantidad || ':' "
                            "|| upper(cancha_frecuente_id) AS f FROM reservas_por_cliente UNION ALL SELECT "
                            "clientes_id || '/' || upper(canchas_id) || ':' || cantidad FROM "
                            "reservas_por_cliente_cancha) AS t";
    EXPECT_EQ(valor(cuentas), "5/C1:2 5/C2:1 5:3:C1");
    db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id) VALUES (5, 'c2', '2024-03-23', "
                 "'H1'), (5, 'C2', '2024-03-24', 'H1')");
    db().execute("DELETE FROM reservas WHERE fecha = '2024-03-20'");
    EXPECT_EQ(valor(cuentas), "5/C1:1 5/C2:3 5:4:C2");
}

} // namespace
