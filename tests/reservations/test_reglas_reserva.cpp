#include "support/Entorno.h"

#include "ReglasReserva.h"
#include "dbReserva.h"

using ReglasReserva::Reserva;

namespace {

class ReglasReservaTest : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Central'), ('C2', 'Norte')");
        db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H18', '18:00'), ('H19', '19:00')");
        db().execute("INSERT INTO clientes (nombre, telefono) VALUES ('Ana', '555')");
    }

    // A booking on court C1 at 18:00 for client 2, total 1000.
    static Reserva reserva(const QDate &fecha, double anticipo = 0)
    {
        Reserva r;
        r.clientes_id = "2";
        r.canchas_id = "C1";
        r.horarios_id = "H18";
        r.estado = "RES";
        r.fecha = fecha;
        r.total = 1000;
        r.anticipo = anticipo;
        return r;
    }
    static Reserva serie(const QDate &inicio, int semanas, double anticipo = 0)
    {
        Reserva r = reserva(inicio, anticipo);
        r.permanente = true;
        r.semanas = semanas;
        return r;
    }
    qint64 guardar(const Reserva &r)
    {
        Transaccion t(db());
        const qint64 id = ReglasReserva::guardar(r, "ana", QDateTime(QDate(2024, 3, 15), QTime(10, 30)));
        t.commit();
        return id;
    }
    void ocupar(const QDate &fecha, const QString &estado)
    {
        db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, estado) "
                     "VALUES (1, 'C1', ?, 'H18', ?)",
                     {fecha, estado});
    }
    // "fecha semana anticipo saldo" of the rows of a series, by date.
    QStringList filasDeSerie(qint64 serie)
    {
        Recordset rs = db().openRecordset("SELECT fecha, semana_numero, importe_anticipo, importe_saldo "
                                          "FROM reservas WHERE reserva_fija_id = ? ORDER BY fecha",
                                          {serie});
        QStringList l;
        for (; !rs.eof(); rs.moveNext())
            l << QStringList{rs.texto("fecha"), rs.texto("semana_numero"), rs.texto("importe_anticipo"),
                             rs.texto("importe_saldo")}
                     .join(' ');
        return l;
    }
    QString siguienteSerie() { return valor("SELECT numero_siguiente FROM t_numeradores WHERE id = 'RESFIJA'"); }
    void fijarMinimo(const QString &p)
    {
        db().execute("INSERT OR REPLACE INTO t_configuraciones (codigo, valor) VALUES ('PORC_MINIMO_RESERVAS', ?)",
                     {p});
    }
};

const QDate kLunes(2024, 3, 4);

} // namespace

TEST_F(ReglasReservaTest, LosControlesRechazanEnOrdenConSuMensajeYFoco)
{
    Reserva r;
    auto res = ReglasReserva::controlar(r, true);
    EXPECT_EQ(res.control, 1);
    EXPECT_EQ(res.mensaje, "Debe seleccionar un Cliente.");
    EXPECT_EQ(res.foco, ReglasReserva::Foco::Cliente);
    r.clientes_id = "2";
    EXPECT_EQ(ReglasReserva::controlar(r, true).foco, ReglasReserva::Foco::Horario);
    r.horarios_id = "H18";
    res = ReglasReserva::controlar(r, true);
    EXPECT_EQ(res.mensaje, "Debe seleccionar una Cancha.");
    r.canchas_id = "C1";
    r.fecha = kLunes;
    r.total = 1000;
    r.anticipo = 1000.01;
    res = ReglasReserva::controlar(r, true);
    EXPECT_EQ(res.control, 4);
    EXPECT_EQ(res.mensaje, "El pago no puede ser mayor al total.");
    EXPECT_EQ(res.foco, ReglasReserva::Foco::Anticipo);
    // Equal passes, also when the amounts are sums that are not exact in binary.
    r.anticipo = 1000;
    EXPECT_EQ(ReglasReserva::controlar(r, true).control, 5);
    r.total = 0.3;
    r.anticipo = 0.1 + 0.2;
    EXPECT_EQ(ReglasReserva::controlar(r, true).control, 5);
    r.estado = "RES";
    EXPECT_TRUE(ReglasReserva::controlar(r, true).aceptada());

    // A series needs weeks; a one-time booking ignores them.
    r.permanente = true;
    res = ReglasReserva::controlar(r, true);
    EXPECT_EQ(res.control, 6);
    EXPECT_EQ(res.mensaje, "Debe ingresar cantidad de semanas de reserva permanente");
    EXPECT_EQ(res.foco, ReglasReserva::Foco::Semanas);
    r.semanas = -2;
    EXPECT_EQ(ReglasReserva::controlar(r, false).control, 6);
    r.permanente = false;
    EXPECT_TRUE(ReglasReserva::controlar(r, true).aceptada());
}

