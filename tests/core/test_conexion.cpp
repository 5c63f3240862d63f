#include "support/Entorno.h"

#include "Claves.h"
#include "Respaldo.h"
#include "db/Esquema.h"

#include <QCollator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <memory>
#include <random>
#include <sqlite3.h>

using ConexionTest = Entorno;

TEST_F(ConexionTest, ValoresConComillaSeGuardanYEncuentran)
{
    db().execute("INSERT INTO clientes (nombre, telefono) VALUES (?, ?)", {"O'Brien", "1'2"});
    EXPECT_EQ(valor("SELECT telefono FROM clientes WHERE nombre = ?", {"O'Brien"}), "1'2");

    // The character 0 and U+FFFF (what the server keeps it as) come back as
    // given on either engine, alone, together and beside each other, and are
    // found by the same value.
    for (const QString &t : {QString(QChar(u'\0')), QString(QChar(0xFFFF)), QString::fromUtf16(u"a\0\uFFFF0b", 5),
                             QString::fromUtf16(u"\uFFFF\uFFFF\0\0", 4), QString::fromUtf16(u"\uFFFF0", 2)}) {
        db().execute("DELETE FROM clientes");
        db().execute("INSERT INTO clientes (nombre, telefono) VALUES (?, ?)", {"X", t});
        EXPECT_EQ(valor("SELECT telefono FROM clientes"), t);
        EXPECT_EQ(valor("SELECT nombre FROM clientes WHERE telefono = ?", {t}), "X");
    }
}

TEST_F(ConexionTest, ClaveDuplicadaEsError3022)
{
    db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Uno')");
    EXPECT_EQ(numeroDeError([this] { db().execute("INSERT INTO canchas (id, descripcion) VALUES ('c1', 'Otra')"); }),
              3022);
}

TEST_F(ConexionTest, PlegarDaElTextoConLasMayusculasDeTodaLetraPlegadas)
{
    // Every case of the byte-by-byte path and of the general one.
    for (const QString t :
         {"JABÓN Ñandú", "ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ×ØÙÚÛÜÝÞßàÿ", "a×b µ ¿¡«»", "ΣΑΣ Жук İI", "Z9-", "", "Ñ€Ñ"})
        EXPECT_EQ(valor("SELECT plegar(?)", {t}), t.toCaseFolded()) << t.toStdString();
    EXPECT_EQ(valor("SELECT CASE WHEN plegar('ÁRBOL') = plegar('árbol') THEN 1 ELSE 0 END"), "1");
    // The file's own lower() leaves every letter past ASCII as it is.
    if (!enServidor()) {
        EXPECT_EQ(valor("SELECT lower('ÁRBOL') <> lower('árbol')"), "1");
    }
    EXPECT_EQ(valor("SELECT CASE WHEN plegar(NULL) IS NULL THEN 'null' END || plegar(12.5)"), "null12.5");
}

TEST_F(ConexionTest, TransaccionSinCommitSeDeshace)
{
    {
        Transaccion t(db());
        db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H1', '9:00')");
    }
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 0);
    EXPECT_FALSE(db().enTransaccion());
    {
        Transaccion t(db());
        db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H1', '9:00')");
        t.commit();
    }
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 1);
}

TEST_F(ConexionTest, ArchivoCifradoYClaveErronea)
{
    QFile f(gRutaBase);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.read(16).startsWith("SQLite format 3"));
    f.close();
    EXPECT_THROW(std::unique_ptr<Conexion>(Conexion::abrir(gRutaBase, "otra")), DbError);
    EXPECT_THROW(std::unique_ptr<Conexion>(Conexion::abrir(carpeta() + "/no_existe.mdb", Esquema::claveBase())),
                 DbError);

    // An empty file (a copy that failed) is refused and left untouched.
    const QString vacio = carpeta() + "/vacio.mdb";
    QFile v(vacio);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly));
    v.close();
    EXPECT_EQ(numeroDeError([&] { std::unique_ptr<Conexion>(Conexion::abrir(vacio, Esquema::claveBase())); }), 3343);
    EXPECT_EQ(QFileInfo(vacio).size(), 0);
}

TEST_F(ConexionTest, OrdenEspanol)
{
    db().execute(
        "INSERT INTO canchas (id, descripcion) VALUES ('A', 'Ñandú'), ('B', 'nube'), ('C', 'Árbol'), ('D', 'oso')");
    Recordset rs = db().openRecordset(QString("SELECT descripcion FROM canchas ORDER BY descripcion") + kCollateEs);
    QStringList l;
    for (; !rs.eof(); rs.moveNext())
        l << rs.texto("descripcion");
    EXPECT_EQ(l, (QStringList{"Árbol", "nube", "Ñandú", "oso"}));

    // Equal texts, texts with characters of three bytes and texts that
    // differ in letter case only keep that order, a prefix first.
    db().execute("INSERT INTO canchas (id, descripcion) VALUES ('E', 'nube'), ('F', 'Ñandú €'), ('G', 'Nube'), "
                 "('H', 'árbol')");
    rs = db().openRecordset(QString("SELECT descripcion FROM canchas ORDER BY descripcion") + kCollateEs + ", id");
    l.clear();
    for (; !rs.eof(); rs.moveNext())
        l << rs.texto("descripcion");
    EXPECT_EQ(l, (QStringList{"árbol", "Árbol", "nube", "nube", "Nube", "Ñandú", "Ñandú €", "oso"}));
}

