#include "AyudaReservas.h"

#include "Frm_L_Reservas.h"
#include "Frm_T_Clientes.h"

#include <QCalendarWidget>

namespace {

class AgendaTest : public ReservasVentanas {
protected:
    QColor fondo(int col, int row) { return semana()->cellBackColor(col, row); }
    QStringList fila(int row)
    {
        QStringList l;
        for (int col = dia(1); col <= dia(7); ++col)
            l << semana()->text(col, row);
        return l;
    }
};

const QDate kLunes(2024, 3, 11); // the week of the fixed clock (Friday 15)

} // namespace

TEST_F(AgendaTest, LaSemanaMuestraFechasHoyHorariosYCadaEstadoConSuColorYLasCanchasMadreEHijaEncima)
{
    reservar("C1", kLunes, "H18", "RES");
    const qint64 senada = reservar("C1", kLunes.addDays(1), "H18", "RES", 100);
    reservar("C1", kLunes.addDays(2), "H18", "COB");
    reservar("C1", kLunes.addDays(3), "H18", "SUS");
    reservar("C1", kLunes.addDays(4), "H18", "RES");
    reservar("M1", kLunes.addDays(4), "H18", "COB");
    const qint64 hija = reservar("C2", kLunes.addDays(4), "H18", "RES", 50);
    reservar("C1", kLunes.addDays(5), "H18", "RES");
    const qint64 madre = reservar("M1", kLunes.addDays(5), "H18", "RES");
    reservar("C1", kLunes.addDays(6), "H10", "SUS");
    const qint64 nueva = reservar("C1", kLunes.addDays(6), "H10", "RES");
    reservar("C1", kLunes.addDays(7), "H18", "COB"); // next week

    abrirAgenda();
    ASSERT_NE(agenda, nullptr);
    EXPECT_EQ(agenda->windowTitle(), "Reserva de Canchas");
    EXPECT_EQ(caja(agenda, "txtCancha")->text(), "Central");
    Grid *g = semana();
    EXPECT_EQ(g->text(2, 0), "Horarios");
    EXPECT_EQ(g->text(dia(3), 0), "Miercoles");
    EXPECT_EQ(g->text(2, 1), "FECHA:");
    EXPECT_EQ(fila(1), (QStringList{"11/03/2024", "12/03/2024", "13/03/2024", "14/03/2024", "15/03/2024", "16/03/2024",
                                    "17/03/2024"}));
    EXPECT_EQ(fondo(2, 1), colorVB(0xC0C000));
    EXPECT_EQ(fondo(dia(4), 1), colorVB(0xC0C000));
    EXPECT_EQ(fondo(dia(5), 1), colorVB(0xFF8080)); // today
    // Slots in the text order of their description.
    EXPECT_EQ((QStringList{g->text(2, 2), g->text(2, 3), g->text(2, 4)}), (QStringList{"10:00", "18:00", "9:00"}));
    EXPECT_EQ(g->MaxRows(), 4);

    EXPECT_EQ(fila(3),
              (QStringList{"RESERVADA", "SEÑADA", "COBRADA", "SUSPENDIDA", "SEÑADA (C2)", "RESERVADA (M1)", ""}));
    EXPECT_EQ(fondo(dia(1), 3), colorVB(0x00FFFF));
    EXPECT_EQ(fondo(dia(2), 3), colorVB(0xFFFF00));
    EXPECT_EQ(fondo(dia(3), 3), colorVB(0x00FF00));
    EXPECT_EQ(fondo(dia(4), 3), colorVB(0x0000FF));
    EXPECT_EQ(fondo(dia(5), 3), colorVB(0xFF00FF));
    EXPECT_EQ(fondo(dia(6), 3), colorVB(0xFF00FF));
    // The id travels as cell data: children over parent over the court itself,
    // and a new booking over the suspended one it replaced.
    EXPECT_EQ(agenda->idDeCelda(dia(2), 3), senada);
    EXPECT_EQ(agenda->idDeCelda(dia(5), 3), hija);
    EXPECT_EQ(agenda->idDeCelda(dia(6), 3), madre);
    EXPECT_EQ(g->text(dia(7), 2), "RESERVADA");
    EXPECT_EQ(agenda->idDeCelda(dia(7), 2), nueva);
    EXPECT_EQ(agenda->idDeCelda(dia(7), 3), 0);

    // The selected cell shows its date, slot and price.
    raton::clic(g, dia(3), 3);
    EXPECT_EQ(caja(agenda, "txtFecha")->text(), "13/03/2024");
    EXPECT_EQ(caja(agenda, "txtHora")->text(), "18:00");
    EXPECT_EQ(caja(agenda, "fpValor")->text(), "1,000.00");
    raton::clic(g, dia(3), 4);
    EXPECT_EQ(caja(agenda, "fpValor")->text(), "0.00");
    // The keyboard chooses too.
    QTest::keyClick(raton::foco(g), Qt::Key_Up);
    EXPECT_EQ(caja(agenda, "fpValor")->text(), "1,000.00");
    QTest::keyClick(raton::foco(g), Qt::Key_Up);
    EXPECT_EQ(caja(agenda, "txtHora")->text(), "10:00");
    EXPECT_EQ(caja(agenda, "fpValor")->text(), "800.00");
    QTest::keyClick(raton::foco(g), Qt::Key_Down);

    // Row 1 and the slot columns do nothing on a double click.
    raton::dobleClic(g, dia(3), 1);
    raton::dobleClic(g, 2, 3);
    EXPECT_TRUE(modal->mostrados().isEmpty());

    // Another week: nothing painted as today, the next week's booking shows.
    emit c<QCalendarWidget>(agenda, "dtpFecha")->clicked(QDate(2024, 3, 20));
    EXPECT_EQ(g->text(dia(1), 1), "18/03/2024");
    EXPECT_EQ(caja(agenda, "txtFecha")->text(), "20/03/2024");
    for (int d = 1; d <= 7; ++d)
        EXPECT_EQ(fondo(dia(d), 1), colorVB(0xC0C000)) << d;
    EXPECT_EQ(fila(3), (QStringList{"COBRADA", "", "", "", "", "", ""}));

    // The parent court shows its own and its child's bookings.
    raton::clic(c<Grid>(agenda, "canchaSpread"), 2, 3);
    EXPECT_EQ(caja(agenda, "txtCancha")->text(), "Madre");
    EXPECT_EQ(fila(3), (QStringList{"COBRADA (C1)", "", "", "", "", "", ""}));

    // The same by code, as a caller outside the window does.
    EXPECT_FALSE(agenda->Usr_MuestraSemana("XX", kLunes));
    EXPECT_EQ(fila(3), (QStringList{"COBRADA (C1)", "", "", "", "", "", ""}));
    EXPECT_TRUE(agenda->Usr_MuestraSemana("c1", kLunes.addDays(3)));
    EXPECT_EQ(caja(agenda, "txtCancha")->text(), "Central");
    EXPECT_EQ(agenda->idDeCelda(dia(5), 3), hija);
}

