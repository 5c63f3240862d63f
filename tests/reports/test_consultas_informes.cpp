#include "support/Entorno.h"

#include "ConsultasInformes.h"

#include <random>

// The grid reports' set-based statements against the straightforward reading
// (one query per court or client, as the windows used to be filled), on a
// random club with ties, parent and child courts, every state and dates on
// the period's edges.
namespace {

using namespace ConsultasInformes;

class ConsultasInformesTest : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        Transaccion t(db());
        std::mt19937 azar(20240315);
        auto entre = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(azar); };
        const QStringList canchas{"A", "b", "C", "C1", "c2", "D"};
        for (const QString &c : canchas)
            db().execute("INSERT INTO canchas (id, descripcion, cancha_madre_id) VALUES (?, ?, ?)",
                         {c, "Cancha " + c.toUpper(), c.startsWith("C") && c.size() > 1 ? "C" : ""});
        for (const char *h : {"H1", "H2", "H3"})
            db().execute("INSERT INTO horarios (codigo, descripcion) VALUES (?, ?)", {h, QString("Turno ") + h});
        const QStringList nombres{"Ana", "ana", "Ángel", "Bruno", "Ñandú", "Núñez", "Zoe", "Óscar"};
        for (int i = 0; i < 40; ++i)
            db().execute("INSERT INTO clientes (nombre, telefono) VALUES (?, ?)",
                         {nombres[i % nombres.size()], QString::number(i)});
        const QStringList estados{"COB", "COB", "RES", "SUS"};
        const QDate base(2024, 1, 1);
        for (int i = 0; i < 500; ++i)
            db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, estado, importe_total) "
                         "VALUES (?, ?, ?, ?, ?, ?)",
                         {entre(1, 36), canchas[entre(0, canchas.size() - 1)],
                          base.addDays(entre(0, 120)).toString(Qt::ISODate), QString("H%1").arg(entre(1, 3)),
                          estados[entre(0, 3)], entre(0, 40) * 25.5});
        for (int i = 0; i < 300; ++i)
            db().execute(
                "INSERT INTO ventas (fecha, clientes_id, importe_total) VALUES (?, ?, ?)",
                {base.addDays(entre(0, 120)).toString(Qt::ISODate) +
                     QString(" %1:%2:00").arg(entre(0, 23), 2, 10, QChar('0')).arg(entre(0, 59), 2, 10, QChar('0')),
                 entre(1, 41), entre(0, 30) * 10.25});
        t.commit();
    }

    double numero(const QString &sql, const Parametros &p) { return db().openRecordset(sql, p).campo(0).numero(); }

    const QList<std::pair<QDate, QDate>> periodos{{QDate(2024, 1, 1), QDate(2024, 1, 31)},
                                                  {QDate(2024, 2, 10), QDate(2024, 2, 10)},
                                                  {QDate(2024, 3, 1), QDate(2024, 4, 30)},
                                                  {QDate(2023, 1, 1), QDate(2023, 12, 31)}};
};

QString iso(const QDate &d) { return d.toString(Qt::ISODate); }

} // namespace