TEST_F(ConexionTest, OrdenEspanolIgualAlDelColador)
{
    // Names and short texts of letters that differ in case, accents, ñ, a
    // combining tilde, spaces, digits and signs, sorted by the engine, come
    // in the order of the Spanish collator followed by the code units.
    const QStringList piezas{"a", "A", "b", "n", "N",       "o", "O", "z", "Z", " ", "ñ",  "Ñ",
                             "á", "Á", "é", "ü", "n\u0303", "1", "-", "c", "h", "l", "ch", "ll"};
    std::mt19937 azar(7);
    QStringList textos{"González Juan",
                       "Gonzalez Juan",
                       "gonzález juan",
                       "González  Juan",
                       "Gómez Ana",
                       "Gomez",
                       "Ñáñez Inés",
                       "Nanez Ines",
                       "Nuñez",
                       "Núñez",
                       "Nunez",
                       "Álvarez Óscar",
                       "Alvarez Oscar",
                       "Chávez",
                       "Cuevas",
                       "Llano",
                       "Luna",
                       "Ab",
                       "ab",
                       "aB",
                       "AB",
                       "ab c",
                       "abc",
                       "a b",
                       ""};
    for (int i = 0; i < 1500; ++i) {
        QString t;
        for (int k = std::uniform_int_distribution<int>(0, 6)(azar); k > 0; --k)
            t += piezas[std::uniform_int_distribution<int>(0, static_cast<int>(piezas.size()) - 1)(azar)];
        textos << t;
    }
    db().execute("CREATE TEMP TABLE textos (t TEXT)");
    for (const QString &t : std::as_const(textos))
        db().execute("INSERT INTO textos (t) VALUES (?)", {t});
    Recordset rs = db().openRecordset(QString("SELECT t FROM textos ORDER BY t") + kCollateEs);
    QStringList l;
    for (; !rs.eof(); rs.moveNext())
        l << rs.texto(0);
    QCollator col(QLocale(QLocale::Spanish, QLocale::Spain));
    std::sort(textos.begin(), textos.end(), [&](const QString &a, const QString &b) {
        const int r = col.compare(a, b);
        return r != 0 ? r < 0 : a < b;
    });
    EXPECT_EQ(l, textos);
}

TEST_F(ConexionTest, LosValoresSeLeenIgualPorCampoYSinEl)
{
    // Several rows of several columns, dates written in every way a column
    // may hold them, read through a Campo and straight from the recordset.
    db().execute("INSERT INTO reservas (id, fecha, comentarios, importe_total) VALUES "
                 "(1, '2024-03-15', 'a', 1.5), (2, '2024-03-15 10:30:00', NULL, NULL), (3, '2024-02-30', '', 2), "
                 "(4, '0000-01-01', 'd', 3), (5, '2024-3-5', 'e', 4), (6, '2024/03/15', 'f', 5), (7, NULL, 'g', 6), "
                 "(8, 20240315, 'h', 7)");
    const QList<QDate> fechas{
        QDate(2024, 3, 15), QDate(2024, 3, 15), QDate(), QDate(), QDate(), QDate(2024, 3, 15), QDate(), QDate()};
    Recordset rs = db().openRecordset("SELECT id, fecha, comentarios, importe_total FROM reservas ORDER BY id");
    ASSERT_EQ(rs.recordCount(), 8);
    for (int fila = 0; !rs.eof(); rs.moveNext(), ++fila) {
        EXPECT_EQ(rs.entero(0), fila + 1);
        EXPECT_EQ(rs.fecha(1), fechas[fila]) << fila;
        EXPECT_EQ(rs.campo(1).fecha(), fechas[fila]) << fila;
        EXPECT_EQ(rs.texto(2), rs.campo("comentarios").texto());
        EXPECT_EQ(rs.esNulo(2), fila == 1);
        EXPECT_EQ(rs.numero(3), rs.campo(3).numero());
        EXPECT_EQ(rs.texto(3), rs.campo(3).texto());
    }
    EXPECT_EQ(numeroDeError([&] { rs.entero(0); }), 3021);
    rs.moveFirst();
    EXPECT_EQ(numeroDeError([&] { rs.texto(4); }), 3265);
    EXPECT_EQ(numeroDeError([&] { rs.campo(-1); }), 3265);

    // The same query again with fewer rows, then more, reads just those.
    const QString sql = "SELECT id, comentarios FROM reservas WHERE id <= ? ORDER BY id";
    EXPECT_EQ(db().openRecordset(sql, {8}).recordCount(), 8);
    rs = db().openRecordset(sql, {2});
    ASSERT_EQ(rs.recordCount(), 2);
    rs.moveNext();
    EXPECT_EQ(rs.entero(0), 2);
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    rs = db().openRecordset(sql, {5});
    ASSERT_EQ(rs.recordCount(), 5);
    for (int i = 0; i < 4; ++i)
        rs.moveNext();
    EXPECT_EQ(rs.texto(1), "e");
}

