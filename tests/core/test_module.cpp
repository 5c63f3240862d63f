#include "support/Entorno.h"

#include "AppUtils.h"
#include "ConfigPrograma.h"
#include "InterfazModule.h"

#include <QCursor>
#include <QGuiApplication>
#include <optional>

using ModuleTest = Entorno;

TEST_F(ModuleTest, ProximoNumeroEntregaYAvanzaDentroDeLaTransaccionDelLlamador)
{
    db().execute("UPDATE t_numeradores SET numero_siguiente = 7 WHERE id = 'CJA'");
    EXPECT_EQ(ProximoNumero("CJA"), 7);
    EXPECT_EQ(contar("SELECT numero_siguiente FROM t_numeradores WHERE id = 'CJA'"), 8);
    EXPECT_EQ(contar("SELECT numero_siguiente FROM t_numeradores WHERE id = 'RESFIJA'"), 1);

    {
        Transaccion t(db());
        EXPECT_EQ(ProximoNumero("CJA"), 8);
    } // rolled back
    EXPECT_EQ(contar("SELECT numero_siguiente FROM t_numeradores WHERE id = 'CJA'"), 8);
    {
        Transaccion t(db());
        EXPECT_EQ(ProximoNumero("CJA"), 8);
        t.commit();
    }
    EXPECT_EQ(contar("SELECT numero_siguiente FROM t_numeradores WHERE id = 'CJA'"), 9);
}

TEST_F(ModuleTest, ProximoNumeroDeContadorInexistenteEsError)
{
    EXPECT_THROW(ProximoNumero("NOEXISTE"), DbError);
    EXPECT_EQ(contar("SELECT count(*) FROM t_numeradores"), 2);
}

TEST_F(ModuleTest, ValorCampoDaElValorPorDefectoSegunElTipoDeColumna)
{
    db().execute("INSERT INTO reservas (id, clientes_id, fecha, fecha_anticipo, permanente, importe_anticipo,"
                 " comentarios) VALUES (1, NULL, NULL, NULL, NULL, NULL, NULL)");
    Recordset rs = db().openRecordset("SELECT comentarios, importe_anticipo, clientes_id, fecha, fecha_anticipo,"
                                      " permanente, NULL AS expresion FROM reservas");
    ASSERT_FALSE(rs.eof());
    auto esTextoVacio = [](const QVariant &v) { return v.typeId() == QMetaType::QString && v.toString().isEmpty(); };
    auto esCero = [](const QVariant &v) { return !v.isNull() && v.typeId() != QMetaType::QString && v.toInt() == 0; };
    EXPECT_TRUE(esTextoVacio(ValorCampo(rs.campo("comentarios"))));          // TEXT
    EXPECT_TRUE(esCero(ValorCampo(rs.campo("importe_anticipo"))));           // REAL
    EXPECT_TRUE(esTextoVacio(ValorCampo(rs.campo("clientes_id"))));          // INTEGER
    EXPECT_EQ(ValorCampo(rs.campo("fecha")), QVariant(QDate(1899, 12, 30))); // DATE
    EXPECT_EQ(ValorCampo(rs.campo("fecha_anticipo")),
              QVariant(QDateTime(QDate(1899, 12, 30), QTime(0, 0)))); // DATETIME
    EXPECT_TRUE(esCero(ValorCampo(rs.campo("permanente"))));          // BOOLEAN
    EXPECT_TRUE(esTextoVacio(ValorCampo(rs.campo("expresion"))));     // no declared type

    EXPECT_TRUE(ValorCampo(Campo("x", QVariant(), 999)).isNull());
    EXPECT_EQ(ValorCampo(Campo("x", 12.5, TipoCampo::Doble)).toDouble(), 12.5);
    EXPECT_EQ(gAppUtils.sanitizeDbNull(rs.campo("importe_anticipo")), ValorCampo(rs.campo("importe_anticipo")));
}

