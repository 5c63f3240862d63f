#include "AyudaReservas.h"

#include "ConfigPrograma.h"
#include "Frm_L_Reservas.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDeadlineTimer>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <thread>

namespace {

class EditorReservaTest : public ReservasVentanas {
protected:
    static QString texto(QWidget *d, const char *n) { return caja(d, n)->text(); }
    static QString etiqueta(QWidget *d, const char *n) { return c<QLabel>(d, n)->text(); }
    static QDate fecha(QWidget *d, const char *n) { return c<QDateEdit>(d, n)->date(); }
    // Double click on a day cell of the agenda with a script for the editor.
    void editar(int col, int row, std::function<void(QDialog *)> guion)
    {
        modal->guion(std::move(guion));
        raton::dobleClic(semana(), col, row);
    }
    // What another station books on the agenda's free cell of Wednesday
    // 13 March at 18:00 of court C1.
    static ReglasReserva::Reserva miercolesALas18()
    {
        ReglasReserva::Reserva r;
        r.clientes_id = "1";
        r.canchas_id = "C1";
        r.horarios_id = "H18";
        r.estado = "RES";
        r.fecha = QDate(2024, 3, 13);
        return r;
    }
    QStringList filas(const QString &sql = "SELECT fecha, semana_numero, importe_anticipo, importe_saldo, estado "
                                           "FROM reservas ORDER BY fecha")
    {
        QStringList l;
        for (Recordset rs = db().openRecordset(sql); !rs.eof(); rs.moveNext()) {
            QStringList f;
            for (int i = 0; i < rs.fieldCount(); ++i)
                f << rs.campo(i).texto();
            l << f.join(' ');
        }
        return l;
    }
};

} // namespace