TEST_F(ConexionTest, AjustesDelMotorParaNoPerderDatosYSerRapido)
{
    EXPECT_EQ(valor("PRAGMA journal_mode"), "wal");
    EXPECT_EQ(valor("PRAGMA synchronous"), "2"); // FULL
    EXPECT_EQ(valor("PRAGMA page_size"), "4096");
    const int cache = contar("PRAGMA cache_size"); // negative: KiB
    EXPECT_LE(cache, -16 * 1024);
}

TEST_F(ConexionTest, SentenciaEnCacheSirveDespuesDeUnError)
{
    const QString insertar = "INSERT INTO horarios (codigo, descripcion) VALUES (?, ?)";
    db().execute(insertar, {"H1", "9:00"});
    EXPECT_THROW(db().execute(insertar, {"h1", "otra"}), DbError);
    db().execute(insertar, {"H2", "10:00"});
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 2);

    // The same query text with other values reads afresh.
    const QString buscar = "SELECT descripcion FROM horarios WHERE codigo = ?";
    EXPECT_EQ(valor(buscar, {"H1"}), "9:00");
    EXPECT_EQ(valor(buscar, {"H2"}), "10:00");
    EXPECT_EQ(valor(buscar, {"H9"}), "");
    // A value count that does not fit the statement is an error and the
    // statement still works afterwards.
    EXPECT_THROW(valor(buscar, {}), DbError);
    EXPECT_EQ(valor(buscar, {"H2"}), "10:00");

    // A recordset holds its rows: writes and commits go on while it lives.
    Recordset rs = db().openRecordset("SELECT codigo FROM horarios ORDER BY codigo");
    {
        Transaccion t(db());
        db().execute("DELETE FROM horarios");
        t.commit();
    }
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.texto("codigo"), "H1");
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 0);
}

TEST_F(ConexionTest, UnTextoConVariasSentenciasSeRechazaEntero)
{
    EXPECT_EQ(numeroDeError([this] { db().execute("DELETE FROM clientes; DELETE FROM t_usuarios"); }), 3142);
    EXPECT_EQ(contar("SELECT count(*) FROM clientes"), 1);
    EXPECT_EQ(contar("SELECT count(*) FROM t_usuarios"), 1);
    // A closing semicolon and blanks are not a second statement.
    db().execute("UPDATE clientes SET comentarios = 'x' WHERE id = 1 ;  \n");
    EXPECT_EQ(valor("SELECT comentarios FROM clientes WHERE id = 1;"), "x");
}

TEST_F(ConexionTest, ArchivoBloqueadoEsError3260)
{
    std::unique_ptr<Conexion> otra(Conexion::abrir(gRutaBase, Esquema::claveBase()));
    otra->beginTrans();
    otra->execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H1', '9:00')");
    // Give up at once instead of waiting for the other writer.
    sqlite3_busy_timeout(db().handle(), 0);
    EXPECT_EQ(numeroDeError([this] { db().beginTrans(); }), 3260);
    EXPECT_FALSE(db().enTransaccion());
    EXPECT_EQ(
        numeroDeError([this] { db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H2', '10:00')"); }),
        3260);
    otra->rollbackTrans();
    sqlite3_busy_timeout(db().handle(), 2000);
    Transaccion t(db());
    db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H2', '10:00')");
    t.commit();
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 1);
}

TEST_F(ConexionTest, TrasConsolidarUnaCopiaDelArchivoTieneTodo)
{
    db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Central')");
    db().checkpoint();
    const QString copia = carpeta() + "/copia.mdb";
    ASSERT_TRUE(QFile::copy(gRutaBase, copia));
    std::unique_ptr<Conexion> c(Conexion::abrir(copia, Esquema::claveBase()));
    Recordset rs = c->openRecordset("SELECT descripcion FROM canchas WHERE id = 'C1'");
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.texto("descripcion"), "Central");

    Transaccion t(db());
    EXPECT_THROW(db().checkpoint(), DbError);
}