TEST_F(ReglasReservaTest, UnaReservaSuspendidaNoOcupaElTurnoYEditarPuedePisarUnoOcupado)
{
    ocupar(kLunes, "SUS");
    EXPECT_TRUE(ReglasReserva::controlar(reserva(kLunes), true).aceptada());
    guardar(reserva(kLunes));
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas WHERE fecha = '2024-03-04'"), 2);

    for (const char *estado : {"RES", "COB"}) {
        db().execute("DELETE FROM reservas");
        ocupar(kLunes, estado);
        const auto res = ReglasReserva::controlar(reserva(kLunes), true);
        EXPECT_EQ(res.control, 7) << estado;
        EXPECT_EQ(res.mensaje, "Existe una reserva para esta cancha, día y horario.\r\n"
                               "Para poder pisarla es necesario marcar la existente como SUSPENDIDA.");
        EXPECT_EQ(res.foco, ReglasReserva::Foco::Ninguno);
        // Another slot, court or day is free.
        Reserva otra = reserva(kLunes);
        otra.horarios_id = "H19";
        EXPECT_TRUE(ReglasReserva::controlar(otra, true).aceptada());
        otra = reserva(kLunes.addDays(1));
        EXPECT_TRUE(ReglasReserva::controlar(otra, true).aceptada());
        // Editing skips the overlap checks.
        Reserva editada = reserva(kLunes);
        editada.id = "99";
        EXPECT_TRUE(ReglasReserva::controlar(editada, false).aceptada());
    }
    // Court and slot codes compare ignoring letter case.
    Reserva minusculas = reserva(kLunes);
    minusculas.canchas_id = "c1";
    minusculas.horarios_id = "h18";
    EXPECT_EQ(ReglasReserva::controlar(minusculas, true).control, 7);
}

TEST_F(ReglasReservaTest, UnaSerieDeTresSemanasEscribeCuatroLunesConUnNumeroYLaSenaSoloEnLaPrimera)
{
    const QString numero = siguienteSerie();
    ASSERT_TRUE(ReglasReserva::controlar(serie(kLunes, 3, 300), true).aceptada());
    const qint64 id = guardar(serie(kLunes, 3, 300));
    EXPECT_EQ(siguienteSerie().toInt(), numero.toInt() + 1);
    EXPECT_EQ(filasDeSerie(numero.toLongLong()), (QStringList{"2024-03-04 0 300 700", "2024-03-11 1 0 1000",
                                                              "2024-03-18 2 0 1000", "2024-03-25 3 0 1000"}));
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas WHERE permanente = 1 AND cantidad_semanas = 3 "
                     "AND fecha_reserva_fin = '2024-03-25' AND t_usuarios_codigo = 'ana' "
                     "AND fecha_anticipo = '2024-03-15 10:30:00' AND estado = 'RES' AND canchas_id = 'C1' "
                     "AND horarios_id = 'H18' AND clientes_id = 2 AND importe_total = 1000"),
              4);

    dbReserva r;
    ASSERT_TRUE(r.load(QString::number(id)));
    EXPECT_EQ(r.m_fecha, "04/03/2024");
    EXPECT_EQ(r.m_fecha_reserva_fin, "25/03/2024");
    EXPECT_EQ(r.m_fecha_anticipo, "15/03/2024 10:30:00");
    EXPECT_EQ(r.m_semana_numero, "0");
    EXPECT_EQ(r.m_reserva_fija_id, numero);
    EXPECT_TRUE(r.m_permanente);
    EXPECT_TRUE(r.esDeSerie());
    EXPECT_EQ(r.m_arqueo_anticipo_id, "");

    // Dates are calendar days: a series across the autumn clock change keeps its weekday.
    const qint64 otra = guardar(serie(QDate(2024, 10, 21), 2));
    dbReserva d;
    ASSERT_TRUE(d.load(QString::number(otra + 2)));
    EXPECT_EQ(d.m_fecha, "04/11/2024");
    EXPECT_EQ(d.fecha().dayOfWeek(), 1);
}