TEST_F(AgendaTest, EliminarLaTerceraSemanaDeCincoConSiBorraLasSiguientesYConNoSoloEsa)
{
    const qint64 n = ProximoNumero("RESFIJA");
    for (int i = 0; i < 5; ++i) {
        reservar("C1", QDate(2024, 3, 1).addDays(7 * i), "H18", "RES");
        db().execute("UPDATE reservas SET permanente = 1, reserva_fija_id = ?, semana_numero = ?, cantidad_semanas = 4 "
                     "WHERE id = ?",
                     {n, i, db().lastInsertId()});
    }
    const qint64 unica = reservar("C1", kLunes, "H10", "RES");
    abrirAgenda();
    Grid *g = semana();
    // The third week, Friday 15.
    EXPECT_EQ(agenda->idDeCelda(dia(5), 3), 3);

    // No to the first question: nothing goes.
    msg->responder(vb::No);
    raton::clic(g, dia(5), 3);
    clic(agenda, "cmdBorrar");
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas"), 6);

    // Yes, then No: only that week.
    msg->limpiar();
    msg->responder(vb::Yes);
    msg->responder(vb::No);
    clic(agenda, "cmdBorrar");
    ASSERT_EQ(msg->mostrados().size(), 2u);
    EXPECT_EQ(msg->mostrados()[0].prompt, "Se eliminará la reserva seleccionada. ¿Desea continuar?");
    EXPECT_EQ(msg->mostrados()[0].estilo, vb::YesNo + vb::Question);
    EXPECT_EQ(msg->mostrados()[1].prompt,
              "Para eliminar todas las reservas fijas futuras presione 'SI', de lo contrario presione 'NO'");
    EXPECT_EQ(valor("SELECT group_concat(CAST(semana_numero AS TEXT)) FROM (SELECT semana_numero FROM reservas "
                    "WHERE reserva_fija_id = ? ORDER BY fecha) AS s",
                    {n}),
              "0,1,3,4");
    EXPECT_EQ(g->text(dia(5), 3), "");

    // Yes, Yes on the fourth week (the next Friday): it and the fifth go.
    emit c<QCalendarWidget>(agenda, "dtpFecha")->clicked(QDate(2024, 3, 22));
    raton::clic(g, dia(5), 3);
    msg->responder(vb::Yes);
    msg->responder(vb::Yes);
    clic(agenda, "cmdBorrar");
    EXPECT_EQ(valor("SELECT group_concat(CAST(semana_numero AS TEXT)) FROM reservas WHERE reserva_fija_id = ?", {n}),
              "0,1");

    // A one-time booking is asked once; an empty cell asks nothing.
    emit c<QCalendarWidget>(agenda, "dtpFecha")->clicked(kLunes);
    msg->limpiar();
    raton::clic(g, dia(2), 2);
    clic(agenda, "cmdBorrar");
    EXPECT_TRUE(msg->vacio());
    raton::clic(g, dia(1), 2);
    clic(agenda, "cmdBorrar");
    EXPECT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas WHERE id = ?", {unica}), 0);
}