TEST_F(EditorReservaTest, UnaCeldaLibreDelMiercolesALas18AbreElAltaYGuardaUnaSerieSenada)
{
    abrirAgenda();
    editar(dia(3), 3, [&](QDialog *d) {
        EXPECT_EQ(d->windowTitle(), "Nueva Reserva");
        EXPECT_EQ(fecha(d, "dtpFecha"), QDate(2024, 3, 13));
        EXPECT_EQ(texto(d, "txtDia"), "miércoles");
        EXPECT_EQ(combo(d, "dc_Hora")->BoundText(), "H18");
        EXPECT_EQ(texto(d, "mskCancha"), "C1");
        EXPECT_EQ(combo(d, "dc_canchas")->Text(), "Central");
        EXPECT_EQ(texto(d, "fpTotal"), "1,000.00");
        EXPECT_EQ(texto(d, "fpSaldo"), "1,000.00");
        EXPECT_EQ(texto(d, "txtEstado"), "RES");
        EXPECT_FALSE(caja(d, "txtEstado")->isEnabled());
        EXPECT_FALSE(combo(d, "dcEstados")->isEnabled());
        EXPECT_EQ(texto(d, "txtCliente"), "1");
        EXPECT_EQ(combo(d, "dc_cliente")->Text(), "CONSUMIDOR FINAL / ");
        EXPECT_TRUE(c<QPushButton>(d, "cmdDel")->isHidden());
        EXPECT_FALSE(caja(d, "fpTotal")->isReadOnly());

        // Balance follows the amounts; a deposit that is no number leaves it
        // empty, every key typed as it is.
        QTest::keyClicks(caja(d, "fpPago"), "3a0");
        EXPECT_EQ(texto(d, "fpPago"), "3a0");
        EXPECT_EQ(texto(d, "fpSaldo"), "");
        caja(d, "fpPago")->clear();
        QTest::keyClicks(caja(d, "fpPago"), "300");
        EXPECT_EQ(texto(d, "fpPago"), "300");
        EXPECT_EQ(texto(d, "fpSaldo"), "700.00");
        tipear(caja(d, "fpTotal"), "1200");
        EXPECT_EQ(texto(d, "fpSaldo"), "900.00");

        // Four weeks from 3 March end on 31 March; one-time empties the weeks.
        c<QDateEdit>(d, "dtpFecha")->setDate(QDate(2024, 3, 3));
        c<QRadioButton>(d, "optPermanente")->click();
        EXPECT_TRUE(caja(d, "fpSemanas")->isEnabled());
        // The weeks take digits only, up to 520.
        for (const auto &[tecleado, queda] : {std::pair<QString, QString>{"999", "99"},
                                              {"521", "52"},
                                              {"520", "520"},
                                              {"1,5", "15"},
                                              {"2.5", "25"},
                                              {"-3", "3"},
                                              {"00600", "0060"}}) {
            tipear(caja(d, "fpSemanas"), tecleado);
            EXPECT_EQ(texto(d, "fpSemanas"), queda) << tecleado.toStdString();
        }
        tipear(caja(d, "fpSemanas"), "4");
        EXPECT_EQ(fecha(d, "dtpFinFecha"), QDate(2024, 3, 31));
        c<QRadioButton>(d, "optUnaVez")->click();
        EXPECT_EQ(texto(d, "fpSemanas"), "");
        EXPECT_FALSE(caja(d, "fpSemanas")->isEnabled());

        // Back to Wednesday 13, weekly for 3 more weeks: the end follows the start.
        c<QRadioButton>(d, "optPermanente")->click();
        tipear(caja(d, "fpSemanas"), "3");
        c<QDateEdit>(d, "dtpFecha")->setDate(QDate(2024, 3, 13));
        EXPECT_EQ(fecha(d, "dtpFinFecha"), QDate(2024, 4, 3));
        clic(d, "cmdAcepta");
    });
    EXPECT_TRUE(msg->vacio()) << msg->textos().join('|').toStdString();
    EXPECT_EQ(filas(), (QStringList{"2024-03-13 0 300 900 RES", "2024-03-20 1 0 1200 RES", "2024-03-27 2 0 1200 RES",
                                    "2024-04-03 3 0 1200 RES"}));
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas WHERE t_usuarios_codigo = 'ana' AND clientes_id = 1 "
                     "AND reserva_fija_id = 1 AND fecha_anticipo = '2024-03-15 10:30:00'"),
              4);
    // The agenda was refilled.
    EXPECT_EQ(semana()->text(dia(3), 3), "SEÑADA");
    EXPECT_EQ(Ventanas::existente<Frm_T_ReservaCanchasAnexo>(), nullptr);
    EXPECT_EQ(agenda->focusWidget(), c<QPushButton>(agenda, "cmdReserva"));
}