TEST_F(ConsultasInformesTest, LasConsultasDeConjuntoDanLoMismoQueLaLecturaPorFila)
{
    for (const auto &[desde, hasta] : periodos) {
        const Parametros p{iso(desde), iso(hasta)};
        // Statistics: every court in description order, a count and a sum each.
        QStringList esperado, obtenido;
        Recordset c = db().openRecordset("SELECT id, descripcion FROM canchas ORDER BY descripcion");
        for (; !c.eof(); c.moveNext()) {
            const Parametros q{iso(desde), iso(hasta), c.texto("id")};
            const QString filtro =
                " FROM reservas WHERE fecha >= ? AND fecha <= ? AND canchas_id = ? AND estado = 'COB'";
            esperado << QString("%1|%2|%3|%4")
                            .arg(c.texto("id"), c.texto("descripcion"))
                            .arg(numero("SELECT COUNT(id)" + filtro, q))
                            .arg(numero("SELECT SUM(importe_total)" + filtro, q), 0, 'f', 2);
        }
        for (const auto &f : turnosPorCancha(desde, hasta))
            obtenido << QString("%1|%2|%3|%4").arg(f.id, f.descripcion).arg(f.cantidad).arg(f.importe, 0, 'f', 2);
        EXPECT_EQ(obtenido, esperado);

        // Ranking: every client, sales of whole days plus collected reservations.
        esperado.clear();
        obtenido.clear();
        for (Recordset cl = db().openRecordset("SELECT id, nombre FROM clientes"); !cl.eof(); cl.moveNext()) {
            const double total =
                numero("SELECT SUM(importe_total) FROM ventas WHERE clientes_id = ? AND fecha >= ? AND fecha <= ?",
                       {cl.campo("id").entero(), iso(desde) + " 00:00:00", iso(hasta) + " 23:59:59"}) +
                numero("SELECT SUM(importe_total) FROM reservas WHERE clientes_id = ? AND fecha >= ? AND fecha <= ? "
                       "AND estado = 'COB'",
                       {cl.campo("id").entero(), iso(desde), iso(hasta)});
            esperado << QString("%1|%2|%3").arg(cl.texto("id"), cl.texto("nombre")).arg(total, 0, 'f', 2);
        }
        for (const auto &f : rankingClientes(desde, hasta))
            obtenido << QString("%1|%2|%3").arg(f.id).arg(f.nombre).arg(f.importe, 0, 'f', 2);
        EXPECT_EQ(obtenido, esperado);
        EXPECT_EQ(obtenido.size(), 41);

        // Loyalty, for the three thresholds.
        for (int minimo : {1, 3, 10}) {
            QStringList ids;
            for (Recordset cl = db().openRecordset("SELECT id FROM clientes"); !cl.eof(); cl.moveNext()) {
                const qint64 id = cl.campo("id").entero();
                if (numero("SELECT COUNT(*) FROM reservas WHERE clientes_id = ?", {id}) >= minimo &&
                    db().openRecordset("SELECT id FROM reservas WHERE fecha >= ? AND fecha <= ? AND clientes_id = ?",
                                       {iso(desde), iso(hasta), id})
                        .eof())
                    ids << QString::number(id);
            }
            esperado.clear();
            obtenido.clear();
            Recordset cl =
                db().openRecordset("SELECT * FROM clientes WHERE id IN (" + (ids.isEmpty() ? "NULL" : ids.join(',')) +
                                   ") ORDER BY nombre" + kCollateEs + ", id");
            for (; !ids.isEmpty() && !cl.eof(); cl.moveNext()) {
                const qint64 id = cl.campo("id").entero();
                const QString ultimo = db().openRecordset("SELECT MAX(fecha) AS u FROM reservas WHERE clientes_id = ?",
                                                          {id}, {{"u", TipoCampo::Fecha}})
                                           .campo(0)
                                           .fecha()
                                           .toString(Qt::ISODate);
                // The first group with a strictly higher count wins.
                QString mejor;
                qint64 cuenta = -1;
                for (Recordset g = db().openRecordset("SELECT canchas_id, COUNT(canchas_id) AS cant FROM reservas "
                                                      "WHERE clientes_id = ? GROUP BY canchas_id ORDER BY canchas_id",
                                                      {id});
                     !g.eof(); g.moveNext())
                    if (g.campo("cant").entero() > cuenta) {
                        cuenta = g.campo("cant").entero();
                        mejor = g.texto("canchas_id");
                    }
                Recordset r = db().openRecordset("SELECT r.fecha, h.descripcion FROM reservas r LEFT JOIN horarios h "
                                                 "ON h.codigo = r.horarios_id WHERE clientes_id = ? AND canchas_id = ? "
                                                 "ORDER BY fecha, r.id",
                                                 {id, mejor});
                esperado << QStringList{cl.texto("id"),
                                        cl.texto("nombre"),
                                        cl.texto("telefono"),
                                        ultimo,
                                        valor("SELECT descripcion FROM canchas WHERE id = ?", {mejor}),
                                        r.campo(0).fecha().toString(Qt::ISODate),
                                        r.campo(1).texto()}
                                .join('|');
            }
            for (const auto &f : clientesSinTurnos(minimo, desde, hasta))
                obtenido << QStringList{QString::number(f.id),
                                        f.nombre,
                                        f.telefono,
                                        f.ultimoTurno.toString(Qt::ISODate),
                                        f.canchaFrecuente,
                                        f.fechaFrecuente.toString(Qt::ISODate),
                                        f.horaFrecuente}
                                .join('|');
            EXPECT_EQ(obtenido, esperado) << "desde " << iso(desde).toStdString() << " minimo " << minimo;
            // A year without reservations lists every client who has any
            // (ids 1 to 36), none of those without.
            if (desde.year() == 2023 && minimo == 1) {
                EXPECT_EQ(obtenido.size(), 36);
            }
        }
    }
}
