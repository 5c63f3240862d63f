#include "generar_club.h"

#include "Module.h"
#include "club_servidor.h"
#include "db/Conexion.h"
#include "db/Esquema.h"
#include "platform/CarpetaPrograma.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTextStream>
#include <cstring>
#include <memory>

namespace {

// Raised whenever a statement below changes what it generates, so that a
// cached club of an older generator is not reused.
constexpr int kVersionGenerador = 1;

// A deterministic scramble of an integer expression: rows spread like real
// data while every run generates the same club. The constants keep every
// product inside a 64-bit integer.
QString mezcla(const QString &x, int sal)
{
    return QStringLiteral("((((") + x + QStringLiteral(") + ") + QString::number(sal * 7919) +
           QStringLiteral(") * 2654435761 % 4294967291) * 1597334677 % 4294967291)");
}

// The counter 0..?1-1 every set-based insert starts from.
const QString kContador =
    QStringLiteral("WITH RECURSIVE n(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM n WHERE k + 1 < ?1) ");

// Price of court c (1-based) in slot h (0-based): parents cost most, the
// single courts least, later slots more. The price table and every
// reservation use this one expression.
QString precioCancha(const QString &c, const QString &h)
{
    return QStringLiteral("(6000 + 500 * ((") + h + QStringLiteral(") / 10) + CASE ((") + c +
           QStringLiteral(") - 1) % 5 WHEN 0 THEN 6000 WHEN 1 THEN 0 WHEN 2 THEN 0 ELSE -2000 END)");
}

QString precioProducto(const QString &p)
{
    return QStringLiteral("(200 + ") + mezcla(p, 3) + QStringLiteral(" % 60 * 50)");
}

// A reservation is collected mostly, suspended sometimes, still booked else.
QString estadoReserva(const QString &x)
{
    const QString v = mezcla(x, 15) + QStringLiteral(" % 100");
    return QStringLiteral("CASE WHEN ") + v + QStringLiteral(" < 75 THEN 'COB' WHEN ") + v +
           QStringLiteral(" < 83 THEN 'SUS' ELSE 'RES' END");
}

// The moment inside the shift of user u (0 morning, 1 afternoon) of day dia.
QString momento(const QString &dia, const QString &u, const QString &x)
{
    return QStringLiteral("date(julianday(?2) + ") + dia + QStringLiteral(") || printf(' %02d:%02d:00', CASE ") + u +
           QStringLiteral(" WHEN 0 THEN 9 + ") + mezcla(x, 19) + QStringLiteral(" % 5 ELSE 15 + ") + mezcla(x, 19) +
           QStringLiteral(" % 7 END, ") + mezcla(x, 20) + QStringLiteral(" % 60)");
}

// The register of user u on day dia is number dia * 2 + u + 1; the last
// day's registers are still open and take nothing.
QString caja(const QString &condicion, const QString &dia)
{
    return QStringLiteral("CASE WHEN ") + condicion + QStringLiteral(" AND ") + dia +
           QStringLiteral(" < ?3 - 1 THEN ") + dia + QStringLiteral(" * 2 + u + 1 END");
}

// Columns of the reservations staged before they are written in the order
// they were booked.
const QString kColumnasReserva = QStringLiteral(
    "clientes_id, canchas_id, fecha, horarios_id, permanente, estado, fecha_anticipo, importe_anticipo, importe_total, "
    "importe_saldo, cantidad_semanas, semana_numero, reserva_fija_id, fecha_reserva_fin, arqueo_anticipo_id, "
    "arqueo_saldo_id, t_usuarios_codigo");

// The end of every reservation select: the stamps and the user, from the
// columns dia, dia_ant, u, ant and estado of the source.
QString cierreReserva()
{
    return caja(QStringLiteral("ant > 0"), QStringLiteral("dia_ant")) + QStringLiteral(", ") +
           caja(QStringLiteral("estado <> 'RES'"), QStringLiteral("dia")) +
           QStringLiteral(", CASE u WHEN 0 THEN 'admin' ELSE 'recepcion' END");
}

void maestros(Conexion &c, const TamanioClub &t)
{
    c.execute(QStringLiteral("INSERT INTO t_usuarios (Codigo, Descripcion, Clave) "
                             "SELECT 'recepcion', 'Recepción', Clave FROM t_usuarios WHERE Codigo = 'admin'"));
    c.execute(
        QStringLiteral("INSERT INTO caja_conceptos (id, descripcion, sistema) VALUES ('PROV', 'Pago a "
                       "proveedores', 0), ('LIMP', 'Artículos de limpieza', 0), ('CAMB', 'Ingreso de cambio', 0)"));
    c.execute(
        kContador +
            QStringLiteral(", nom(i, x) AS (VALUES (0, 'Juan'), (1, 'María'), (2, 'José'), (3, 'Lucía'), (4, "
                           "'Martín'), (5, 'Sofía'), (6, 'Ángel'), (7, 'Valentina'), (8, 'Diego'), (9, 'Camila'), "
                           "(10, 'Pablo'), (11, 'Agustina'), (12, 'Tomás'), (13, 'Julieta'), (14, 'Nicolás'), (15, "
                           "'Carolina'), (16, 'Ramón'), (17, 'Inés'), (18, 'Óscar'), (19, 'Eugenia')), "
                           "ape(i, x) AS (VALUES (0, 'González'), (1, 'Rodríguez'), (2, 'Gómez'), (3, "
                           "'Fernández'), (4, 'López'), (5, 'Díaz'), (6, 'Martínez'), (7, 'Pérez'), (8, 'Álvarez'), "
                           "(9, 'Romero'), (10, 'Sánchez'), (11, 'Núñez'), (12, 'Acosta'), (13, 'Benítez'), (14, "
                           "'Muñoz'), (15, 'Ibáñez'), (16, 'Ortiz'), (17, 'Ñáñez'), (18, 'Castro'), (19, 'Suárez')) "
                           "INSERT INTO clientes (nombre, telefono, direccion, comentarios) "
                           "SELECT (SELECT x FROM ape WHERE i = ") +
            mezcla("k", 1) + QStringLiteral(" % 20) || ' ' || (SELECT x FROM nom WHERE i = ") + mezcla("k", 2) +
            QStringLiteral(" % 20), '11-' || (40000000 + k), 'Calle ' || (k % 300 + 1) || ' ' || (k % 2000 + "
                           "100), '' FROM n"),
        {t.clientes});
    // Groups of five courts: a football-7 parent split into two football-5
    // children, and two single paddle courts.
    c.execute(kContador + QStringLiteral("INSERT INTO canchas (id, descripcion, cancha_madre_id) "
                                         "SELECT printf('C%02d', k + 1), CASE k % 5 "
                                         "WHEN 0 THEN printf('Fútbol 7 - %d', k / 5 + 1) "
                                         "WHEN 1 THEN printf('Fútbol 5 - %dA', k / 5 + 1) "
                                         "WHEN 2 THEN printf('Fútbol 5 - %dB', k / 5 + 1) "
                                         "WHEN 3 THEN printf('Pádel %d', k / 5 * 2 + 1) "
                                         "ELSE printf('Pádel %d', k / 5 * 2 + 2) END, "
                                         "CASE WHEN k % 5 IN (1, 2) THEN printf('C%02d', k - k % 5 + 1) ELSE '' END "
                                         "FROM n"),
              {t.canchas});
    c.execute(kContador + QStringLiteral("INSERT INTO horarios (codigo, descripcion) SELECT printf('H%02d', k + 1), "
                                         "printf('%02d:%02d', (420 + 25 * k) / 60, (420 + 25 * k) % 60) FROM n"),
              {t.horarios});
    c.execute(kContador +
                  QStringLiteral("INSERT INTO valores_canchas (canchas_id, horarios_codigo, importe) "
                                 "SELECT printf('C%02d', k / ?2 + 1), printf('H%02d', k % ?2 + 1), ") +
                  precioCancha(QStringLiteral("k / ?2 + 1"), QStringLiteral("k % ?2")) + QStringLiteral(" FROM n"),
              {t.canchas * t.horarios, t.horarios});
    c.execute(kContador +
                  QStringLiteral(", cat(i, x) AS (VALUES (0, 'Gaseosa'), (1, 'Agua mineral'), (2, "
                                 "'Cerveza'), (3, 'Bebida isotónica'), (4, 'Barra de cereal'), (5, 'Tubo "
                                 "de pelotas'), (6, 'Grip'), (7, 'Muñequera'), (8, 'Medias'), (9, 'Café'), "
                                 "(10, 'Sándwich'), (11, 'Alfajor')) "
                                 "INSERT INTO productos (id, descripcion, precio_compra, precio_venta, "
                                 "existencia, comentarios, activo) SELECT printf('P%04d', k + 1), "
                                 "(SELECT x FROM cat WHERE i = k % 12) || ' ' || printf('%04d', k + 1), "
                                 "round(") +
                  precioProducto("k") + QStringLiteral(" * 0.6, 2), ") + precioProducto("k") +
                  QStringLiteral(", 0, '', ") + mezcla("k", 4) + QStringLiteral(" % 20 <> 0 FROM n"),
              {t.productos});
}

void ventas(Conexion &c, const TamanioClub &t, const QString &desde, int dias)
{
    c.execute(kContador +
                  QStringLiteral("INSERT INTO ventas_items (ventas_id, productos_id, cantidad, "
                                 "precio_unitario, precio_compra) SELECT k / ?2 + 1, printf('P%04d', p + 1), "
                                 "1 + ") +
                  mezcla("k", 6) + QStringLiteral(" % 3, ") + precioProducto("p") + QStringLiteral(", round(") +
                  precioProducto("p") + QStringLiteral(" * 0.6, 2) FROM (SELECT k, ") + mezcla("k", 5) +
                  QStringLiteral(" % ?3 AS p FROM n)"),
              {t.ventas * t.lineasPorVenta, t.lineasPorVenta, t.productos});
    // Sales spread evenly over the days, from 09:00 to 22:00; the morning
    // user sells until 15:00. One in a hundred was cancelled that day.
    c.execute(QStringLiteral("INSERT INTO ventas (id, fecha, clientes_id, importe_total, importe_pagado, comentarios, "
                             "t_usuarios_codigo, fecha_anulacion, arqueo_id) "
                             "SELECT v, date(julianday(?2) + dia) || printf(' %02d:%02d:%02d', m / 60, m % 60, ") +
                  mezcla("v", 8) + QStringLiteral(" % 60), CASE WHEN ") + mezcla("v", 9) +
                  QStringLiteral(" % 10 < 6 THEN 1 ELSE ") + mezcla("v", 9) +
                  QStringLiteral(" % ?4 + 2 END, tot, tot, '', CASE u WHEN 0 THEN 'admin' ELSE 'recepcion' END, "
                                 "CASE WHEN ") +
                  mezcla("v", 10) + QStringLiteral(" % 100 = 0 THEN date(julianday(?2) + dia) END, ") +
                  caja(QStringLiteral("1"), QStringLiteral("dia")) +
                  QStringLiteral(" FROM (SELECT v, tot, dia, m, m >= 900 AS u FROM (SELECT ventas_id AS v, "
                                 "SUM(cantidad * precio_unitario) AS tot, (ventas_id - 1) * ?3 / ?1 AS dia, 540 + ") +
                  mezcla("ventas_id", 7) + QStringLiteral(" % 780 AS m FROM ventas_items GROUP BY ventas_id))"),
              {t.ventas, desde, dias, t.clientes});
    c.execute(QStringLiteral("INSERT INTO movimientos_stock (tipo, fecha, productos_id, ventas_id, cantidad, "
                             "comentarios, t_usuarios_codigo) SELECT 'Egreso', v.fecha, i.productos_id, i.ventas_id, "
                             "-i.cantidad, '', v.t_usuarios_codigo FROM ventas_items i JOIN ventas v ON v.id = "
                             "i.ventas_id"));
    // Every product is bought about once a quarter; one movement in ten is
    // breakage taken out by hand.
    const QString x = mezcla("k", 27) + QStringLiteral(" % 10");
    c.execute(kContador +
                  QStringLiteral("INSERT INTO movimientos_stock (tipo, fecha, productos_id, ventas_id, "
                                 "cantidad, comentarios, t_usuarios_codigo) SELECT CASE WHEN ") +
                  x + QStringLiteral(" = 0 THEN 'Egreso' ELSE 'Ingreso' END, date(julianday(?2) + k / ?3 * 90 + ") +
                  mezcla("k", 28) +
                  QStringLiteral(" % 30) || ' 10:30:00', printf('P%04d', k % ?3 + 1), NULL, CASE "
                                 "WHEN ") +
                  x + QStringLiteral(" = 0 THEN -1 - ") + mezcla("k", 29) + QStringLiteral(" % 3 ELSE 24 * (1 + ") +
                  mezcla("k", 29) + QStringLiteral(" % 5) END, CASE WHEN ") + x +
                  QStringLiteral(" = 0 THEN 'Rotura' ELSE 'Compra a proveedor' END, 'admin' FROM n"),
              {t.productos * (dias / 90), desde, t.productos});
    // Stock on hand: every movement, plus what cancelled sales gave back,
    // summed once per product.
    c.execute(QStringLiteral("CREATE TEMP TABLE gen_existencia (id TEXT COLLATE NOCASE PRIMARY KEY, q REAL)"));
    c.execute(
        QStringLiteral("INSERT INTO gen_existencia SELECT productos_id, SUM(cantidad) FROM (SELECT productos_id, "
                       "cantidad FROM movimientos_stock UNION ALL SELECT i.productos_id, i.cantidad FROM ventas v "
                       "JOIN ventas_items i ON i.ventas_id = v.id WHERE v.fecha_anulacion IS NOT NULL) GROUP BY "
                       "productos_id"));
    c.execute(QStringLiteral("UPDATE productos SET existencia = COALESCE((SELECT q FROM gen_existencia WHERE id = "
                             "productos.id), 0)"));
    c.execute(QStringLiteral("DROP TABLE gen_existencia"));
}

void reservas(Conexion &c, const TamanioClub &t, const QString &desde, int dias)
{
    c.execute(QStringLiteral("CREATE TEMP TABLE gen_reservas (") + kColumnasReserva + QStringLiteral(")"));
    const int cuartos = t.horarios / 4;
    const int semanas = dias / 7;
    // Weekly series live on every fourth slot: a track is one court, slot and
    // weekday; one track in eight holds back-to-back series of 8 to 52 weeks
    // with a few free weeks between them. Only the first week carries a
    // deposit; the series numbers are unique per track and series.
    const int enSerie = c.execute(
        QStringLiteral("WITH RECURSIVE pista(t) AS (SELECT 0 UNION ALL SELECT t + 1 FROM pista WHERE t + 1 < ?4 * "
                       "?5 * 7), semana(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM semana WHERE k + 1 < ?6), "
                       "usada(t, c, h, w, l, p) AS (SELECT t, t / (?5 * 7) + 1, 4 * (t / 7 % ?5), t % 7, 8 + ") +
            mezcla("t", 12) + QStringLiteral(" % 45, 8 + ") + mezcla("t", 12) + QStringLiteral(" % 45 + ") +
            mezcla("t", 13) + QStringLiteral(" % 6 FROM pista WHERE ") + mezcla("t", 11) +
            QStringLiteral(
                " % 8 = 0), fila AS (SELECT c, h, l, k % p AS pos, t * 100 + k / p + 1 AS serie, w + 7 * k "
                "AS dia, w + 7 * (k - k % p) AS dia_serie FROM usada, semana WHERE k % p < l AND k / p * p + "
                "l <= ?6), "
                "valor AS (SELECT *, ") +
            precioCancha("c", "h") + QStringLiteral(" AS total, ") + estadoReserva("serie * 60 + pos") +
            QStringLiteral(" AS estado, max(0, dia_serie - ") + mezcla("serie", 16) +
            QStringLiteral(" % 5) AS dia_ant, ") + mezcla("serie", 18) +
            QStringLiteral(" % 2 AS u FROM fila), monto AS (SELECT *, CASE WHEN pos = 0 AND ") + mezcla("serie", 17) +
            QStringLiteral(" % 2 = 0 THEN round(total * 0.3) ELSE 0 END AS ant FROM valor) "
                           "INSERT INTO gen_reservas (") +
            kColumnasReserva + QStringLiteral(") SELECT ") + mezcla("serie", 14) +
            QStringLiteral(
                " % ?1 + 2, printf('C%02d', c), date(julianday(?2) + dia), printf('H%02d', h + 1), 1, estado, ") +
            momento("dia_ant", "u", "serie") +
            QStringLiteral(
                ", ant, total, total - ant, l - 1, pos, serie, date(julianday(?2) + dia_serie + 7 * (l - 1)), ") +
            cierreReserva() + QStringLiteral(" FROM monto"),
        {t.clientes, desde, dias, t.canchas, cuartos, semanas});

    // One-time bookings fill the other slots: k * primo mod celdas visits
    // every cell (day, court, slot) at most once, in a scattered order.
    const qint64 libres = t.horarios - cuartos;
    const qint64 celdas = qint64(dias) * t.canchas * libres;
    const qint64 primo = celdas % 1000003 == 0 ? 999983 : 1000003;
    const qint64 unaVez = qMin<qint64>(qMax(0, t.reservas - enSerie), celdas);
    c.execute(
        QStringLiteral("WITH RECURSIVE n(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM n WHERE k + 1 < ?6), "
                       "celda AS (SELECT k, k * ?7 % ?8 / (?4 * ?5) AS dia, k * ?7 % ?8 % (?4 * ?5) / ?5 + 1 AS c, "
                       "k * ?7 % ?8 % ?5 AS hs FROM n), fila AS (SELECT k, dia, c, hs + hs / 3 + 1 AS h, ") +
            mezcla("k", 22) + QStringLiteral(" % 2 AS u, max(0, dia - ") + mezcla("k", 23) +
            QStringLiteral(" % 10) AS dia_ant, ") + estadoReserva("k") + QStringLiteral(" AS estado FROM celda), ") +
            QStringLiteral("valor AS (SELECT *, ") + precioCancha("c", "h") +
            QStringLiteral(" AS total FROM fila), monto AS (SELECT *, CASE ") + mezcla("k", 24) +
            QStringLiteral(" % 3 WHEN 0 THEN 0 WHEN 1 THEN round(total * 0.3) ELSE round(total * 0.5) END AS ant FROM "
                           "valor) INSERT INTO gen_reservas (") +
            kColumnasReserva + QStringLiteral(") SELECT CASE WHEN ") + mezcla("k", 21) +
            QStringLiteral(" % 20 = 0 THEN 1 ELSE ") + mezcla("k", 21) +
            QStringLiteral(" % ?1 + 2 END, printf('C%02d', c), date(julianday(?2) + dia), printf('H%02d', h + 1), 0, "
                           "estado, ") +
            momento("dia_ant", "u", "k") + QStringLiteral(", ant, total, total - ant, 0, NULL, NULL, NULL, ") +
            cierreReserva() + QStringLiteral(" FROM monto"),
        {t.clientes, desde, dias, t.canchas, libres, unaVez, primo, celdas});

    // Written in the order they were booked, as the program would have.
    c.execute(QStringLiteral("INSERT INTO reservas (") + kColumnasReserva + QStringLiteral(", comentarios) SELECT ") +
              kColumnasReserva + QStringLiteral(", '' FROM gen_reservas ORDER BY fecha_anticipo, fecha"));
    c.execute(QStringLiteral("DROP TABLE gen_reservas"));
}

void cajas(Conexion &c, const QString &desde, int dias)
{
    // Two registers a day, morning (admin) and afternoon (recepcion); the
    // last day's are still open. Most closings were mailed.
    c.execute(
        kContador +
            QStringLiteral("INSERT INTO caja_cabeza (id, fecha_hora_apertura, importe_inicial, importe_cierre_teorico, "
                           "importe_cierre_real, fecha_hora_cierre, comentarios, t_usuarios_codigo, enviado) "
                           "SELECT k + 1, date(julianday(?2) + k / 2) || CASE k % 2 WHEN 0 THEN ' 08:00:00' ELSE "
                           "' 15:00:00' END, 5000, 0, 0, CASE WHEN k / 2 < ?3 - 1 THEN date(julianday(?2) + k / 2) || "
                           "CASE k % 2 WHEN 0 THEN ' 15:00:00' ELSE ' 23:30:00' END END, '', CASE k % 2 WHEN 0 THEN "
                           "'admin' ELSE 'recepcion' END, CASE WHEN k / 2 < ?3 - 1 AND ") +
            mezcla("k", 31) + QStringLiteral(" % 4 <> 0 THEN 1 ELSE 0 END FROM n"),
        {dias * 2, desde, dias});
    c.execute(QStringLiteral("INSERT INTO caja_movimientos (caja_cabeza_id, mov_tipo, fecha_hora, caja_conceptos_id, "
                             "caja_conceptos_descripcion, descripcion, importe, comentarios, t_usuarios_codigo) "
                             "SELECT id, 'INI', fecha_hora_apertura, 'INI', 'Inicio de caja', '', importe_inicial, '', "
                             "t_usuarios_codigo FROM caja_cabeza"));
    const QString egr = mezcla("id", 32);
    c.execute(QStringLiteral("INSERT INTO caja_movimientos (caja_cabeza_id, mov_tipo, fecha_hora, caja_conceptos_id, "
                             "caja_conceptos_descripcion, descripcion, importe, comentarios, t_usuarios_codigo) "
                             "SELECT id, 'EGR', datetime(fecha_hora_apertura, '+2 hours'), CASE WHEN ") +
              egr + QStringLiteral(" % 6 = 0 THEN 'LIMP' ELSE 'PROV' END, CASE WHEN ") + egr +
              QStringLiteral(" % 6 = 0 THEN 'Artículos de limpieza' ELSE 'Pago a proveedores' END, '', -(500 + ") +
              egr + QStringLiteral(" % 20 * 100), '', t_usuarios_codigo FROM caja_cabeza WHERE ") + egr +
              QStringLiteral(" % 3 = 0"));
    c.execute(QStringLiteral("INSERT INTO caja_movimientos (caja_cabeza_id, mov_tipo, fecha_hora, caja_conceptos_id, "
                             "caja_conceptos_descripcion, descripcion, importe, comentarios, t_usuarios_codigo) "
                             "SELECT id, 'ING', datetime(fecha_hora_apertura, '+1 hours'), 'CAMB', 'Ingreso de "
                             "cambio', '', 1000 + ") +
              mezcla("id", 33) + QStringLiteral(" % 10 * 100, '', t_usuarios_codigo FROM caja_cabeza WHERE ") +
              mezcla("id", 33) + QStringLiteral(" % 5 = 0"));

    // The snapshot each closing took of the sales, deposits and collected
    // balances it absorbed.
    const QString columnas =
        QStringLiteral("INSERT INTO caja_resumen_operaciones (caja_cabeza_id, caja_conceptos_id, operacion_id, "
                       "clientes_id, operacion_fecha, descripcion, fecha_hora, importe, comentarios) ");
    c.execute(columnas + QStringLiteral("SELECT v.arqueo_id, 'VEN', v.id, v.clientes_id, v.fecha, 'VENTAS', "
                                        "c.fecha_hora_cierre, v.importe_pagado, '' FROM ventas v JOIN caja_cabeza c ON "
                                        "c.id = v.arqueo_id WHERE v.fecha_anulacion IS NULL"));
    c.execute(columnas + QStringLiteral("SELECT r.arqueo_anticipo_id, 'RES', r.id, r.clientes_id, r.fecha_anticipo, "
                                        "'Reservas / anticipos', c.fecha_hora_cierre, r.importe_anticipo, '' FROM "
                                        "reservas r JOIN caja_cabeza c ON c.id = r.arqueo_anticipo_id"));
    c.execute(columnas + QStringLiteral("SELECT r.arqueo_saldo_id, 'TUR', r.id, r.clientes_id, r.fecha, 'Turnos / "
                                        "canchas', c.fecha_hora_cierre, r.importe_saldo, '' FROM reservas r JOIN "
                                        "caja_cabeza c ON c.id = r.arqueo_saldo_id WHERE r.estado = 'COB'"));
    c.execute(QStringLiteral("UPDATE caja_cabeza SET importe_cierre_teorico = (SELECT COALESCE(SUM(importe), 0) FROM "
                             "caja_movimientos WHERE caja_cabeza_id = caja_cabeza.id) + (SELECT COALESCE(SUM(importe), "
                             "0) FROM caja_resumen_operaciones WHERE caja_cabeza_id = caja_cabeza.id) "
                             "WHERE fecha_hora_cierre IS NOT NULL"));
    // One closing in ten counted a little less than expected.
    c.execute(QStringLiteral("UPDATE caja_cabeza SET importe_cierre_real = importe_cierre_teorico - CASE WHEN ") +
              mezcla("id", 34) + QStringLiteral(" % 10 = 0 THEN ") + mezcla("id", 35) +
              QStringLiteral(" % 50 * 10 ELSE 0 END WHERE fecha_hora_cierre IS NOT NULL"));
}

} // namespace