TEST_F(ReglasReservaTest, UnaSerieQuePisariaSuTerceraFechaNoEscribeNadaNiGastaElNumero)
{
    ocupar(kLunes.addDays(7), "SUS"); // a suspended week does not count
    ocupar(kLunes.addDays(14), "COB");
    ocupar(kLunes.addDays(15), "RES"); // a Tuesday: not one of the series' dates
    const QString numero = siguienteSerie();
    const auto res = ReglasReserva::controlar(serie(kLunes, 4), true);
    EXPECT_EQ(res.control, 8);
    EXPECT_EQ(res.aviso, "Cancha / horario reservado: 18/03/2024");
    EXPECT_EQ(res.mensaje, "La registración de esta reserva permanente pisaría otra reserva existente.");
    EXPECT_EQ(siguienteSerie(), numero);
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas"), 3);

    // The same series ending before the taken week passes; editing never looks.
    EXPECT_TRUE(ReglasReserva::controlar(serie(kLunes, 1), true).aceptada());
    Reserva editada = serie(kLunes, 4);
    editada.id = "1";
    EXPECT_TRUE(ReglasReserva::controlar(editada, false).aceptada());
}

TEST_F(ReglasReservaTest, ElMinimoDeSenaSeMideContraElTotal)
{
    fijarMinimo("30");
    EXPECT_TRUE(ReglasReserva::controlar(reserva(kLunes, 300), true).aceptada());
    const auto res = ReglasReserva::controlar(reserva(kLunes, 299), true);
    EXPECT_EQ(res.control, 9);
    EXPECT_EQ(res.mensaje, "El mínimo de reserva permitido es del %30 del total.");
    EXPECT_EQ(res.foco, ReglasReserva::Foco::Ninguno);
    // Editing checks it too.
    Reserva editada = reserva(kLunes, 0);
    editada.id = "1";
    EXPECT_EQ(ReglasReserva::controlar(editada, false).control, 9);
    // A later week of a series carries no deposit by design: it can still be
    // collected or suspended.
    editada.semana = 2;
    editada.estado = "COB";
    EXPECT_TRUE(ReglasReserva::controlar(editada, false).aceptada());
    // A slot without price (total 0) passes.
    Reserva sinPrecio = reserva(kLunes, 0);
    sinPrecio.total = 0;
    EXPECT_TRUE(ReglasReserva::controlar(sinPrecio, true).aceptada());

    for (const char *p : {"", "0", "abc"}) {
        fijarMinimo(p);
        EXPECT_TRUE(ReglasReserva::controlar(reserva(kLunes, 0), true).aceptada()) << p;
    }
    EXPECT_TRUE(ReglasReserva::alcanzaMinimo(333.34, 1000, "33.334"));
    EXPECT_FALSE(ReglasReserva::alcanzaMinimo(333.33, 1000, "33.334"));
}