namespace {

// The columns of a table in their order, from the engine's catalogue.
QStringList columnas(Conexion &c, const QString &tabla)
{
    QStringList l;
    for (Recordset rs = c.esServidor()
                            ? c.openRecordset("SELECT column_name AS name FROM information_schema.columns WHERE "
                                              "table_schema = current_schema() AND table_name = lower(?) "
                                              "ORDER BY ordinal_position",
                                              {tabla})
                            : c.openRecordset(QString("PRAGMA table_info(\"%1\")").arg(tabla));
         !rs.eof(); rs.moveNext())
        l << rs.texto("name");
    return l;
}

// The kind of value a query's first column holds, as the engine gives it:
// "integer", "real", "text" or "null".
QString tipoLeido(Conexion &c, const QString &sql)
{
    const QVariant v = c.openRecordset(sql).campo(0).valor();
    if (v.isNull())
        return "null";
    switch (v.typeId()) {
    case QMetaType::LongLong: return "integer";
    case QMetaType::Double: return "real";
    default: return "text";
    }
}

} // namespace

TEST_F(ConexionTest, LaBaseNuevaTieneCadaTablaYColumna)
{
    const QList<QPair<QString, QStringList>> tablas = {
        {"t_numeradores", {"id", "numero_siguiente"}},
        {"t_usuarios", {"Codigo", "Descripcion", "Clave"}},
        {"t_configuraciones", {"codigo", "descripcion", "valor"}},
        {"t_emailconf", {"usuario", "contraseña", "destinatario", "t_usuarios_codigo"}},
        {"DatosEmpresa",
         {"RazonSocial", "Domicilio", "Localidad", "Telefono", "Sucursal", "Cuit", "PuertoFiscal", "CategoriaIva",
          "IngresosBrutos", "DomicilioComercial", "DomicilioFiscal"}},
        {"clientes", {"id", "nombre", "telefono", "direccion", "comentarios"}},
        {"canchas", {"id", "descripcion", "cancha_madre_id"}},
        {"horarios", {"codigo", "descripcion"}},
        {"valores_canchas", {"canchas_id", "horarios_codigo", "importe"}},
        {"reservas_estados", {"codigo", "descripcion"}},
        {"reservas",
         {"id", "clientes_id", "canchas_id", "fecha", "horarios_id", "permanente", "estado", "fecha_anticipo",
          "importe_anticipo", "importe_total", "importe_saldo", "cantidad_semanas", "semana_numero", "reserva_fija_id",
          "fecha_reserva_fin", "comentarios", "arqueo_anticipo_id", "arqueo_saldo_id", "t_usuarios_codigo"}},
        {"productos", {"id", "descripcion", "precio_compra", "precio_venta", "existencia", "comentarios", "activo"}},
        {"ventas",
         {"id", "fecha", "clientes_id", "importe_total", "importe_pagado", "comentarios", "t_usuarios_codigo",
          "fecha_anulacion", "arqueo_id"}},
        {"ventas_items", {"ventas_id", "productos_id", "cantidad", "precio_unitario", "precio_compra"}},
        {"movimientos_stock",
         {"id", "tipo", "fecha", "productos_id", "ventas_id", "cantidad", "comentarios", "t_usuarios_codigo"}},
        {"caja_cabeza",
         {"id", "fecha_hora_apertura", "importe_inicial", "importe_cierre_teorico", "importe_cierre_real",
          "fecha_hora_cierre", "comentarios", "t_usuarios_codigo", "enviado"}},
        {"caja_movimientos",
         {"id", "caja_cabeza_id", "mov_tipo", "fecha_hora", "caja_conceptos_id", "caja_conceptos_descripcion",
          "descripcion", "importe", "comentarios", "t_usuarios_codigo"}},
        {"caja_resumen_operaciones",
         {"id", "caja_cabeza_id", "caja_conceptos_id", "operacion_id", "clientes_id", "operacion_fecha", "descripcion",
          "fecha_hora", "importe", "comentarios"}},
        {"caja_resumen_stock",
         {"caja_cabeza_id", "fecha_desde", "fecha_hasta", "producto_id", "producto_descripcion", "cantidad_vendida",
          "cantidad_movimientos_stk", "cantidad_inicial", "existencia_actual"}},
        {"caja_conceptos", {"id", "descripcion", "sistema"}},
        {"tmp_informe_ventas",
         {"producto_id", "producto_descripcion", "cantidad_vendida", "importe_costo", "importe_ventas",
          "importe_rentabilidad", "porcentaje_ponderacion", "t_usuarios_codigo"}},
    };
    for (const auto &[tabla, cols] : tablas) {
        const QStringList hay = columnas(db(), tabla);
        for (const QString &c : cols)
            EXPECT_TRUE(hay.contains(c, Qt::CaseInsensitive)) << tabla.toStdString() << "." << c.toStdString();
    }
    // Rows are inserted by position: exactly these two columns, in this order.
    EXPECT_EQ(columnas(db(), "t_opcionesasignadas"), (QStringList{"codigo", "opcion"}));
    db().execute("INSERT INTO t_opcionesasignadas VALUES ('ana', 'mnu_clientes')");
    EXPECT_EQ(valor("SELECT opcion FROM t_opcionesasignadas WHERE Codigo = 'ANA'"), "mnu_clientes");
}