TEST_F(EditorReservaTest, LosRechazosAvisanYNoEscribenNadaNiGastanElNumero)
{
    reservar("C1", QDate(2024, 3, 27), "H18", "RES");
    ajuste("PORC_MINIMO_RESERVAS", "30");
    abrirAgenda();
    editar(dia(3), 3, [&](QDialog *d) {
        // A deposit text that is not a number is refused, never saved as 0.
        for (const char *malo : {".", "-", "1.2.3", "-5"}) {
            caja(d, "fpPago")->setText(malo);
            clic(d, "cmdAcepta");
            EXPECT_EQ(msg->ultimo().prompt, "El importe de SEÑA no es válido: escriba un número sin signo, con punto "
                                            "como separador decimal.")
                << malo;
        }
        tipear(caja(d, "fpPago"), "299");
        clic(d, "cmdAcepta");
        EXPECT_EQ(msg->ultimo().prompt, "El mínimo de reserva permitido es del %30 del total.");
        EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);

        tipear(caja(d, "fpPago"), "1000.01");
        clic(d, "cmdAcepta");
        EXPECT_EQ(msg->ultimo().prompt, "El pago no puede ser mayor al total.");

        tipear(caja(d, "fpPago"), "1000");
        c<QRadioButton>(d, "optPermanente")->click();
        clic(d, "cmdAcepta");
        EXPECT_EQ(msg->ultimo().prompt, "Debe ingresar cantidad de semanas de reserva permanente");
        EXPECT_EQ(d->focusWidget(), caja(d, "fpSemanas"));
        // No client: the first check, the focus on the client picker.
        tipear(caja(d, "txtCliente"), "");
        clic(d, "cmdAcepta");
        EXPECT_EQ(msg->ultimo().prompt, "Debe seleccionar un Cliente.");
        EXPECT_EQ(d->focusWidget(), combo(d, "dc_cliente"));
        tipear(caja(d, "txtCliente"), "1");

        msg->limpiar();
        tipear(caja(d, "fpSemanas"), "3");
        clic(d, "cmdAcepta");
        ASSERT_EQ(msg->mostrados().size(), 2u);
        EXPECT_EQ(msg->mostrados()[0].prompt, "Cancha / horario reservado: 27/03/2024");
        EXPECT_EQ(msg->mostrados()[0].icono(), vb::Information);
        EXPECT_EQ(msg->mostrados()[1].prompt,
                  "La registración de esta reserva permanente pisaría otra reserva existente.");
        EXPECT_TRUE(d->isVisible());
    });
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas"), 1);
    EXPECT_EQ(valor("SELECT numero_siguiente FROM t_numeradores WHERE id = 'RESFIJA'"), "1");

    // The same slot as an existing booking, one-time.
    emit c<QCalendarWidget>(agenda, "dtpFecha")->clicked(QDate(2024, 3, 27));
    editar(dia(3), 3, [&](QDialog *d) {
        EXPECT_EQ(d->windowTitle(), "Reservas - Anexo"); // the booked cell opens it
    });
    modal->guion([&](QDialog *d) {
        clic(d, "cmdAcepta");
        EXPECT_EQ(msg->ultimo().prompt, "Existe una reserva para esta cancha, día y horario.\r\n"
                                        "Para poder pisarla es necesario marcar la existente como SUSPENDIDA.");
    });
    clic(agenda, "cmdReserva");
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas"), 1);
}

TEST_F(EditorReservaTest, ElPermisoDePrecioBloqueaElTotalYUnAjusteIlegibleAvisa)
{
    ajuste("CAN_MOD_PRECIO_RESERVA", "0");
    abrirAgenda();
    editar(dia(1), 3, [&](QDialog *d) { EXPECT_TRUE(caja(d, "fpTotal")->isReadOnly()); });
    EXPECT_TRUE(msg->vacio());
    // Never saved: locked without a word; a stored value that is no number
    // is told.
    db().execute("DELETE FROM t_configuraciones WHERE codigo = 'CAN_MOD_PRECIO_RESERVA'");
    editar(dia(1), 3, [&](QDialog *d) { EXPECT_TRUE(caja(d, "fpTotal")->isReadOnly()); });
    EXPECT_TRUE(msg->vacio());
    ajuste("CAN_MOD_PRECIO_RESERVA", "si");
    editar(dia(1), 3, [&](QDialog *d) { EXPECT_TRUE(caja(d, "fpTotal")->isReadOnly()); });
    EXPECT_EQ(msg->ultimo().prompt, "Error cargando configuraciones: 13 - No coinciden los tipos");
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
}