TEST_F(AgendaTest, LosBotonesAbrenElListadoConAgregarYLosClientesEnAlta)
{
    abrirAgenda();
    modal->guion([](QDialog *d) {
        EXPECT_EQ(d->objectName(), "Frm_L_Reservas");
        EXPECT_FALSE(c<QPushButton>(d, "cmdReserva")->isHidden());
    });
    clic(agenda, "ChameleonBtn1");
    EXPECT_EQ(modal->mostrados(), (QStringList{"Frm_L_Reservas"}));

    // From the menu the listing hides its add button.
    modal->guion([](QDialog *d) { EXPECT_TRUE(c<QPushButton>(d, "cmdReserva")->isHidden()); });
    EXPECT_TRUE(Aperturas::abrir("mnu_ReservasListado"));
    EXPECT_EQ(modal->mostrados().size(), 2);

    modal->guion([](QDialog *d) { EXPECT_EQ(d->objectName(), "Frm_T_ClientesAnexo"); });
    clic(agenda, "cmdClientes");
    procesarEventos();
    ASSERT_NE(Ventanas::existente<Frm_T_Clientes>(), nullptr);
    EXPECT_EQ(modal->mostrados().last(), "Frm_T_ClientesAnexo");
}

TEST_F(AgendaTest, SinCanchasMuestraLasFechasYLosHorariosSinCanchaNiReservas)
{
    db().execute("DELETE FROM valores_canchas");
    db().execute("DELETE FROM canchas");
    reservar("C1", kLunes, "H18", "RES");
    abrirAgenda();
    Grid *g = semana();
    EXPECT_EQ(g->MaxRows(), 4);
    EXPECT_EQ(g->text(dia(1), 1), "11/03/2024");
    EXPECT_EQ(fila(3), (QStringList{"", "", "", "", "", "", ""}));
    EXPECT_EQ(caja(agenda, "txtCancha")->text(), "");
    raton::clic(g, dia(2), 3);
    EXPECT_EQ(caja(agenda, "fpValor")->text(), "0.00");
    EXPECT_EQ(agenda->Usr_TurnoSeleccionado().cancha, "");
    EXPECT_EQ(agenda->Usr_TurnoSeleccionado().horario, "H18");
}

TEST_F(AgendaTest, OtraSemanaVaciaLasCeldasYHorariosCambiadosRehacenLasFilas)
{
    const qint64 lunes = reservar("C1", kLunes, "H18", "COB");
    reservar("C1", kLunes.addDays(4), "H10", "RES", 100);
    reservar("C1", kLunes.addDays(9), "H9", "SUS");
    abrirAgenda();
    Grid *g = semana();
    ASSERT_EQ(agenda->idDeCelda(dia(1), 3), lunes);
    raton::clic(g, dia(3), 3);

    // The next week: last week's cells keep no text, colour or booking.
    emit c<QCalendarWidget>(agenda, "dtpFecha")->clicked(kLunes.addDays(7));
    EXPECT_EQ(g->MaxRows(), 4);
    for (int fila = 2; fila <= 4; ++fila)
        for (int d = 1; d <= 7; ++d) {
            const bool suspendida = fila == 4 && d == 3;
            EXPECT_EQ(g->text(dia(d), fila), suspendida ? "SUSPENDIDA" : "") << fila << " " << d;
            EXPECT_EQ(g->cellBackColor(dia(d), fila).isValid(), suspendida) << fila << " " << d;
            EXPECT_EQ(agenda->idDeCelda(dia(d), fila) != 0, suspendida) << fila << " " << d;
        }
    EXPECT_EQ(fila(1), (QStringList{"18/03/2024", "19/03/2024", "20/03/2024", "21/03/2024", "22/03/2024", "23/03/2024",
                                    "24/03/2024"}));
    EXPECT_EQ(fondo(dia(5), 1), colorVB(0xC0C000));
    // The chosen turn stays where it was.
    EXPECT_EQ(g->ActiveCol(), dia(3));
    EXPECT_EQ(g->ActiveRow(), 3);

    // A slot added and one renamed elsewhere: the next refill shows them in
    // order, with their bookings.
    db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H12', '12:00')");
    db().execute("UPDATE horarios SET descripcion = '09:00' WHERE codigo = 'H9'");
    reservar("C1", kLunes, "H12", "RES");
    emit c<QCalendarWidget>(agenda, "dtpFecha")->clicked(kLunes);
    EXPECT_EQ(g->MaxRows(), 5);
    EXPECT_EQ((QStringList{g->text(2, 2), g->text(2, 3), g->text(2, 4), g->text(2, 5)}),
              (QStringList{"09:00", "10:00", "12:00", "18:00"}));
    EXPECT_EQ(g->text(dia(1), 4), "RESERVADA");
    EXPECT_EQ(agenda->idDeCelda(dia(1), 5), lunes);
    EXPECT_EQ(g->text(dia(5), 3), "SEÑADA");
    EXPECT_EQ(fondo(dia(5), 1), colorVB(0xFF8080)); // today again
}