TEST_F(ConexionTest, FilasQueVienenConLaBase)
{
    EXPECT_EQ(valor("SELECT numero_siguiente FROM t_numeradores WHERE id = 'CJA'"), "1");
    EXPECT_EQ(valor("SELECT numero_siguiente FROM t_numeradores WHERE id = 'RESFIJA'"), "1");
    EXPECT_EQ(contar("SELECT count(*) FROM reservas_estados WHERE codigo IN ('RES', 'COB', 'SUS')"
                     " AND descripcion <> ''"),
              3);
    EXPECT_EQ(contar("SELECT count(*) FROM caja_conceptos WHERE id IN ('INI', 'ING', 'EGR', 'RES', 'TUR', 'VEN')"
                     " AND sistema <> 0"),
              6);
    EXPECT_EQ(contar("SELECT count(*) FROM caja_conceptos WHERE sistema = 0"), 0);
    EXPECT_EQ(valor("SELECT nombre FROM clientes WHERE id = 1"), "CONSUMIDOR FINAL");
    EXPECT_EQ(contar("SELECT count(*) FROM DatosEmpresa"), 1);
    EXPECT_EQ(valor("SELECT Sucursal FROM DatosEmpresa"), "0001");
    const QString clave = valor("SELECT Clave FROM t_usuarios WHERE Codigo = 'admin'");
    EXPECT_NE(clave, "admin");
    EXPECT_TRUE(Claves::verificar(clave, "admin"));
    EXPECT_FALSE(Claves::verificar(clave, "Admin"));
}

TEST_F(ConexionTest, ClavesValoresPorDefectoYMayusculas)
{
    // Codes compare ignoring letter case...
    EXPECT_EQ(valor("SELECT Codigo FROM t_usuarios WHERE Codigo = 'ADMIN'"), "admin");
    db().execute("INSERT INTO productos (id, descripcion) VALUES ('Gat1', 'Gatorade')");
    EXPECT_EQ(valor("SELECT descripcion FROM productos WHERE id = 'GAT1'"), "Gatorade");
    EXPECT_THROW(db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('h1', 'a'), ('H1', 'b')"), DbError);
    // ...the cash concepts' too, every letter of them (duplicates are error 3022).
    db().execute("INSERT INTO caja_conceptos (id, Descripcion) VALUES ('ÑOQ', 'Propio')");
    for (const char *repetido : {"ini", "ÑOQ", "ñoq", "Ñoq"})
        EXPECT_EQ(numeroDeError([&] {
                      db().execute("INSERT INTO caja_conceptos (id, Descripcion) VALUES (?, 'Otro')", {repetido});
                  }),
                  3022)
            << repetido;
    EXPECT_EQ(numeroDeError([this] { db().execute("UPDATE caja_conceptos SET id = 'ñoq' WHERE id = 'ING'"); }), 3022);
    db().execute("UPDATE caja_conceptos SET id = 'ñoq' WHERE id = 'ÑOQ'");
    EXPECT_EQ(valor("SELECT descripcion FROM caja_conceptos WHERE id = 'Ing'"), "Ingreso de efectivo");

    // Defaults the inserts rely on.
    EXPECT_EQ(valor("SELECT sistema FROM caja_conceptos WHERE id = 'ñoq'"), "0");
    EXPECT_EQ(valor("SELECT existencia FROM productos WHERE id = 'gat1'"), "0");
    db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, permanente, estado)"
                 " VALUES ('1', 'C1', '2024-03-15', 'H1', '0', 'RES')");
    EXPECT_EQ(valor("SELECT cantidad_semanas FROM reservas"), "0");
    EXPECT_EQ(tipoLeido(db(), "SELECT clientes_id FROM reservas"), "integer");
    EXPECT_EQ(tipoLeido(db(), "SELECT permanente FROM reservas"), "integer");
    EXPECT_EQ(tipoLeido(db(), "SELECT arqueo_anticipo_id FROM reservas"), "null");

    // Register numbers are given, never automatic: after a reset number 1 is free again.
    db().execute("INSERT INTO caja_cabeza (id, t_usuarios_codigo) VALUES (7, 'admin')");
    db().execute("DELETE FROM caja_cabeza");
    db().execute("INSERT INTO caja_cabeza (id, t_usuarios_codigo) VALUES (1, 'admin')");
    EXPECT_EQ(valor("SELECT enviado FROM caja_cabeza WHERE id = 1"), "0");
    EXPECT_EQ(tipoLeido(db(), "SELECT fecha_hora_cierre FROM caja_cabeza"), "null");
}

