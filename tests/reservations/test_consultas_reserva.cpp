#include "support/Entorno.h"

#include "ConsultasReserva.h"

using namespace ConsultasReserva;

namespace {

class ConsultasReservaTest : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        db().execute("INSERT INTO canchas (id, descripcion, cancha_madre_id) VALUES ('M', 'Madre', ''), "
                     "('C1', 'Central', 'M'), ('H1', 'Hija uno', 'C1'), ('H2', 'Hija dos', 'C1'), ('X', 'Otra', '')");
        db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('T18', '18:00')");
        db().execute("INSERT INTO clientes (nombre) VALUES ('Ana')");
    }
    void reservar(const QString &cancha, const QString &fecha, const QString &estado, double anticipo = 0,
                  const QString &tomada = "2024-03-01 09:00:00", qint64 cliente = 2)
    {
        db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, estado, importe_anticipo, "
                     "importe_saldo, fecha_anticipo) VALUES (?, ?, ?, 'T18', ?, ?, 100, ?)",
                     {cliente, cancha, fecha, estado, anticipo, tomada});
    }
    QStringList semana(const QString &cancha)
    {
        QStringList l;
        for (const auto &t : turnosDeSemana(cancha, QDate(2024, 3, 4))) {
            const Celda c = celda(t);
            l << QStringLiteral("%1 %2 %3").arg(t.fecha.day()).arg(c.texto).arg(c.color, 6, 16, QChar('0'));
        }
        return l;
    }
};

} // namespace

TEST_F(ConsultasReservaTest, LaSemanaTraeLaCanchaLuegoSuMadreLuegoSusHijasConTextoYColor)
{
    reservar("C1", "2024-03-04", "RES");
    reservar("C1", "2024-03-05", "RES", 50);
    reservar("C1", "2024-03-06", "COB");
    reservar("C1", "2024-03-07", "SUS");
    reservar("C1", "2024-03-08", "OTRO");
    reservar("H2", "2024-03-04", "RES", 10);
    reservar("M", "2024-03-04", "COB");
    reservar("H1", "2024-03-10", "SUS");
    reservar("X", "2024-03-05", "RES");  // an unrelated court
    reservar("C1", "2024-03-03", "RES"); // the Sunday before
    reservar("C1", "2024-03-11", "RES"); // the Monday after
    EXPECT_EQ(semana("C1"),
              (QStringList{"4 RESERVADA 00ffff", "5 SEÑADA ffff00", "6 COBRADA 00ff00", "7 SUSPENDIDA 0000ff",
                           "8  00ffff", "4 COBRADA (M) ff00ff", "4 SEÑADA (H2) ff00ff", "10 SUSPENDIDA (H1) ff00ff"}));
    // A court without parent has no parent pass, whatever courts have an empty parent.
    EXPECT_EQ(semana("X"), (QStringList{"5 RESERVADA 00ffff"}));
    EXPECT_EQ(semana("M"), (QStringList{"4 COBRADA 00ff00", "4 RESERVADA (C1) ff00ff", "5 SEÑADA (C1) ff00ff",
                                        "6 COBRADA (C1) ff00ff", "7 SUSPENDIDA (C1) ff00ff", "8  (C1) ff00ff"}));
    EXPECT_TRUE(semana("").isEmpty());
    EXPECT_EQ(lunesDe(QDate(2024, 3, 10)), QDate(2024, 3, 4));
    EXPECT_EQ(lunesDe(QDate(2024, 3, 4)), QDate(2024, 3, 4));
}

TEST_F(ConsultasReservaTest, UnaReservaDeVariosPasesVieneUnaVezEnElUltimo)
{
    // A court named as its own parent; two courts each the parent of the
    // other; a booking whose court is written in other letter case.
    db().execute("INSERT INTO canchas (id, descripcion, cancha_madre_id) VALUES ('P', 'Propia', 'P'), "
                 "('A', 'Una', 'B'), ('B', 'Otra', 'A')");
    reservar("P", "2024-03-04", "RES");
    reservar("A", "2024-03-05", "COB");
    reservar("B", "2024-03-05", "RES", 20);
    reservar("c1", "2024-03-06", "SUS");
    // Painted pass by pass, the last pass leaves the court's own booking
    // magenta with its court, as a child's.
    EXPECT_EQ(semana("P"), (QStringList{"4 RESERVADA (P) ff00ff"}));
    // B is A's parent and child: its booking comes once, as a child's, after A's own.
    EXPECT_EQ(semana("A"), (QStringList{"5 COBRADA 00ff00", "5 SEÑADA (B) ff00ff"}));
    EXPECT_EQ(semana("B"), (QStringList{"5 SEÑADA ffff00", "5 COBRADA (A) ff00ff"}));
    EXPECT_EQ(semana("C1"), (QStringList{"6 SUSPENDIDA 0000ff"}));
    EXPECT_EQ(semana("h1"), (QStringList{"6 SUSPENDIDA (c1) ff00ff"}));
}

TEST_F(ConsultasReservaTest, ElListadoFiltraPorTurnoOPorMomentoDeReservaYMuestraNombresFaltantesVacios)
{
    reservar("C1", "2024-03-05", "RES", 0, "2024-03-01 00:00:00");
    reservar("C1", "2024-03-04", "COB", 0, "2024-03-01 23:59:59");
    reservar("C1", "2024-03-06", "RES", 0, "2024-03-02 00:00:00");
    reservar("ZZ", "2024-03-05", "NADA", 0, "2024-02-29 23:59:59", 99);
    db().execute("UPDATE reservas SET horarios_id = 'NO' WHERE canchas_id = 'ZZ'");

    auto ids = [](const QList<FilaListado> &f) {
        QStringList l;
        for (const auto &x : f)
            l << QString::number(x.id);
        return l;
    };
    EXPECT_EQ(ids(listado(true, QDate(2024, 3, 4), QDate(2024, 3, 5))), (QStringList{"2", "1", "4"}));
    EXPECT_EQ(ids(listado(true, QDate(2024, 3, 5), QDate(2024, 3, 5))), (QStringList{"1", "4"}));
    EXPECT_TRUE(listado(true, QDate(2024, 3, 6), QDate(2024, 3, 5)).isEmpty());
    // The booking day runs from 00:00:00 to 23:59:59.
    EXPECT_EQ(ids(listado(false, QDate(2024, 3, 1), QDate(2024, 3, 1))), (QStringList{"2", "1"}));

    const auto filas = listado(true, QDate(2024, 3, 5), QDate(2024, 3, 5));
    EXPECT_EQ(filas[0].cliente, "Ana");
    EXPECT_EQ(filas[0].cancha, "Central");
    EXPECT_EQ(filas[0].horario, "18:00");
    EXPECT_EQ(filas[0].estado, "RESERVADA");
    EXPECT_EQ(filas[0].saldo, 100);
    EXPECT_EQ(filas[1].clientes_id, "99");
    EXPECT_EQ(filas[1].cliente, "");
    EXPECT_EQ(filas[1].canchas_id, "ZZ");
    EXPECT_EQ(filas[1].cancha, "");
    EXPECT_EQ(filas[1].horario, "");
    EXPECT_EQ(filas[1].estado, "");
}