TEST_F(EditorReservaTest, EditarUnaSemanaDeSerieMuestraSuPosicionCobraYLosSellosBloquean)
{
    const qint64 n = ProximoNumero("RESFIJA");
    for (int i = 0; i < 4; ++i) {
        reservar("C1", QDate(2024, 3, 1).addDays(7 * i), "H18", "RES", i == 0 ? 200 : 0);
        db().execute(
            "UPDATE reservas SET permanente = 1, reserva_fija_id = ?, semana_numero = ?, cantidad_semanas = 3, "
            "fecha_reserva_fin = '2024-03-22', fecha_anticipo = '2024-02-28 09:15:00', "
            "t_usuarios_codigo = 'beto' WHERE id = ?",
            {n, i, db().lastInsertId()});
    }
    // Only the first week carries the minimum deposit.
    ajuste("PORC_MINIMO_RESERVAS", "30");
    abrirAgenda();
    editar(dia(5), 3, [&](QDialog *d) {
        EXPECT_EQ(d->windowTitle(), "Reservas - Anexo");
        EXPECT_EQ(etiqueta(d, "labResId"), "3");
        EXPECT_EQ(etiqueta(d, "labSemanaNro"), "2 /");
        EXPECT_EQ(etiqueta(d, "labFechaHora"), "28/02/2024 09:15:00");
        EXPECT_EQ(etiqueta(d, "labUsuario"), "beto");
        EXPECT_TRUE(c<QRadioButton>(d, "optPermanente")->isChecked());
        EXPECT_EQ(texto(d, "fpSemanas"), "3");
        EXPECT_FALSE(caja(d, "fpSemanas")->isEnabled());
        EXPECT_FALSE(c<QGroupBox>(d, "frmTipoReserva")->isEnabled());
        EXPECT_EQ(fecha(d, "dtpFinFecha"), QDate(2024, 3, 22));
        EXPECT_EQ(texto(d, "fpSaldo"), "1,000.00");
        EXPECT_FALSE(c<QPushButton>(d, "cmdDel")->isHidden());
        EXPECT_TRUE(c<QPushButton>(d, "cmdDel")->isEnabled());
        EXPECT_TRUE(caja(d, "txtEstado")->isEnabled());
        // A typed code that is no state is never saved, also with Enter
        // before the box is left; a state's code in any case collects it.
        tipear(caja(d, "txtEstado"), "XX");
        QTest::keyClick(caja(d, "txtEstado"), Qt::Key_Return);
        EXPECT_EQ(valor("SELECT estado FROM reservas WHERE id = 3"), "RES");
        ASSERT_TRUE(d->isVisible());
        EXPECT_EQ(msg->ultimo().prompt, "Debe indicar estado.");
        tipear(caja(d, "txtEstado"), "cob");
        EXPECT_EQ(combo(d, "dcEstados")->Text(), "COBRADA");
        QTest::keyClick(caja(d, "txtEstado"), Qt::Key_Return);
    });
    EXPECT_EQ(filas("SELECT estado, t_usuarios_codigo, semana_numero FROM reservas WHERE id = 3"),
              (QStringList{"COB ana 2"}));
    EXPECT_EQ(semana()->text(dia(5), 3), "COBRADA");

    db().execute("UPDATE reservas SET arqueo_anticipo_id = 5 WHERE id = 3");
    editar(dia(5), 3, [&](QDialog *d) {
        EXPECT_TRUE(caja(d, "fpPago")->isReadOnly());
        EXPECT_FALSE(c<QPushButton>(d, "cmdDel")->isEnabled());
        EXPECT_TRUE(c<QPushButton>(d, "cmdAcepta")->isEnabled());
        EXPECT_EQ(etiqueta(d, "labArqueoAnticipoId"), "5");
    });
    db().execute("UPDATE reservas SET arqueo_anticipo_id = NULL, arqueo_saldo_id = 6 WHERE id = 3");
    editar(dia(5), 3, [&](QDialog *d) {
        EXPECT_FALSE(caja(d, "fpPago")->isReadOnly());
        EXPECT_FALSE(c<QPushButton>(d, "cmdDel")->isEnabled());
        EXPECT_FALSE(c<QPushButton>(d, "cmdAcepta")->isEnabled());
    });

    // Suspend the second week, then book its slot again over it.
    emit c<QCalendarWidget>(agenda, "dtpFecha")->clicked(QDate(2024, 3, 8));
    editar(dia(5), 3, [&](QDialog *d) {
        elegir(combo(d, "dcEstados"), "SUS");
        clic(d, "cmdAcepta");
    });
    EXPECT_EQ(semana()->text(dia(5), 3), "SUSPENDIDA");
    modal->guion([&](QDialog *d) {
        tipear(caja(d, "fpPago"), "300");
        clic(d, "cmdAcepta");
    });
    clic(agenda, "cmdReserva");
    EXPECT_EQ(semana()->text(dia(5), 3), "SEÑADA");
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas WHERE fecha = '2024-03-08'"), 2);
}