TEST_F(ReglasReservaTest, EditarCambiaSoloEsaFilaYConservaLaSerieYLosSellos)
{
    const qint64 id = guardar(serie(kLunes, 2, 200));
    // Its deposit taken by a closing: kept as it is, the rest may change.
    db().execute("UPDATE reservas SET arqueo_anticipo_id = 7, importe_anticipo = 100 WHERE id = ?", {id + 1});
    Reserva r = reserva(kLunes.addDays(9), 100);
    r.id = QString::number(id + 1);
    r.estado = "COB";
    r.canchas_id = "C2";
    r.comentarios = "paga 'todo'";
    r.permanente = false; // the kind of booking cannot change by editing
    guardar(r);
    Recordset rs = db().openRecordset("SELECT * FROM reservas WHERE id = ?", {id + 1});
    EXPECT_EQ(rs.texto("estado"), "COB");
    EXPECT_EQ(rs.texto("canchas_id"), "C2");
    EXPECT_EQ(rs.texto("fecha"), "2024-03-13");
    EXPECT_EQ(rs.texto("comentarios"), "paga 'todo'");
    EXPECT_EQ(rs.texto("importe_anticipo"), "100");
    EXPECT_EQ(rs.texto("importe_saldo"), "900");
    EXPECT_EQ(rs.texto("permanente"), "1");
    EXPECT_EQ(rs.texto("semana_numero"), "1");
    EXPECT_EQ(rs.texto("fecha_reserva_fin"), "2024-03-18");
    EXPECT_EQ(rs.texto("arqueo_anticipo_id"), "7");
    EXPECT_EQ(rs.texto("fecha_anticipo"), "2024-03-15 10:30:00");
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas WHERE estado = 'RES' AND canchas_id = 'C1'"), 2);
}

TEST_F(ReglasReservaTest, BorrarLaTerceraSemanaSolaOConLasSiguientes)
{
    const qint64 id = guardar(serie(kLunes, 4));
    const qint64 otra = guardar(serie(kLunes.addDays(1), 4));
    const QString tercera = QString::number(id + 2);

    dbReserva r;
    EXPECT_TRUE(r.del(tercera));
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas WHERE reserva_fija_id = 1"), 4);
    EXPECT_FALSE(r.load(tercera));

    r.del_permanentes(QString::number(id + 1)); // week 2 and every later week go
    EXPECT_EQ(valor("SELECT group_concat(CAST(semana_numero AS TEXT)) FROM reservas WHERE reserva_fija_id = 1"), "0");
    // The other series is untouched.
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas WHERE reserva_fija_id = 2"), 5);

    // A one-time booking goes alone; a missing or malformed id deletes nothing.
    const qint64 unica = guardar(reserva(kLunes.addDays(2)));
    r.del_permanentes(QString::number(unica));
    r.del_permanentes("x");
    EXPECT_TRUE(r.del(""));
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas"), 6);
    EXPECT_EQ(otra, id + 5);
}

TEST_F(ReglasReservaTest, UnFalloEnMedioDeLaSerieNoDejaNadaNiGastaElNumero)
{
    hacerFallar("reservas", "disco lleno", "NEW.semana_numero = 2");
    const QString numero = siguienteSerie();
    EXPECT_NE(numeroDeError([&] { guardar(serie(kLunes, 4, 100)); }), 0);
    EXPECT_FALSE(db().enTransaccion());
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas"), 0);
    EXPECT_EQ(siguienteSerie(), numero);
    // Alone, without a transaction of the caller, it is whole or nothing too.
    EXPECT_NE(numeroDeError([&] { ReglasReserva::guardar(serie(kLunes, 4), "ana", QDateTime()); }), 0);
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas"), 0);
    EXPECT_EQ(siguienteSerie(), numero);
}

TEST_F(ReglasReservaTest, CargarUnIdQueNoExisteNoTocaLosCampos)
{
    const qint64 id = guardar(reserva(kLunes, 250));
    dbReserva r;
    ASSERT_TRUE(r.load(QString::number(id)));
    EXPECT_EQ(r.m_importe_saldo, "750");
    EXPECT_EQ(r.m_cantidad_semanas, "0");
    EXPECT_EQ(r.m_semana_numero, "");
    EXPECT_EQ(r.m_reserva_fija_id, "");
    EXPECT_EQ(r.m_fecha_reserva_fin, "");
    EXPECT_FALSE(r.m_permanente);
    EXPECT_FALSE(r.esDeSerie());
    EXPECT_FALSE(r.load("12345"));
    EXPECT_FALSE(r.load("1 OR 1=1"));
    EXPECT_EQ(r.m_id, QString::number(id));
    EXPECT_EQ(r.m_importe_anticipo, "250");
}