TEST_F(ModuleTest, ColumnasCalculadasConTipoDeclaradoSeLeenComoLasGuardadas)
{
    const QString sql = "SELECT SUM(importe_total) AS total, MAX(fecha) AS ultima, COUNT(*) AS cant, "
                        "SUM(importe_total) AS suelta FROM reservas WHERE clientes_id = ?";
    const TiposColumnas tipos{{"TOTAL", TipoCampo::Doble}, {"ultima", TipoCampo::Fecha}};

    // No rows: a Null sum counts as 0 and a Null MAX(date) is the zero date.
    Recordset rs = db().openRecordset(sql, {7}, tipos);
    EXPECT_EQ(rs.campo("total").tipo(), TipoCampo::Doble);
    EXPECT_EQ(ValorCampo(rs.campo("total")).toDouble(), 0.0);
    EXPECT_NE(ValorCampo(rs.campo("total")).typeId(), QMetaType::QString);
    EXPECT_EQ(ValorCampo(rs.campo("ultima")), QVariant(QDate(1899, 12, 30)));
    EXPECT_EQ(gAppUtils.sanitizeDbNull(rs.campo("ultima")), QVariant(QDate(1899, 12, 30)));
    EXPECT_EQ(ValorCampo(rs.campo("cant")).toInt(), 0);
    // Without a stated type an expression keeps the variant default.
    EXPECT_EQ(ValorCampo(rs.campo("suelta")), QVariant(QString()));

    // With rows the values come as stored, and the stored date text works
    // with the date helpers.
    db().execute("INSERT INTO reservas (clientes_id, fecha, importe_total) VALUES "
                 "(7, '2024-02-10', 100.5), (7, '2024-02-20', 20)");
    rs = db().openRecordset(sql, {7}, tipos);
    EXPECT_EQ(ValorCampo(rs.campo("total")).toDouble(), 120.5);
    EXPECT_EQ(gAppUtils.lastDayOfMonth(ValorCampo(rs.campo("ultima"))), QDate(2024, 2, 29));
    EXPECT_EQ(gAppUtils.firstDayOfMonth(rs.texto("ultima")), QDate(2024, 2, 1));

    // A stated name the query does not return is refused, not ignored.
    EXPECT_EQ(numeroDeError([&] { db().openRecordset(sql, {7}, {{"totla", TipoCampo::Doble}}); }), 3265);
}

TEST_F(ModuleTest, BuscarValorDeUnaFechaLaDaComoLaMuestraElPrograma)
{
    db().execute("INSERT INTO ventas (id, fecha, fecha_anulacion) VALUES (1, '2024-03-05 18:30:00', '2024-03-06')");
    db().execute("INSERT INTO ventas (id, fecha, fecha_anulacion) VALUES (2, NULL, 'pendiente')");
    EXPECT_EQ(BuscarValor("ventas", "id", "1", "fecha_anulacion", true), "06/03/2024");
    EXPECT_EQ(BuscarValor("ventas", "id", "1", "fecha", true), "05/03/2024 18:30:00");
    EXPECT_EQ(BuscarValor("ventas", "id", "2", "fecha", true), "");
    // A text that is not a date is shown as stored rather than lost.
    EXPECT_EQ(BuscarValor("ventas", "id", "2", "fecha_anulacion", true), "pendiente");
}

TEST_F(ModuleTest, BuscarValorPorClaveDeTextoYNumerica)
{
    db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Cancha uno')");
    db().execute("INSERT INTO clientes (id, nombre, telefono) VALUES (5, 'O''Brien', '555-1''2')");

    EXPECT_EQ(BuscarValor("canchas", "id", "C1", "descripcion", false), "Cancha uno");
    EXPECT_EQ(BuscarValor("clientes", "id", "5", "nombre", true), "O'Brien");
    EXPECT_EQ(BuscarValor("clientes", "nombre", "O'Brien", "telefono", false), "555-1'2");
    EXPECT_EQ(BuscarValor("CLIENTES", "ID", "1", "NOMBRE", true), "CONSUMIDOR FINAL");
    EXPECT_EQ(BuscarValor("canchas", "id", "C9", "descripcion", false), "");
    EXPECT_EQ(BuscarValor("clientes", "id", "99", "nombre", true), "");
}

TEST_F(ModuleTest, BuscarValorRechazaNombresYValoresQueNoSonDelEsquema)
{
    EXPECT_EQ(numeroDeError([] { BuscarValor("clientes; DROP TABLE canchas", "id", "1", "nombre", true); }), 3078);
    EXPECT_EQ(numeroDeError([] { BuscarValor("clientes", "id = 1 OR 1", "1", "nombre", true); }), 3265);
    EXPECT_EQ(numeroDeError([] { BuscarValor("clientes", "id", "1", "(SELECT Clave FROM t_usuarios)", true); }), 3265);
    EXPECT_NE(numeroDeError([] { BuscarValor("clientes", "id", "1 OR 1=1", "nombre", true); }), 0);
    EXPECT_TRUE(db().existeTabla("canchas"));
}

TEST_F(ModuleTest, ConfirmarPreguntaSiNoConElTituloDeLaAplicacion)
{
    msg->responder(vb::No);
    EXPECT_FALSE(Confirmar("¿Borrar?"));
    EXPECT_TRUE(Confirmar("¿Seguro?"));
    ASSERT_EQ(msg->mostrados().size(), 2u);
    EXPECT_EQ(msg->ultimo().prompt, "¿Seguro?");
    EXPECT_EQ(msg->ultimo().estilo, 36);
    EXPECT_EQ(msg->ultimo().titulo, tituloAplicacion());
}