namespace {
// The counts of reservations by client, with its most booked court, and by
// client and court, as "client:count:COURT" and "client/court:count".
QString recuentos()
{
    return gConexion
        ->openRecordset("SELECT group_concat(x, ' ') FROM ("
                        "SELECT 0 AS parte, clientes_id AS cliente, '' AS cancha, clientes_id || ':' || cantidad || "
                        "':' || COALESCE(upper(cancha_frecuente_id), '-') AS x FROM reservas_por_cliente UNION ALL "
                        "SELECT 1, clientes_id, upper(canchas_id), clientes_id || '/' || canchas_id || ':' || cantidad "
                        "FROM reservas_por_cliente_cancha ORDER BY parte, cliente, cancha) AS t")
        .texto(0);
}
// The same counted afresh from the reservations; a court's spelling is the
// lowest among those written, as the count keeps the one it first got.
QString recontados()
{
    return gConexion
        ->openRecordset(
            "SELECT group_concat(x, ' ') FROM ("
            "SELECT 0 AS parte, clientes_id AS cliente, '' AS cancha, clientes_id || ':' || COUNT(*) || ':' || "
            "  COALESCE((SELECT upper(canchas_id) FROM reservas c WHERE c.clientes_id = r.clientes_id AND canchas_id "
            "  IS NOT NULL GROUP BY canchas_id ORDER BY COUNT(*) DESC, canchas_id LIMIT 1), '-') AS x "
            "FROM reservas r WHERE clientes_id IS NOT NULL GROUP BY clientes_id UNION ALL "
            "SELECT 1, clientes_id, upper(canchas_id), clientes_id || '/' || MIN(canchas_id COLLATE BINARY) || ':' || "
            "COUNT(*) "
            "FROM reservas WHERE clientes_id IS NOT NULL AND canchas_id IS NOT NULL "
            "GROUP BY clientes_id, canchas_id ORDER BY parte, cliente, cancha) AS t")
        .texto(0);
}
} // namespace

TEST_F(ConexionTest, LosRecuentosDeReservasSiguenCadaEscrituraYSobrevivenALaCompactacion)
{
    // Several rows in one statement, a court written in two cases, one
    // reservation without a court and one without a client.
    db().execute("INSERT INTO reservas (id, clientes_id, canchas_id, fecha) VALUES (1, 1, 'C1', '2024-01-01'), "
                 "(2, 1, 'c1', '2024-01-02'), (3, 1, 'C2', '2024-01-03'), (4, 2, NULL, '2024-01-04'), "
                 "(5, NULL, 'C1', '2024-01-05'), (6, 2, 'C2', '2024-01-06')");
    EXPECT_EQ(recuentos(), "1:3:C1 2:2:C2 1/C1:2 1/C2:1 2/C2:1");
    EXPECT_EQ(recuentos(), recontados());

    // Moved to another client, to a court in other case (the same court),
    // to no court, from no client; a change of other columns counts nothing.
    db().execute("UPDATE reservas SET clientes_id = 2 WHERE id = 3");
    db().execute("UPDATE reservas SET canchas_id = 'C1' WHERE id = 2");
    db().execute("UPDATE reservas SET canchas_id = NULL WHERE id = 6");
    db().execute("UPDATE reservas SET clientes_id = 3 WHERE id = 5");
    db().execute("UPDATE reservas SET clientes_id = clientes_id, canchas_id = canchas_id, fecha = '2025-01-01'");
    EXPECT_EQ(recuentos(), "1:2:C1 2:3:C2 3:1:C1 1/C1:2 2/C2:1 3/C1:1");
    EXPECT_EQ(recuentos(), recontados());

    // The most booked court follows every count: a tie goes to the lowest
    // court id, and a court that loses its lead gives it back.
    db().execute("INSERT INTO reservas (id, clientes_id, canchas_id) VALUES (8, 2, 'C0'), (9, 2, 'b9')");
    EXPECT_EQ(recuentos(), "1:2:C1 2:5:B9 3:1:C1 1/C1:2 2/b9:1 2/C0:1 2/C2:1 3/C1:1");
    db().execute("INSERT INTO reservas (id, clientes_id, canchas_id) VALUES (10, 2, 'C0')");
    db().execute("DELETE FROM reservas WHERE id = 9");
    EXPECT_EQ(recuentos(), "1:2:C1 2:5:C0 3:1:C1 1/C1:2 2/C0:2 2/C2:1 3/C1:1");
    db().execute("UPDATE reservas SET canchas_id = 'C2' WHERE id = 10");
    EXPECT_EQ(recuentos(), "1:2:C1 2:5:C2 3:1:C1 1/C1:2 2/C0:1 2/C2:2 3/C1:1");
    EXPECT_EQ(recuentos(), recontados());
    db().execute("DELETE FROM reservas WHERE id IN (8, 10)");

    // A row replaced whole leaves through the delete trigger; a count that
    // reaches 0 goes; a write undone takes its counts back.
    db().execute("INSERT OR REPLACE INTO reservas (id, clientes_id, canchas_id) VALUES (1, 4, 'C3')");
    db().execute("DELETE FROM reservas WHERE clientes_id = 3");
    {
        Transaccion t(db());
        db().execute("DELETE FROM reservas WHERE clientes_id = 2");
        db().execute("INSERT INTO reservas (clientes_id, canchas_id) VALUES (1, 'C1')");
    }
    EXPECT_EQ(recuentos(), "1:1:C1 2:3:C2 4:1:C3 1/C1:1 2/C2:1 4/C3:1");
    EXPECT_EQ(recuentos(), recontados());

    // The compacted copy holds the same counts, not counted twice, and its
    // triggers go on keeping them.
    if (enServidor()) {
        db().compactar();
    } else {
        cerrarConexion();
        Respaldo::compactar(gRutaBase, gClaveBase);
        abrirConexion();
    }
    EXPECT_EQ(recuentos(), "1:1:C1 2:3:C2 4:1:C3 1/C1:1 2/C2:1 4/C3:1");
    db().execute("INSERT INTO reservas (clientes_id, canchas_id) VALUES (4, 'C3')");
    EXPECT_EQ(recuentos(), "1:1:C1 2:3:C2 4:2:C3 1/C1:1 2/C2:1 4/C3:2");

    // Deleting every operation leaves no count, and the trigger is back.
    Respaldo::borrarOperaciones();
    EXPECT_EQ(recuentos(), "");
    db().execute("INSERT INTO reservas (clientes_id, canchas_id) VALUES (7, 'C1')");
    db().execute("DELETE FROM reservas");
    EXPECT_EQ(recuentos(), "");
}