TEST_F(EditorReservaTest, EliminarDesdeElEditorPreguntaPorLasSemanasFuturas)
{
    const qint64 n = ProximoNumero("RESFIJA");
    for (int i = 0; i < 3; ++i) {
        reservar("C1", QDate(2024, 3, 1).addDays(7 * i), "H18", "RES");
        db().execute("UPDATE reservas SET permanente = 1, reserva_fija_id = ?, semana_numero = ? WHERE id = ?",
                     {n, i, db().lastInsertId()});
    }
    abrirAgenda();
    emit c<QCalendarWidget>(agenda, "dtpFecha")->clicked(QDate(2024, 3, 8));
    msg->responder(vb::No);
    editar(dia(5), 3, [&](QDialog *d) {
        clic(d, "cmdDel");
        EXPECT_EQ(msg->ultimo().prompt, "Se eliminará la reserva.\r\n¿Desea continuar?");
        EXPECT_TRUE(d->isVisible());
        msg->responder(vb::Yes);
        msg->responder(vb::Yes);
        clic(d, "cmdDel");
        EXPECT_EQ(msg->ultimo().prompt, "¿Desea eliminar todas las reservas futuras de esta reserva permanente?");
    });
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas"), 1);
    EXPECT_EQ(semana()->text(dia(5), 3), "");
}