TEST_F(ModuleTest, CursorEsperaPoneYQuitaElRelojDeArena)
{
    CursorEspera(1);
    CursorEspera(1);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    CursorEspera(7);
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    CursorEspera(0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    CursorEspera(0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ModuleTest, QuitarCaracterYSoloNumeros)
{
    QString t = "1&2&3";
    EXPECT_EQ(QuitarCaracter(t, "&"), "123");
    EXPECT_EQ(t, "123");
    QString u = "abc";
    EXPECT_EQ(QuitarCaracter(u, ""), "abc");

    for (int k : {int('0'), int('9'), int('-'), int('.'), 8}) {
        int key = k;
        EXPECT_EQ(SoloNumeros(key), k);
        EXPECT_EQ(key, k);
    }
    for (int k : {int(','), int('a'), int(' '), 13}) {
        int key = k;
        EXPECT_EQ(SoloNumeros(key), 0) << k;
        EXPECT_EQ(key, 0);
    }
}

TEST_F(ModuleTest, CodificaTextoEsSuPropiaInversa)
{
    QString t = "abc";
    EXPECT_EQ(CodificaTexto(t), QString::fromUtf16(u"\u00E1\u00E2\u00E3")); // codes 225, 226, 227
    EXPECT_EQ(t.at(0).unicode(), 225);
    EXPECT_EQ(CodificaTexto(t), "abc");

    // Code 128 (the euro sign) and code 0 swap; the other high codes of the
    // code page follow their Windows-1252 numbers ("~" 126 -> 254 "þ", "Ÿ" 159 -> 31).
    QString e = QString::fromUtf16(u"€~Ÿ");
    CodificaTexto(e);
    EXPECT_EQ(e, QString::fromUtf16(u"\u0000\u00FE\u001F", 3));
    CodificaTexto(e);
    EXPECT_EQ(e, QString::fromUtf16(u"€~Ÿ"));

    // The scrambled password survives the mail account's table, the
    // character that code 128 turns into included.
    QString clave = QString::fromUtf16(u"p€ss'ñ");
    CodificaTexto(clave);
    db().execute("INSERT INTO t_emailconf (usuario, contraseña) VALUES (?, ?)", {"club", clave});
    QString leida = valor("SELECT contraseña FROM t_emailconf");
    EXPECT_EQ(leida.size(), 6);
    EXPECT_EQ(CodificaTexto(leida), QString::fromUtf16(u"p€ss'ñ"));

    // Every character of the code page and characters outside it.
    QString todo;
    for (char16_t c = 0; c < 0x100; ++c)
        todo += QChar(c);
    // The code page's 128 to 159, then characters outside it.
    todo += QString::fromUtf16(u"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ");
    todo += QString::fromUtf16(u"日本語Ωλ\u0085\u2603") + QString::fromUcs4(U"\U0001F600");
    QString c = todo;
    CodificaTexto(c);
    EXPECT_NE(c, todo);
    CodificaTexto(c);
    EXPECT_EQ(c, todo);
}

struct CasoError {
    int numero;
    QString mensaje;
    int resultado;
};

TEST_F(ModuleTest, ManejoErrorDBMensajeIconoYResultadoDeCadaCaso)
{
    const QString d = "descripción";
    const std::vector<CasoError> casos = {
        {91, "No se pudo acceder a Concepto", 2},
        {3022, "Código de Concepto ya Ingresado ", 2},
        {-2147217904, "-2147217904 - descripción", 1},
        {3033, "No tiene autorización ", 2},
        {3107, "El registro(s) no puede ser agregado, no tiene permiso para agregar datos en Concepto", 2},
        {3108, "El registro(s) no puede ser editado; no tiene permiso para modificar datos en Concepto", 2},
        {3109, "El registro(s) no puede ser eliminado; no tiene permiso para eliminar datos en Concepto", 2},
        {3112, "No es posible leer registro(s); no tiene permiso de lectura sobre Concepto", 2},
        {3260, "No Fue Posible Realizar la Acción Seleccionada.\rReintente Nuevamente.", 2},
        {2420, "2420 - descripción", 2},
        {2448, "2448 - descripción", 2},
        {3000, "3000 - descripción", 2},
        {3599, "3599 - descripción", 2},
        {3608, "3608 - descripción", 2},
        {3617, "3617 - descripción", 2},
        {2419, "Concepto -  2419 -  descripción", 3},
        {2449, "Concepto -  2449 -  descripción", 3},
        {3600, "Concepto -  3600 -  descripción", 3},
        {3618, "Concepto -  3618 -  descripción", 3},
        {5, "Concepto -  5 -  descripción", 3},
    };
    for (const CasoError &c : casos) {
        msg->limpiar();
        int intentos = 0;
        EXPECT_EQ(ManejoErrorDB(intentos, "Concepto", DbError(c.numero, d)), c.resultado) << c.numero;
        ASSERT_EQ(msg->mostrados().size(), 1u) << c.numero;
        EXPECT_EQ(msg->ultimo().prompt, c.mensaje) << c.numero;
        EXPECT_EQ(msg->ultimo().estilo, vb::Exclamation) << c.numero;
        EXPECT_EQ(msg->ultimo().titulo, tituloAplicacion()) << c.numero;
    }
}

TEST_F(ModuleTest, ManejoErrorDBConArchivoBloqueadoNoReintentaSinFin)
{
    // A caller that retries on 0 must stop: a lock is reported once and given up.
    for (int intentos = 0; intentos < 3; ++intentos)
        EXPECT_EQ(ManejoErrorDB(intentos, "Concepto", DbError(3260, "bloqueado")), 2);
    EXPECT_EQ(msg->mostrados().size(), 3u);
}

TEST_F(ModuleTest, TextoAlNoPoderAbrirLaBaseNombraArchivoCausaYQueHacer)
{
    if (enServidor()) {
        // A station on a server is told of the server, the database and the
        // cause, with what to do: here the database is not there.
        DatosServidor d;
        ASSERT_TRUE(ConfigPrograma::baseEnServidor(d));
        d.base = "no_existe";
        std::optional<DbError> error;
        try {
            delete Conexion::abrirServidor(d);
        } catch (const DbError &e) {
            error = e;
        }
        ASSERT_TRUE(error);
        EXPECT_EQ(error->numero(), 3024);
        const QString sinBase = textoErrorAlAbrirBase(*error, d);
        EXPECT_TRUE(sinBase.startsWith("No se pudo abrir la base de datos 'no_existe' del servidor " + d.host));
        EXPECT_TRUE(sinBase.contains("Error: 3024 - "));
        EXPECT_TRUE(sinBase.contains("\"no_existe\"")) << sinBase.toStdString();
        EXPECT_TRUE(sinBase.contains("crear_base --servidor"));
        EXPECT_TRUE(sinBase.contains(".pgpass"));
        EXPECT_FALSE(sinBase.contains(gRutaBase));
        const QString permiso = textoErrorAlAbrirBase(DbError(3033, "No tiene autorización"), d);
        EXPECT_TRUE(permiso.contains("Error: 3033 - "));
        EXPECT_TRUE(permiso.contains("no tiene permiso"));
        EXPECT_TRUE(textoErrorAlAbrirBase(DbError(3026, "x"), d).contains("Libere espacio en el servidor"));
        const QString ajena = textoErrorAlAbrirBase(DbError(3000, "x"), d);
        EXPECT_TRUE(ajena.contains("creada para este programa"));
        EXPECT_FALSE(ajena.contains(".pgpass"));
        return;
    }
    const QString ruta = gRutaBase;
    ASSERT_TRUE(QFileInfo::exists(ruta));
    const QString soloLectura = textoErrorAlAbrirBase(DbError(3027, "La base de datos es de sólo lectura"), ruta);
    EXPECT_TRUE(soloLectura.contains(ruta));
    EXPECT_TRUE(soloLectura.contains("Error: 3027 - "));
    EXPECT_TRUE(soloLectura.contains("permiso de escritura"));
    EXPECT_FALSE(soloLectura.contains("dañado"));
    const QString lleno = textoErrorAlAbrirBase(DbError(3026, "No hay espacio suficiente en el disco"), ruta);
    EXPECT_TRUE(lleno.contains("Error: 3026 - "));
    EXPECT_TRUE(lleno.contains("Libere espacio"));
    EXPECT_FALSE(lleno.contains("dañado"));
    const QString io = textoErrorAlAbrirBase(DbError(3043, "Error de lectura o escritura en el disco"), ruta);
    EXPECT_TRUE(io.contains("Verifique el disco"));
    EXPECT_FALSE(io.contains("dañado"));
    EXPECT_TRUE(textoErrorAlAbrirBase(DbError(3343, "x"), ruta).contains("no esté dañado"));
    EXPECT_TRUE(textoErrorAlAbrirBase(DbError(3024, "x"), ruta + ".no").startsWith("No se encontró la base de datos"));
}