TEST_F(ConexionTest, UnaBaseAnteriorRecibeSusIndicesYRecuentosAlAbrirseYUnaAlDiaNoSeToca)
{
    // A file as an earlier version left it: an index missing, another with
    // its former columns, and one of the user's own.
    db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id) VALUES (5, 'C1', '2024-01-02', "
                 "'H1'), (5, 'C1', '2024-01-01', 'H2')");
    db().execute("DROP INDEX ix_reservas_cliente_fecha");
    db().execute("DROP INDEX ix_reservas_cliente");
    db().execute("CREATE INDEX ix_reservas_cliente ON reservas (clientes_id, canchas_id, fecha)");
    db().execute("CREATE INDEX ix_propio ON clientes (telefono)");
    // Counts: one table missing (and its index), the other stale, the view
    // of steps missing (and its trigger), a trigger missing and another
    // written otherwise.
    db().execute("DROP TABLE reservas_por_cliente_cancha");
    db().execute("DROP VIEW reservas_cuenta_paso");
    db().execute("DELETE FROM reservas_por_cliente");
    db().execute("DROP TRIGGER tr_reservas_cuenta_alta");
    db().execute("DROP TRIGGER tr_reservas_cuenta_baja");
    db().execute("CREATE TRIGGER tr_reservas_cuenta_baja AFTER DELETE ON reservas BEGIN SELECT 1; END");
    auto indices = [this] {
        QStringList l;
        for (Recordset rs = db().openRecordset(
                 "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name");
             !rs.eof(); rs.moveNext())
            l << rs.texto(0) + ": " + rs.texto(1).simplified();
        return l;
    };
    const QStringList antes = indices();

    abrirConexion();
    QStringList despues = indices();
    EXPECT_TRUE(despues.contains("ix_reservas_cliente: CREATE INDEX ix_reservas_cliente ON reservas (clientes_id, "
                                 "canchas_id, fecha, id, horarios_id)"))
        << despues.join('\n').toStdString();
    EXPECT_TRUE(despues.contains(
        "ix_reservas_cliente_fecha: CREATE INDEX ix_reservas_cliente_fecha ON reservas (clientes_id, fecha)"));
    EXPECT_TRUE(despues.contains("ix_propio: CREATE INDEX ix_propio ON clientes (telefono)"));
    EXPECT_EQ(despues.size(), antes.size() + 2);
    EXPECT_EQ(recuentos(), "5:2:C1 5/C1:2");
    db().execute("INSERT INTO reservas (clientes_id, canchas_id) VALUES (5, 'C2')");
    db().execute("DELETE FROM reservas WHERE canchas_id = 'C1' AND fecha = '2024-01-02'");
    EXPECT_EQ(recuentos(), "5:2:C1 5/C1:1 5/C2:1");
    EXPECT_EQ(valor("SELECT horarios_id FROM reservas WHERE clientes_id = 5 AND canchas_id = 'c1' ORDER BY fecha, id "
                    "LIMIT 1"),
              "H2");
    EXPECT_EQ(valor("PRAGMA integrity_check"), "ok");

    // Opened again, nothing is written: the schema keeps its version.
    const QString version = valor("PRAGMA schema_version");
    abrirConexion();
    EXPECT_EQ(indices(), despues);
    EXPECT_EQ(valor("PRAGMA schema_version"), version);
}