// A closing at another station takes a booking while the editor has it
// open: what the taken stamps forbid is refused with the closing's number,
// nothing is written, and the editor shows the booking as it is now.
TEST_F(EditorReservaTest, LoQueUnCierreTomaConElEditorAbiertoYaNoSeCambiaNiSeElimina)
{
    const qint64 id = reservar("C1", QDate(2024, 3, 13), "H18", "COB", 300);
    db().execute("UPDATE reservas SET t_usuarios_codigo = 'ana' WHERE id = ?", {id});
    const QString n = QString::number(id);
    std::unique_ptr<Conexion> otra = otraEstacion();
    abrirAgenda();
    // Its deposit taken: the deposit stays, the rest may still change.
    editar(dia(3), 3, [&](QDialog *d) {
        otra->execute("UPDATE reservas SET arqueo_anticipo_id = 6 WHERE id = ?", {id});
        tipear(caja(d, "fpPago"), "400");
        clic(d, "cmdAcepta");
        EXPECT_EQ(msg->textos(), QStringList{"La seña de la reserva " + n +
                                             " fue incluida en el cierre de caja 6: ya no es posible modificarla."});
        EXPECT_TRUE(d->isVisible());
        EXPECT_TRUE(caja(d, "fpPago")->isReadOnly());
        EXPECT_EQ(texto(d, "fpPago"), "300.00");
        EXPECT_EQ(etiqueta(d, "labArqueoAnticipoId"), "6");
        tipear(caja(d, "txtComentarios"), "paga el resto");
        clic(d, "cmdAcepta");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(filas("SELECT importe_anticipo, comentarios, arqueo_anticipo_id FROM reservas"),
              QStringList{"300 paga el resto 6"});

    // Deleting: refused once a closing took its deposit; then its balance
    // taken too, nothing may be saved.
    db().execute("UPDATE reservas SET arqueo_anticipo_id = NULL WHERE id = ?", {id});
    msg->limpiar();
    editar(dia(3), 3, [&](QDialog *d) {
        otra->execute("UPDATE reservas SET arqueo_anticipo_id = 6 WHERE id = ?", {id});
        msg->responder(vb::Yes);
        clic(d, "cmdDel");
        EXPECT_EQ(msg->ultimo().prompt,
                  "La reserva " + n + " fue incluida en el cierre de caja 6: ya no es posible eliminarla.");
        EXPECT_TRUE(d->isVisible());
        EXPECT_FALSE(c<QPushButton>(d, "cmdDel")->isEnabled());
        otra->execute("UPDATE reservas SET arqueo_saldo_id = 7 WHERE id = ?", {id});
        msg->limpiar();
        tipear(caja(d, "fpTotal"), "1500");
        clic(d, "cmdAcepta");
        EXPECT_EQ(msg->textos(), QStringList{"La reserva " + n +
                                             " fue incluida en el cierre de caja 7: ya no es posible modificarla."});
        EXPECT_EQ(texto(d, "fpTotal"), "1,000.00");
        EXPECT_EQ(etiqueta(d, "labAqueoSaldoId"), "7");
        EXPECT_FALSE(c<QPushButton>(d, "cmdAcepta")->isEnabled());
    });
    EXPECT_EQ(filas("SELECT importe_total, arqueo_anticipo_id, arqueo_saldo_id FROM reservas"),
              QStringList{"1000 6 7"});
}

TEST_F(EditorReservaTest, ElListadoFiltraAbreLaReservaYLaAgendaSeCargaOculta)
{
    const qint64 hoy = reservar("C1", QDate(2024, 3, 15), "H18", "RES");
    reservar("ZZ", QDate(2024, 3, 15), "NO", "XX");
    db().execute("UPDATE reservas SET fecha_anticipo = '2024-03-10 23:59:59', clientes_id = 77 WHERE id = 2");
    reservar("C1", QDate(2024, 3, 16), "H10", "COB");

    ASSERT_EQ(Ventanas::existente<Frm_T_ReservaCanchas>(), nullptr);
    modal->guion([&](QDialog *l) {
        EXPECT_EQ(l->windowTitle(), "Listado de reservas");
        Grid *g = c<Grid>(l, "vaSpread");
        ASSERT_EQ(g->MaxRows(), 2);
        EXPECT_EQ(g->text(1, 1), QString::number(hoy));
        EXPECT_EQ(g->text(2, 1), "2 | Ana");
        EXPECT_EQ(g->text(3, 1), "C1 | Central");
        EXPECT_EQ(g->text(4, 1), "15/03/2024");
        EXPECT_EQ(g->text(5, 1), "18:00");
        EXPECT_EQ(g->text(7, 1), "1,000.00");
        EXPECT_EQ(g->text(8, 1), "RESERVADA");
        EXPECT_EQ((QStringList{g->text(2, 2), g->text(3, 2), g->text(5, 2), g->text(8, 2)}),
                  (QStringList{"77 | ", "ZZ | ", "", ""}));

        // By booking date: the day runs to 23:59:59.
        c<QRadioButton>(l, "optFechaReserva")->click();
        c<QDateEdit>(l, "dtpDesde")->setDate(QDate(2024, 3, 10));
        c<QDateEdit>(l, "dtpHasta")->setDate(QDate(2024, 3, 10));
        clic(l, "cmdActualiza");
        ASSERT_EQ(g->MaxRows(), 1);
        EXPECT_EQ(g->text(1, 1), "2");
        c<QRadioButton>(l, "optFechaTurno")->click();
        c<QDateEdit>(l, "dtpHasta")->setDate(QDate(2024, 3, 16));
        clic(l, "cmdActualiza");
        ASSERT_EQ(g->MaxRows(), 3);

        // Printing asks first; No prints nothing.
        msg->limpiar();
        msg->responder(vb::No);
        clic(l, "btnPrint");
        ASSERT_EQ(msg->mostrados().size(), 1u);
        EXPECT_EQ(msg->ultimo().prompt, "Se imprimirá el listado por la impresora predeterminada\n¿Desea continuar?");
        EXPECT_EQ(msg->ultimo().estilo, vb::YesNo + vb::Question);

        // A row header opens the editor; the list shows the saved values at once.
        modal->guion([&](QDialog *d) {
            EXPECT_EQ(d->objectName(), "Frm_T_ReservaCanchasAnexo");
            EXPECT_EQ(etiqueta(d, "labResId"), QString::number(hoy));
            tipear(caja(d, "fpPago"), "400");
            clic(d, "cmdAcepta");
        });
        raton::clic(g, 0, 1);
        EXPECT_EQ(g->text(6, 1), "400.00");
        EXPECT_EQ(g->text(7, 1), "600.00");
        // The agenda was loaded without being shown, and refilled.
        auto *ag = Ventanas::existente<Frm_T_ReservaCanchas>();
        ASSERT_NE(ag, nullptr);
        EXPECT_FALSE(ag->isVisible());
        EXPECT_EQ(ag->findChild<Grid *>("vaSpread")->text(dia(5), 3), "SEÑADA");
    });
    EXPECT_TRUE(Aperturas::abrir("mnu_ReservasListado"));
    EXPECT_EQ(modal->mostrados(), (QStringList{"Frm_L_Reservas", "Frm_T_ReservaCanchasAnexo"}));
}

TEST_F(EditorReservaTest, TeclearElCodigoDeCanchaEligeLaCanchaYRecalculaElPrecio)
{
    abrirAgenda();
    editar(dia(3), 3, [&](QDialog *d) {
        QLineEdit *cancha = caja(d, "mskCancha");
        EXPECT_EQ(texto(d, "fpTotal"), "1,000.00");
        // Typing chooses as it goes; the box keeps what is typed until it is left.
        tipear(cancha, " c2");
        EXPECT_EQ(combo(d, "dc_canchas")->Text(), "Hija");
        EXPECT_EQ(texto(d, "fpTotal"), "700.00");
        EXPECT_EQ(cancha->text(), " c2");
        // An unknown code leaves no court chosen; leaving the box empties it.
        QTest::keyClick(cancha, Qt::Key_9);
        EXPECT_EQ(combo(d, "dc_canchas")->BoundText(), "");
        QFocusEvent fuera(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(cancha, &fuera);
        EXPECT_EQ(cancha->text(), "");
        // Choosing in the picker writes the code and prices the court.
        elegir(combo(d, "dc_canchas"), "C1");
        EXPECT_EQ(cancha->text(), "C1");
        EXPECT_EQ(texto(d, "fpTotal"), "1,000.00");
        // The client box: a typed number chooses the client, stored text shown on leaving.
        tipear(caja(d, "txtCliente"), "2 ");
        QApplication::sendEvent(caja(d, "txtCliente"), &fuera);
        EXPECT_EQ(texto(d, "txtCliente"), "2");
        EXPECT_EQ(combo(d, "dc_cliente")->Text(), "Ana / 555");
        clic(d, "cmdCancel");
    });
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas"), 0);
}

TEST_F(EditorReservaTest, UnGuardadoFallidoAvisaDosVecesCierraYNoDejaNadaNiSumaUnaReservaBorradaEnOtroPuesto)
{
    hacerFallar("reservas", "disco lleno", "NEW.semana_numero = 2");
    abrirAgenda();
    editar(dia(3), 3, [&](QDialog *d) {
        c<QRadioButton>(d, "optPermanente")->click();
        tipear(caja(d, "fpSemanas"), "3");
        clic(d, "cmdAcepta");
    });
    ASSERT_EQ(msg->mostrados().size(), 2u) << msg->textos().join('|').toStdString();
    EXPECT_EQ(msg->mostrados()[0].prompt, "Error: 3317 - Un valor no cumple una regla de la tabla (disco lleno)");
    EXPECT_EQ(msg->mostrados()[0].icono(), vb::Critical);
    EXPECT_EQ(msg->mostrados()[1].prompt, "Se han producido errores.");
    EXPECT_EQ(msg->mostrados()[1].icono(), vb::Exclamation);
    EXPECT_EQ(Ventanas::existente<Frm_T_ReservaCanchasAnexo>(), nullptr);
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas"), 0);
    EXPECT_EQ(valor("SELECT numero_siguiente FROM t_numeradores WHERE id = 'RESFIJA'"), "1");

    // A cell whose booking another station deleted since the last fill: the
    // editor keeps its id, and saving says it is gone instead of booking the
    // slot again without the overlap checks.
    quitarFalla("reservas");
    const qint64 id = reservar("C1", QDate(2024, 3, 13), "H18", "RES");
    agenda->Usr_BuscaDatosReservas();
    db().execute("DELETE FROM reservas");
    msg->limpiar();
    editar(dia(3), 3, [&](QDialog *d) {
        EXPECT_EQ(d->windowTitle(), "Reservas - Anexo");
        EXPECT_EQ(etiqueta(d, "labResId"), QString::number(id));
        elegir(combo(d, "dcEstados"), "RES");
        elegir(combo(d, "dc_cliente"), "1");
        clic(d, "cmdAcepta");
    });
    EXPECT_EQ(msg->textos(), (QStringList{"Error: 3021 - La reserva " + QString::number(id) + " ya no existe.",
                                          "Se han producido errores."}));
    EXPECT_EQ(contar("SELECT COUNT(*) FROM reservas"), 0);
    EXPECT_EQ(semana()->text(dia(3), 3), "");
}

TEST_F(EditorReservaTest, UnTurnoQueOtroPuestoTomaMientrasSeGuardaSeRechazaYElEditorQuedaAbierto)
{
    if (!enServidor())
        GTEST_SKIP() << "en el archivo una sola estación escribe a la vez";
    DatosServidor d;
    ASSERT_TRUE(ConfigPrograma::baseEnServidor(d));
    std::unique_ptr<Conexion> otro(Conexion::abrirServidor(d));
    std::unique_ptr<Conexion> mirador(Conexion::abrirServidor(d));
    const qint64 pid = db().openRecordset("SELECT pg_backend_pid()").campo(0).entero();
    abrirAgenda();
    // The other station books the free cell and commits only once this
    // one's save waits for it.
    auto t = std::make_unique<Transaccion>(*otro);
    ReglasReserva::guardar(*otro, miercolesALas18(), "luis", QDateTime(QDate(2024, 3, 13), QTime(9, 0)));
    bool espera = false;
    std::thread otroPuesto([&] {
        const QDeadlineTimer limite(5000);
        while (!espera && !limite.hasExpired())
            espera = mirador->openRecordset("SELECT count(*) FROM pg_locks WHERE pid = ? AND NOT granted", {pid})
                         .campo(0)
                         .entero() > 0;
        t->commit();
    });
    editar(dia(3), 3, [&](QDialog *dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Nueva Reserva");
        clic(dlg, "cmdAcepta");
        otroPuesto.join();
        EXPECT_EQ(msg->textos(), QStringList{"Existe una reserva para esta cancha, día y horario.\r\n"
                                             "Para poder pisarla es necesario marcar la existente como SUSPENDIDA."});
        EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
        EXPECT_TRUE(dlg->isVisible());
        // The agenda behind shows the booking that took the cell.
        EXPECT_EQ(agenda->idDeCelda(dia(3), 3), valor("SELECT id FROM reservas").toLongLong());
    });
    if (otroPuesto.joinable())
        otroPuesto.join();
    EXPECT_TRUE(espera);
    EXPECT_EQ(filas("SELECT t_usuarios_codigo FROM reservas"), QStringList{"luis"});
}

TEST_F(EditorReservaTest, UnTurnoQueOtraEstacionTomoSeRechazaYLaAgendaMuestraQuienLoTiene)
{
    abrirAgenda();
    qint64 suya = 0;
    editar(dia(3), 3, [&](QDialog *d) {
        // While the editor is open another station books the same cell,
        // with a deposit, and commits.
        ReglasReserva::Reserva r = miercolesALas18();
        r.total = 1000;
        r.anticipo = 300;
        suya = ReglasReserva::guardar(*otraEstacion(), r, "luis", QDateTime(QDate(2024, 3, 15), QTime(9, 0)));
        EXPECT_EQ(semana()->text(dia(3), 3), "");
        clic(d, "cmdAcepta");
        EXPECT_EQ(msg->textos(), QStringList{"Existe una reserva para esta cancha, día y horario.\r\n"
                                             "Para poder pisarla es necesario marcar la existente como SUSPENDIDA."});
        EXPECT_TRUE(d->isVisible());
        // Refilled while the editor stays open with its fields.
        EXPECT_EQ(semana()->text(dia(3), 3), "SEÑADA");
        EXPECT_EQ(agenda->idDeCelda(dia(3), 3), suya);
        EXPECT_EQ(texto(d, "mskCancha"), "C1");
    });
    EXPECT_EQ(filas("SELECT t_usuarios_codigo, importe_anticipo FROM reservas"), QStringList{"luis 300"});
}