TamanioClub TamanioClub::deAnios(int n)
{
    TamanioClub t;
    t.reservas = t.reservas / t.anios * n;
    t.ventas = t.ventas / t.anios * n;
    t.anios = n;
    return t;
}

QString TamanioClub::clave() const
{
    // The shipped schema is part of the key: a new index makes a new club.
    // (Read through Esquema, which registers the resources of its library.)
    const QString texto =
        QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|%10|%11")
            .arg(kVersionGenerador)
            .arg(anios)
            .arg(canchas)
            .arg(horarios)
            .arg(clientes)
            .arg(reservas)
            .arg(productos)
            .arg(ventas)
            .arg(lineasPorVenta)
            .arg(hasta().toString(Qt::ISODate))
            .arg(QString::fromLatin1(
                QCryptographicHash::hash(Esquema::textoBase().toUtf8(), QCryptographicHash::Sha1).toHex()));
    return QString::fromLatin1(QCryptographicHash::hash(texto.toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
}

void generarClub(Conexion &c, const TamanioClub &t)
{
    const QString desde = t.desde().toString(Qt::ISODate);
    const int dias = static_cast<int>(t.desde().daysTo(t.hasta()));
    // A large page cache while generating: the bulk inserts touch every
    // index page many times.
    c.execute(QStringLiteral("PRAGMA cache_size = -524288"));
    Transaccion tr(c);
    maestros(c, t);
    ventas(c, t, desde, dias);
    reservas(c, t, desde, dias);
    cajas(c, desde, dias);
    c.execute(QStringLiteral("UPDATE t_numeradores SET numero_siguiente = (SELECT COALESCE(MAX(id), 0) + 1 FROM "
                             "caja_cabeza) WHERE id = 'CJA'"));
    c.execute(QStringLiteral("UPDATE t_numeradores SET numero_siguiente = (SELECT COALESCE(MAX(reserva_fija_id), 0) "
                             "+ 1 FROM reservas) WHERE id = 'RESFIJA'"));
    tr.commit();
}

QString clubEnCache(const TamanioClub &t)
{
    QDir carpeta(QDir::temp().filePath(QStringLiteral("club_bench")));
    carpeta.mkpath(QStringLiteral("."));
    const QString ruta = carpeta.filePath(QStringLiteral("club-%1.mdb").arg(t.clave()));
    if (QFile::exists(ruta))
        return ruta;
    // Generated under a name of this process and renamed when complete, so a
    // run that stops half-way or a second run at the same time never leaves
    // or uses half a club.
    const QString parcial =
        carpeta.filePath(QStringLiteral("club-%1.%2.parcial").arg(t.clave()).arg(QCoreApplication::applicationPid()));
    QFile::remove(parcial);
    QTextStream err(stderr);
    err << "Generando el club de prueba en " << ruta << " ..." << Qt::endl;
    QElapsedTimer reloj;
    reloj.start();
    Esquema::crearBase(parcial);
    {
        std::unique_ptr<Conexion> c(Conexion::abrir(parcial, Esquema::claveBase()));
        generarClub(*c, t);
        c->checkpoint();
    }
    err << "Club generado en " << QString::number(reloj.elapsed() / 1000.0, 'f', 1) << " s" << Qt::endl;
    if (!QFile::rename(parcial, ruta))
        QFile::remove(parcial);
    return ruta;
}

QString copiaDeTrabajo(const TamanioClub &t, const QString &carpeta)
{
    const QString origen = clubEnCache(t);
    const QString destino = QDir(carpeta).filePath(QStringLiteral("db_main.mdb"));
    QFile::remove(destino);
    if (!QFile::copy(origen, destino))
        throw DbError(3024, QStringLiteral("No se pudo copiar %1 a %2").arg(origen, destino));
    return destino;
}

Conexion *abrirCopia(const TamanioClub &t, const QString &carpeta, DatosServidor *servidor)
{
    if (!t.servidor.isEmpty()) {
        const DatosServidor d = baseDeMedida(t, copiaEnServidor(t));
        if (servidor)
            *servidor = d;
        return Conexion::abrirServidor(d);
    }
    return Conexion::abrir(copiaDeTrabajo(t, carpeta), Esquema::claveBase());
}

void abrirComoPrograma(const TamanioClub &t, const QString &carpeta, DatosServidor *servidor)
{
    retenerMemoriaLiberada();
    if (t.servidor.isEmpty()) {
        copiaDeTrabajo(t, carpeta);
    } else {
        // The program folder's club.ini points the program at the copy.
        const DatosServidor d = baseDeMedida(t, copiaEnServidor(t));
        if (servidor)
            *servidor = d;
        QSettings ini(QDir(carpeta).filePath(QStringLiteral("club.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("base/motor"), QStringLiteral("postgresql"));
        ini.setValue(QStringLiteral("base/host"), d.host);
        ini.setValue(QStringLiteral("base/database"), d.base);
        ini.setValue(QStringLiteral("base/user"), d.usuario);
    }
    CarpetaPrograma::fijar(carpeta);
    fijarRutasBase();
    abrirConexion();
}

QDate lunesDeMedida(const TamanioClub &t)
{
    const QDate d = t.hasta().addDays(-182);
    return d.addDays(1 - d.dayOfWeek());
}

QDate mesDeMedida(const TamanioClub &t)
{
    const QDate d = t.hasta().addMonths(-2);
    return QDate(d.year(), d.month(), 1);
}

TamanioClub TamanioClub::desdeArgumentos(int argc, char **argv, std::vector<char *> &resto)
{
    TamanioClub t;
    QString servidor;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--anios") == 0 && i + 1 < argc)
            t = deAnios(std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--servidor") == 0 && i + 1 < argc)
            servidor = QString::fromLocal8Bit(argv[++i]);
        else
            resto.push_back(argv[i]);
    }
    t.servidor = servidor;
    return t;
}