TEST_F(ConexionTest, UnaBaseAnteriorRecibeLosIndicesDeLoQueFaltaArquear)
{
    // The former indexes of the count held every reservation and sale; the
    // file gets those that hold only what a closing would still stamp.
    db().execute("DROP INDEX ix_reservas_usuario_anticipo");
    db().execute("DROP INDEX ix_reservas_usuario_saldo");
    db().execute("DROP INDEX ix_ventas_usuario");
    db().execute("CREATE INDEX ix_reservas_usuario_anticipo ON reservas (t_usuarios_codigo, arqueo_anticipo_id)");
    db().execute("CREATE INDEX ix_reservas_usuario_saldo ON reservas (t_usuarios_codigo, arqueo_saldo_id)");
    db().execute("CREATE INDEX ix_ventas_usuario ON ventas (t_usuarios_codigo, arqueo_id)");
    // The stamps were indexed with every unstamped row, under other names.
    db().execute("DROP INDEX ix_reservas_arqueo_anticipo_tomado");
    db().execute("DROP INDEX ix_reservas_arqueo_saldo_tomado");
    db().execute("CREATE INDEX ix_reservas_arqueo_anticipo ON reservas (arqueo_anticipo_id)");
    db().execute("CREATE INDEX ix_reservas_arqueo_saldo ON reservas (arqueo_saldo_id)");
    // Pending: a deposit, a collected and a suspended balance, a sale. Never
    // pending: a deposit of 0, a balance still reserved, stamped rows.
    db().execute("INSERT INTO reservas (estado, importe_anticipo, arqueo_anticipo_id, arqueo_saldo_id, "
                 "t_usuarios_codigo) VALUES ('RES', 30, NULL, NULL, 'ana'), ('COB', 0, NULL, NULL, 'ana'), "
                 "('SUS', 0, NULL, NULL, 'ana'), ('COB', 10, 4, 4, 'ana')");
    db().execute("INSERT INTO ventas (importe_pagado, arqueo_id, t_usuarios_codigo) VALUES (5, NULL, 'ana'), "
                 "(6, 3, 'ana')");

    abrirConexion();
    // Each index is usable by the conditions the count and the closing write,
    // and holds the pending rows only.
    EXPECT_EQ(contar("SELECT count(*) FROM reservas INDEXED BY ix_reservas_usuario_anticipo WHERE "
                     "t_usuarios_codigo = 'ANA' AND arqueo_anticipo_id IS NULL AND importe_anticipo <> 0"),
              1);
    EXPECT_EQ(contar("SELECT count(*) FROM reservas INDEXED BY ix_reservas_usuario_saldo WHERE "
                     "t_usuarios_codigo = 'ana' AND arqueo_saldo_id IS NULL AND estado IN ('COB', 'SUS')"),
              2);
    EXPECT_EQ(contar("SELECT count(*) FROM reservas INDEXED BY ix_reservas_usuario_saldo WHERE "
                     "t_usuarios_codigo = 'ana' AND arqueo_saldo_id IS NULL AND estado IN ('COB', 'SUS') "
                     "AND estado = 'cob'"),
              1);
    EXPECT_EQ(contar("SELECT count(*) FROM ventas INDEXED BY ix_ventas_usuario WHERE t_usuarios_codigo = 'ana' "
                     "AND arqueo_id IS NULL"),
              1);
    for (const char *indice : {"ix_reservas_usuario_anticipo", "ix_reservas_usuario_saldo", "ix_ventas_usuario"})
        EXPECT_EQ(contar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = '%1' AND sql LIKE "
                                        "'%WHERE%IS NULL%'")
                             .arg(QLatin1String(indice))),
                  1)
            << indice;
    // Undoing a closing finds its stamped rows by the new indexes; the
    // former ones are gone.
    EXPECT_EQ(contar("SELECT count(*) FROM reservas INDEXED BY ix_reservas_arqueo_anticipo_tomado WHERE "
                     "arqueo_anticipo_id = 4"),
              1);
    EXPECT_EQ(contar("SELECT count(*) FROM reservas INDEXED BY ix_reservas_arqueo_saldo_tomado WHERE "
                     "arqueo_saldo_id = 4"),
              1);
    EXPECT_EQ(contar("SELECT count(*) FROM sqlite_master WHERE name IN ('ix_reservas_arqueo_anticipo', "
                     "'ix_reservas_arqueo_saldo')"),
              0);
}
