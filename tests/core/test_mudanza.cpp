// Moving a club between its encrypted file and a server, and the two pieces
// of the connection the move rests on: reading a query block by block and
// adding rows by the thousand.
#include "ConfigPrograma.h"
#include "db/Esquema.h"
#include "db/Mudanza.h"
#include "generar_club.h"
#include "support/Entorno.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QUuid>
#include <memory>

namespace {

// A text with what needs care on the way: quotes, a tab, line ends, a
// backslash before N, the character 0 and accents.
QString textoRaro()
{
    return QStringLiteral("O'Higgins\t\"Ñandú\"\nlínea\\N\r") + QChar(u'\0') + QStringLiteral("fin ✓");
}

// A small club generated as the benchmarks' is, with a row in every table
// and values of every kind: a user with its hash, the mail account,
// settings, permissions, counters, closings and stock.
void generarClubChico(const QString &ruta)
{
    Esquema::crearBase(ruta);
    std::unique_ptr<Conexion> c(Conexion::abrir(ruta, Esquema::claveBase()));
    TamanioClub t;
    t.anios = 1;
    t.canchas = 5;
    t.horarios = 8;
    t.clientes = 50;
    t.reservas = 1500;
    t.productos = 20;
    t.ventas = 2000; // 6,000 sale lines: more than one block of rows
    generarClub(*c, t);
    const QString raro = textoRaro();
    c->execute(QStringLiteral("INSERT INTO t_configuraciones (codigo, descripcion, valor) VALUES ('IMPRESORA', ?, ?)"),
               {raro, QStringLiteral("")});
    c->execute(QStringLiteral("INSERT INTO t_opcionesasignadas (codigo, opcion) VALUES ('recepcion', 'mnu_reservas')"));
    c->execute(QStringLiteral("INSERT INTO t_emailconf (usuario, \"contraseña\", destinatario, t_usuarios_codigo) "
                              "VALUES ('club@ejemplo.com', ?, 'dueño@ejemplo.com', 'admin')"),
               {raro});
    c->execute(QStringLiteral("UPDATE clientes SET comentarios = ?, direccion = NULL WHERE id = 2"), {raro});
    c->execute(QStringLiteral("UPDATE productos SET precio_compra = ?, precio_venta = ? WHERE id = 'P0001'"),
               {0.1 + 0.2, 1e-7});
    c->execute(QStringLiteral("INSERT INTO caja_resumen_stock (caja_cabeza_id, producto_id, producto_descripcion, "
                              "cantidad_vendida, existencia_actual) VALUES (1, 'P0001', ?, 2.5, -3)"),
               {raro});
    c->execute(QStringLiteral("INSERT INTO tmp_informe_ventas (producto_id, importe_ventas, t_usuarios_codigo) "
                              "VALUES ('P0001', 1234.5678, 'admin')"));
}

// Every row of every table, each as its values' types and texts, sorted:
// two files with the same rows give the same map.
QMap<QString, QStringList> todasLasFilas(Conexion &c)
{
    QMap<QString, QStringList> m;
    for (const QString &t : c.tablas()) {
        QStringList filas;
        for (Recordset rs = c.openRecordset(QStringLiteral("SELECT * FROM \"%1\"").arg(t)); !rs.eof(); rs.moveNext()) {
            QStringList valores;
            for (int i = 0; i < rs.fieldCount(); ++i) {
                const QVariant v = rs.campo(i).valor();
                valores << (v.isNull() ? QStringLiteral("null")
                            : v.typeId() == QMetaType::Double
                                ? QStringLiteral("r:") + QString::number(v.toDouble(), 'g', 17)
                                : QString::fromLatin1(v.typeName()) + QLatin1Char(':') + v.toString());
            }
            filas << valores.join(QLatin1Char('|'));
        }
        filas.sort();
        m.insert(t.toLower(), filas);
    }
    return m;
}

QString unValor(Conexion &c, const QString &sql, const Parametros &p = {})
{
    Recordset rs = c.openRecordset(sql, p);
    return rs.eof() ? QString() : rs.texto(0);
}

QString filasDe(Conexion &c, const QString &sql)
{
    QStringList l;
    for (Recordset rs = c.openRecordset(sql); !rs.eof(); rs.moveNext())
        l << rs.texto(0) + QLatin1Char('=') + rs.texto(1);
    return l.join(QLatin1Char(' '));
}

void esperarIguales(const QList<Mudanza::Comparacion> &r, qsizetype tablas)
{
    EXPECT_EQ(r.size(), tablas);
    for (const Mudanza::Comparacion &c : r) {
        EXPECT_TRUE(c.igual()) << c.tabla.toStdString();
        EXPECT_EQ(c.sumaOrigen.size(), 16) << c.tabla.toStdString();
    }
}

class MudanzaTest : public Entorno {
protected:
    void TearDown() override
    {
        if (!m_destino.esquema.isEmpty()) {
            DatosServidor d = m_destino;
            d.esquema.clear();
            std::unique_ptr<Conexion>(Conexion::abrirServidor(d))
                ->executeScript(QStringLiteral("DROP SCHEMA IF EXISTS \"%1\" CASCADE").arg(m_destino.esquema));
        }
        Entorno::TearDown();
    }
    // An empty schema of its own on the test server, as an empty database
    // made for the club.
    DatosServidor destinoVacio()
    {
        EXPECT_TRUE(ConfigPrograma::baseEnServidor(m_destino));
        m_destino.esquema = QStringLiteral("mudanza_") + QUuid::createUuid().toString(QUuid::Id128);
        std::unique_ptr<Conexion>(Conexion::abrirServidor(m_destino))
            ->executeScript(QStringLiteral("CREATE SCHEMA \"%1\"").arg(m_destino.esquema));
        return m_destino;
    }
    QString origen()
    {
        const QString ruta = carpeta() + QStringLiteral("/origen.mdb");
        generarClubChico(ruta);
        return ruta;
    }
    DatosServidor m_destino;
};

TEST_F(MudanzaTest, UnClubGeneradoVaAlServidorYVuelveConLasMismasFilas)
{
    if (!enServidor())
        GTEST_SKIP() << "necesita un servidor (CLUB_PRUEBAS_SERVIDOR)";
    const QString ruta = origen();
    const DatosServidor d = destinoVacio();
    QMap<QString, QStringList> antes;
    qsizetype tablas = 0;
    {
        std::unique_ptr<Conexion> a(Conexion::abrir(ruta, Esquema::claveBase()));
        antes = todasLasFilas(*a);
        tablas = a->tablas().size();
    }
    qint64 total = 0, copiadas = 0;
    QList<Mudanza::Avance::Etapa> etapas;
    const auto informe = [&](const Mudanza::Avance &a) {
        if (etapas.isEmpty() || etapas.last() != a.etapa)
            etapas << a.etapa;
        if (a.etapa == Mudanza::Avance::Copia)
            copiadas = a.hechas, total = a.total;
    };
    esperarIguales(Mudanza::alServidor(ruta, d, informe), tablas);
    EXPECT_GT(total, 10000);
    EXPECT_EQ(copiadas, total);
    EXPECT_EQ(etapas, (QList<Mudanza::Avance::Etapa>{Mudanza::Avance::Copia, Mudanza::Avance::Completar,
                                                     Mudanza::Avance::Comprobacion, Mudanza::Avance::Estadisticas}));

    {
        std::unique_ptr<Conexion> s(Conexion::abrirServidor(d));
        EXPECT_EQ(unValor(*s, QStringLiteral("SELECT comentarios FROM clientes WHERE id = 2")), textoRaro());
        EXPECT_EQ(unValor(*s, QStringLiteral("SELECT Clave FROM t_usuarios WHERE Codigo = 'RECEPCION'")),
                  unValor(*s, QStringLiteral("SELECT Clave FROM t_usuarios WHERE Codigo = 'admin'")));
        // The counts the loyalty report reads are those of the reservations.
        const QString contadas = filasDe(*s, QStringLiteral("SELECT clientes_id, COUNT(*) FROM reservas WHERE "
                                                            "clientes_id IS NOT NULL GROUP BY clientes_id ORDER BY 1"));
        EXPECT_FALSE(contadas.isEmpty());
        EXPECT_EQ(filasDe(*s, QStringLiteral("SELECT clientes_id, cantidad FROM reservas_por_cliente ORDER BY 1")),
                  contadas);
        // Numbering goes on past the highest number, and the triggers keep
        // the counts from now on.
        const qint64 ultima = unValor(*s, QStringLiteral("SELECT max(id) FROM reservas")).toLongLong();
        const qint64 ultimoCliente = unValor(*s, QStringLiteral("SELECT max(id) FROM clientes")).toLongLong();
        const int deDos =
            unValor(*s, QStringLiteral("SELECT cantidad FROM reservas_por_cliente WHERE clientes_id = 2")).toInt();
        Transaccion t(*s);
        s->execute(QStringLiteral("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, estado) "
                                  "VALUES (2, 'C01', '2031-01-06', 'H01', 'RES')"));
        EXPECT_EQ(s->lastInsertId(), ultima + 1);
        s->execute(QStringLiteral("INSERT INTO clientes (nombre) VALUES ('Nuevo')"));
        EXPECT_EQ(s->lastInsertId(), ultimoCliente + 1);
        EXPECT_EQ(
            unValor(*s, QStringLiteral("SELECT cantidad FROM reservas_por_cliente WHERE clientes_id = 2")).toInt(),
            deDos + 1);
    }

    // A database that holds a club is refused, and keeps its rows.
    EXPECT_EQ(numeroDeError([&] { Mudanza::alServidor(ruta, d); }), 3204);
    {
        std::unique_ptr<Conexion> s(Conexion::abrirServidor(d));
        EXPECT_EQ(unValor(*s, QStringLiteral("SELECT count(*) FROM reservas")).toInt(),
                  antes.value(QStringLiteral("reservas")).size());
    }

    // Back to one station: a new file with the same rows as the first.
    const QString vuelta = carpeta() + QStringLiteral("/vuelta.mdb");
    esperarIguales(Mudanza::alArchivo(d, vuelta), tablas);
    std::unique_ptr<Conexion> v(Conexion::abrir(vuelta, Esquema::claveBase()));
    const QMap<QString, QStringList> despues = todasLasFilas(*v);
    EXPECT_EQ(despues.keys(), antes.keys());
    for (auto it = antes.cbegin(); it != antes.cend(); ++it)
        EXPECT_TRUE(despues.value(it.key()) == it.value()) << it.key().toStdString();
    EXPECT_EQ(numeroDeError([&] { Mudanza::alArchivo(d, vuelta); }), 3204);
}

TEST_F(MudanzaTest, UnFalloAMitadDeLaCopiaDejaElServidorVacioYNingunArchivo)
{
    if (!enServidor())
        GTEST_SKIP() << "necesita un servidor (CLUB_PRUEBAS_SERVIDOR)";
    const QString ruta = origen();
    const DatosServidor d = destinoVacio();
    const auto vacio = [&] { return std::unique_ptr<Conexion>(Conexion::abrirServidor(d))->tablas().isEmpty(); };

    // A row the server refuses, in the last table copied: everything before
    // it is undone.
    {
        std::unique_ptr<Conexion> a(Conexion::abrir(ruta, Esquema::claveBase()));
        a->execute(QStringLiteral(
            "UPDATE ventas_items SET cantidad = 'mucho' WHERE rowid = (SELECT max(rowid) FROM ventas_items)"));
    }
    QString mensaje;
    try {
        Mudanza::alServidor(ruta, d);
    } catch (const DbError &e) {
        mensaje = e.descripcion();
    }
    EXPECT_TRUE(mensaje.contains(QLatin1String("ventas_items"))) << mensaje.toStdString();
    EXPECT_TRUE(vacio());

    // A failure of the program itself half-way through a table.
    {
        std::unique_ptr<Conexion> a(Conexion::abrir(ruta, Esquema::claveBase()));
        a->execute(QStringLiteral("UPDATE ventas_items SET cantidad = 1 WHERE cantidad = 'mucho'"));
    }
    qint64 alEmpezar = -1;
    const auto cortar = [&](const Mudanza::Avance &a) {
        if (a.etapa != Mudanza::Avance::Copia || a.tabla != QLatin1String("ventas_items"))
            return;
        if (alEmpezar < 0)
            alEmpezar = a.hechas;
        else if (a.hechas > alEmpezar) // a first block of its rows sent
            throw DbError(3000, QStringLiteral("cortada"));
    };
    EXPECT_EQ(numeroDeError([&] { Mudanza::alServidor(ruta, d, cortar); }), 3000);
    EXPECT_TRUE(vacio());

    // The club goes whole; on the way back a failure leaves no file.
    Mudanza::alServidor(ruta, d);
    const QString vuelta = carpeta() + QStringLiteral("/vuelta.mdb");
    const auto alComprobar = [](const Mudanza::Avance &a) {
        if (a.etapa == Mudanza::Avance::Comprobacion && a.tabla == QLatin1String("reservas"))
            throw DbError(3000, QStringLiteral("cortada"));
    };
    EXPECT_EQ(numeroDeError([&] { Mudanza::alArchivo(d, vuelta, alComprobar); }), 3000);
    EXPECT_FALSE(QFile::exists(vuelta));
    EXPECT_FALSE(QFile::exists(vuelta + QStringLiteral("-wal")));
}

TEST_F(MudanzaTest, EntreDosArchivosCadaTablaSeComparaYNadaQuedaSiAlgoFalla)
{
    const QString ruta = origen();
    std::unique_ptr<Conexion> o(Conexion::abrir(ruta, Esquema::claveBase()));
    std::unique_ptr<Conexion> d(Conexion::crear(carpeta() + QStringLiteral("/copia.mdb"), Esquema::claveBase()));

    // A row lost between the copy and the comparison is found, and the
    // whole copy undone.
    const auto perder = [&](const Mudanza::Avance &a) {
        if (a.etapa == Mudanza::Avance::Comprobacion && a.tabla == QLatin1String("clientes"))
            d->execute(QStringLiteral("DELETE FROM clientes WHERE id = 2"));
    };
    QString mensaje;
    try {
        Mudanza::copiar(*o, *d, QString(), perder);
    } catch (const DbError &e) {
        mensaje = e.descripcion();
    }
    EXPECT_TRUE(mensaje.contains(QLatin1String("clientes"))) << mensaje.toStdString();
    EXPECT_FALSE(mensaje.contains(QLatin1String("reservas"))) << mensaje.toStdString();
    EXPECT_TRUE(d->tablas().isEmpty());

    esperarIguales(Mudanza::copiar(*o, *d, QString()), o->tablas().size());
    EXPECT_TRUE(todasLasFilas(*d) == todasLasFilas(*o));
    EXPECT_EQ(numeroDeError([&] { Mudanza::copiar(*o, *d, QString()); }), 3204);

    // Counts gone wrong at the origin are counted afresh at the destination:
    // told, and the move goes on.
    const QString cuenta = QStringLiteral("SELECT cantidad FROM reservas_por_cliente WHERE clientes_id = 2");
    const QString bien = unValor(*o, cuenta);
    o->execute(QStringLiteral("UPDATE reservas_por_cliente SET cantidad = 999 WHERE clientes_id = 2"));
    std::unique_ptr<Conexion> otra(Conexion::crear(carpeta() + QStringLiteral("/otra.mdb"), Esquema::claveBase()));
    for (const Mudanza::Comparacion &c : Mudanza::copiar(*o, *otra, QString()))
        EXPECT_EQ(c.igual(), c.tabla != QLatin1String("reservas_por_cliente")) << c.tabla.toStdString();
    EXPECT_EQ(unValor(*otra, cuenta), bien);
}

TEST_F(MudanzaTest, CrearBaseDiceLoQueHizoYMuestraElAvance)
{
    if (!enServidor())
        GTEST_SKIP() << "necesita un servidor (CLUB_PRUEBAS_SERVIDOR)";
    const QString ruta = origen();
    const DatosServidor d = destinoVacio();
    const QString ini = carpeta() + QStringLiteral("/destino.ini");
    anotarServidor(ini, d);
    struct Salida {
        int codigo;
        QString out, err;
    };
    const auto crearBase = [](const QStringList &args) {
        QProcess p;
        p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/crear_base"), args);
        EXPECT_TRUE(p.waitForFinished(120000));
        return Salida{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                      QString::fromUtf8(p.readAllStandardError())};
    };

    Salida s = crearBase({QStringLiteral("--servidor"), ini, QStringLiteral("--desde"), ruta});
    ASSERT_EQ(s.codigo, 0) << s.err.toStdString();
    EXPECT_TRUE(s.err.contains(QLatin1String("Copiando reservas: "))) << s.err.toStdString();
    EXPECT_TRUE(s.out.contains(QLatin1String("Se crearon las tablas del club en la base 'club'")))
        << s.out.toStdString();
    QString reservas;
    for (const QString &linea : s.out.split(QLatin1Char('\n')))
        if (linea.startsWith(QLatin1String("reservas ")))
            reservas = linea;
    EXPECT_TRUE(reservas.endsWith(QLatin1String("igual"))) << s.out.toStdString();
    EXPECT_EQ(s.out.count(QLatin1String("  igual\n")),
              std::unique_ptr<Conexion>(Conexion::abrirServidor(d))->tablas().size());

    s = crearBase({QStringLiteral("--servidor"), ini, QStringLiteral("--desde"), ruta});
    EXPECT_EQ(s.codigo, 1);
    EXPECT_TRUE(s.err.contains(QLatin1String("Error: 3204"))) << s.err.toStdString();
    EXPECT_TRUE(s.err.contains(QStringLiteral("No se copió nada."))) << s.err.toStdString();
    s = crearBase({QStringLiteral("--servidor"), ini});
    EXPECT_EQ(s.codigo, 1);

    const QString vuelta = carpeta() + QStringLiteral("/vuelta.mdb");
    s = crearBase({vuelta, QStringLiteral("--desde-servidor"), ini});
    ASSERT_EQ(s.codigo, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.startsWith(QStringLiteral("Se creó el archivo ") + vuelta)) << s.out.toStdString();
    EXPECT_TRUE(QFile::exists(vuelta));

    // The shipped rows on an empty database, told as made.
    std::unique_ptr<Conexion>(Conexion::abrirServidor(d))
        ->executeScript(QStringLiteral("DROP SCHEMA \"%1\" CASCADE; CREATE SCHEMA \"%1\"").arg(d.esquema));
    s = crearBase({QStringLiteral("--servidor"), ini});
    ASSERT_EQ(s.codigo, 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.contains(QLatin1String("con las filas iniciales"))) << s.out.toStdString();
    EXPECT_EQ(crearBase({QStringLiteral("--desde"), ruta}).codigo, 2);
}

using CargaTest = Entorno;

TEST_F(CargaTest, FilasPorBloquesYCargadasPorMilesVuelvenIgualesYUnRechazoLoDeshaceLaTransaccion)
{
    const QString raro = textoRaro();
    Parametros valores;
    for (int i = 0; i < 2500; ++i)
        valores << QStringLiteral("C%1").arg(i) << (i % 7 == 0 ? QVariant() : QVariant(raro + QString::number(i)))
                << (i == 0 ? QVariant(QStringLiteral("")) : QVariant(QStringLiteral("\\")));
    {
        Transaccion t(db());
        Carga c(db(), QStringLiteral("canchas"),
                {QStringLiteral("id"), QStringLiteral("descripcion"), QStringLiteral("cancha_madre_id")});
        c.anadir(valores.mid(0, 3 * 1000));
        c.anadir(valores.mid(3 * 1000));
        EXPECT_EQ(numeroDeError([&] { c.anadir({QStringLiteral("X"), QStringLiteral("sin madre")}); }), 3061);
        c.terminar();
        t.commit();
    }
    QList<int> bloques;
    Parametros leidos;
    db().leerPorBloques(QStringLiteral("SELECT id, descripcion, cancha_madre_id FROM canchas WHERE id <> ? ORDER BY "
                                       "CAST(substr(id, 2) AS INTEGER)"),
                        {QStringLiteral("C3")}, 1000, [&](Recordset &rs) {
                            bloques << rs.recordCount();
                            for (; !rs.eof(); rs.moveNext())
                                for (int i = 0; i < 3; ++i)
                                    leidos << rs.campo(i).valor();
                        });
    EXPECT_EQ(bloques, (QList<int>{1000, 1000, 499}));
    valores.remove(9, 3);
    ASSERT_EQ(leidos.size(), valores.size());
    for (qsizetype i = 0; i < valores.size(); ++i)
        ASSERT_EQ(leidos[i], valores[i]) << i;

    // A failure inside the reader ends the query; the connection goes on.
    EXPECT_EQ(numeroDeError([&] {
                  db().leerPorBloques(QStringLiteral("SELECT id FROM canchas"), {}, 10,
                                      [](Recordset &) { throw DbError(3000, QStringLiteral("basta")); });
              }),
              3000);
    EXPECT_EQ(contar(QStringLiteral("SELECT count(*) FROM canchas")), 2500);

    // A row the table refuses: the transaction undoes every row of the
    // carga and stays usable until then.
    {
        Transaccion t(db());
        db().execute(QStringLiteral("INSERT INTO horarios (codigo, descripcion) VALUES ('H1', 'antes')"));
        EXPECT_EQ(numeroDeError([&] {
                      Carga c(db(), QStringLiteral("reservas_por_cliente"),
                              {QStringLiteral("clientes_id"), QStringLiteral("cantidad")});
                      c.anadir({1, 1, 2, QVariant(), 3, 1});
                      c.terminar();
                  }),
                  3314);
        EXPECT_EQ(contar(QStringLiteral("SELECT count(*) FROM horarios WHERE codigo = 'H1'")), 1);
    }
    EXPECT_EQ(contar(QStringLiteral("SELECT count(*) FROM horarios")), 0);
    EXPECT_EQ(contar(QStringLiteral("SELECT count(*) FROM reservas_por_cliente")), 0);
}

} // namespace
