#include "support/Entorno.h"
#include "support/RatonGrid.h"

#include "Frm_L_ClientesFideliza.h"
#include "Frm_L_EstadisticaTurnos.h"
#include "Frm_L_RankingClientes.h"
#include "RegistroInformes.h"
#include "dbVentas.h"
#include "platform/Aperturas.h"
#include "platform/Grid.h"
#include "platform/Reloj.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

// Rows as one text, readable in failure messages.
std::string texto(const QStringList &l) { return l.join('\n').toStdString(); }

// The club's data for the grid reports and the windows' controls by name.
class InformesGrillaTest : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        registrarVentanasInformes();
    }
    template <class T> T *abrir(const char *menu)
    {
        EXPECT_TRUE(Aperturas::abrir(menu));
        T *w = Ventanas::existente<T>();
        ventana = w;
        return w;
    }
    void cancha(const QString &id, const QString &descripcion, const QString &madre = QString())
    {
        db().execute("INSERT INTO canchas (id, descripcion, cancha_madre_id) VALUES (?, ?, ?)",
                     {id, descripcion, madre});
    }
    void horario(const QString &codigo, const QString &descripcion)
    {
        db().execute("INSERT INTO horarios (codigo, descripcion) VALUES (?, ?)", {codigo, descripcion});
    }
    qint64 cliente(const QString &nombre, const QString &telefono = QString(), const QString &comentarios = QString())
    {
        db().execute("INSERT INTO clientes (nombre, telefono, comentarios) VALUES (?, ?, ?)",
                     {nombre, telefono, comentarios});
        return db().lastInsertId();
    }
    void reserva(qint64 cliente, const QString &cancha, const QString &fecha, const QString &estado = "COB",
                 double importe = 0, const QString &horario = "H1")
    {
        db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, estado, importe_total) "
                     "VALUES (?, ?, ?, ?, ?, ?)",
                     {cliente, cancha, fecha, horario, estado, importe});
    }
    void venta(qint64 cliente, const QString &fecha, double importe)
    {
        db().execute("INSERT INTO ventas (fecha, clientes_id, importe_total, importe_pagado, t_usuarios_codigo) "
                     "VALUES (?, ?, ?, ?, 'admin')",
                     {fecha, cliente, importe, importe});
    }

    QComboBox *cmbVer() { return ventana->findChild<QComboBox *>("cmbVer"); }
    QGroupBox *frameFechas() { return ventana->findChild<QGroupBox *>("FrameFechas"); }
    QDateEdit *fecha(const char *nombre) { return ventana->findChild<QDateEdit *>(nombre); }
    Grid *grid() { return ventana->findChild<Grid *>("vaSpread"); }
    void clic(const char *boton) { ventana->findChild<QPushButton *>(boton)->click(); }
    void periodo(const char *desde, const char *hasta, const QDate &d, const QDate &h)
    {
        fecha(desde)->setDate(d);
        fecha(hasta)->setDate(h);
    }
    // Every data row of the grid, its cells joined by "|".
    QStringList filas()
    {
        QStringList l;
        for (int r = 1; r <= grid()->MaxRows(); ++r) {
            QStringList celdas;
            for (int c = 1; c <= grid()->MaxCols(); ++c)
                celdas << grid()->text(c, r);
            l << celdas.join('|');
        }
        return l;
    }
    QString etiqueta(const char *nombre) { return ventana->findChild<QLabel *>(nombre)->text(); }
    void opcion(const char *nombre) { ventana->findChild<QRadioButton *>(nombre)->setChecked(true); }
    // Answers the search dialog with a code and a description, then presses
    // the button given.
    void buscar(const QString &codigo, const QString &descripcion, const char *boton = "btnAceptar")
    {
        modal->guion([=](QDialog *d) {
            d->findChild<QLineEdit *>("mskCodigo")->setText(codigo);
            d->findChild<QLineEdit *>("mskDesc")->setText(descripcion);
            d->findChild<QPushButton *>(boton)->click();
        });
        clic("btnBuscar");
    }

    QWidget *ventana = nullptr;
};

} // namespace

TEST_F(InformesGrillaTest, EstadisticaCuentaSoloCobradasDelPeriodoPorCanchaConTotales)
{
    cancha("C1", "Cancha Uno");
    cancha("C1A", "Cancha Uno A", "C1");
    cancha("C2", "Cancha Dos");
    cancha("C3", "Sin turnos");
    const qint64 ana = cliente("Ana");
    // Today is 15/03/2024: "Ultimos 3 meses" is 16/12/2023 .. 15/03/2024.
    reserva(ana, "C1", "2024-03-15", "COB", 100);
    reserva(ana, "C1", "2023-12-16", "COB", 50.5);
    reserva(ana, "C1", "2023-12-15", "COB", 999); // the day before
    reserva(ana, "C1", "2024-03-16", "COB", 999); // tomorrow
    reserva(ana, "C1", "2024-03-01", "RES", 999);
    reserva(ana, "C1", "2024-03-01", "SUS", 999);
    reserva(ana, "C1A", "2024-03-02", "COB", 40); // the child court apart from its parent
    reserva(ana, "C2", "2024-02-01", "COB", 300);
    reserva(ana, "C2", "2024-02-02", "COB", 20);
    // A closing already stamped it: it still counts.
    db().execute("UPDATE reservas SET arqueo_saldo_id = 7 WHERE importe_total = 20");

    auto *w = abrir<Frm_L_EstadisticaTurnos>("mnu_EstadisticaHorasOcupadas");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Estadistica turnos / alquileres");
    EXPECT_EQ(cmbVer()->count(), 4);
    EXPECT_EQ(cmbVer()->currentText(), "Ultimos 3 meses");
    EXPECT_EQ(fecha("dtpDesde")->date(), QDate(2023, 12, 16));
    EXPECT_EQ(fecha("dtpHasta")->date(), QDate(2024, 3, 15));
    EXPECT_FALSE(frameFechas()->isEnabled());
    EXPECT_EQ(grid()->text(4, 0), "Total Monto");
    EXPECT_EQ(texto(filas()), texto({"C2|Cancha Dos|2|320.00", "C1|Cancha Uno|2|150.50", "C1A|Cancha Uno A|1|40.00",
                                     "C3|Sin turnos|0|0.00"}));
    EXPECT_EQ(etiqueta("labTotalTurnos"), "5");
    EXPECT_EQ(etiqueta("labTotalMonto"), "510.50");
    EXPECT_TRUE(msg->vacio());

    // A new reservation shows only after "Actualizar", totals with it.
    reserva(ana, "C3", "2024-03-10", "COB", 1000);
    EXPECT_EQ(etiqueta("labTotalMonto"), "510.50");
    clic("cmdActualizar");
    EXPECT_EQ(filas().first(), "C3|Sin turnos|1|1,000.00");
    EXPECT_EQ(etiqueta("labTotalTurnos"), "6");
    EXPECT_EQ(etiqueta("labTotalMonto"), "1,510.50");

    // Two dates: the free range keeps the dates and enables the pickers.
    cmbVer()->setCurrentIndex(3);
    EXPECT_TRUE(frameFechas()->isEnabled());
    EXPECT_EQ(fecha("dtpDesde")->date(), QDate(2023, 12, 16));
    periodo("dtpDesde", "dtpHasta", QDate(2023, 12, 15), QDate(2023, 12, 15));
    clic("cmdActualizar");
    EXPECT_EQ(filas().first(), "C1|Cancha Uno|1|999.00");
    EXPECT_EQ(etiqueta("labTotalTurnos"), "1");
    // A fixed preset after a manual range overwrites both dates and disables
    // the pickers; the grid keeps the old period until "Actualizar".
    cmbVer()->setCurrentIndex(2);
    EXPECT_FALSE(frameFechas()->isEnabled());
    EXPECT_EQ(fecha("dtpDesde")->date(), QDate(2023, 3, 16));
    EXPECT_EQ(fecha("dtpHasta")->date(), QDate(2024, 3, 15));
    EXPECT_EQ(filas().first(), "C1|Cancha Uno|1|999.00");
    cmbVer()->setCurrentIndex(1);
    EXPECT_EQ(fecha("dtpDesde")->date(), QDate(2023, 9, 17));

    // A query that fails is told; the grid and totals keep what they showed.
    db().execute("ALTER TABLE reservas RENAME TO reservas_aparte");
    clic("cmdActualizar");
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: ")) << msg->ultimo().prompt.toStdString();
    EXPECT_EQ(filas().first(), "C1|Cancha Uno|1|999.00");
    EXPECT_EQ(etiqueta("labTotalTurnos"), "1");
}

TEST_F(InformesGrillaTest, RankingSumaVentasYReservasCobradasDelPeriodoConMesesDeCalendario)
{
    // The last day of March: month presets move by calendar months.
    Reloj::fijar(QDateTime(QDate(2024, 3, 31), QTime(18, 0)));
    cancha("C1", "Cancha Uno");
    const qint64 ana = cliente("Ana");
    const qint64 beto = cliente("Beto");
    const qint64 cero = cliente("Sin consumos");
    venta(1, "2024-03-01 00:00:00", 30);     // the walk-in client, ranked like any other
    venta(ana, "2024-03-31 23:59:59", 100);  // the whole last day counts
    venta(ana, "2024-04-01 00:00:00", 5000); // next month
    venta(ana, "2024-02-29 23:59:59", 7000); // last month
    reserva(ana, "C1", "2024-03-10", "COB", 50);
    reserva(ana, "C1", "2024-03-11", "RES", 900);
    reserva(ana, "C1", "2024-03-12", "SUS", 900);
    // Paid in March, dated in April: it belongs to April.
    reserva(beto, "C1", "2024-04-02", "COB", 800);
    db().execute("UPDATE reservas SET fecha_anticipo = '2024-03-05 10:00:00' WHERE importe_total = 800");
    reserva(beto, "C1", "2024-03-31", "COB", 120);
    // A cancelled sale adds nothing.
    venta(beto, "2024-03-20 10:00:00", 600);
    {
        Transaccion t(db());
        dbVentas::anular(db().lastInsertId(), "error", "ana", Reloj::ahora());
        t.commit();
    }

    auto *w = abrir<Frm_L_RankingClientes>("mnu_InfRankingClientes");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Ranking de clientes");
    EXPECT_EQ(cmbVer()->count(), 5);
    EXPECT_EQ(cmbVer()->currentText(), "Este mes");
    EXPECT_EQ(fecha("dtpDesde")->date(), QDate(2024, 3, 1));
    EXPECT_EQ(fecha("dtpHasta")->date(), QDate(2024, 3, 31));
    EXPECT_EQ(grid()->text(3, 0), "Importe");
    EXPECT_EQ(texto(filas()), texto({QString::number(ana) + "|Ana|150.00", QString::number(beto) + "|Beto|120.00",
                                     "1|CONSUMIDOR FINAL|30.00", QString::number(cero) + "|Sin consumos|0.00"}));

    // 31 March minus one month is the last day of February.
    cmbVer()->setCurrentIndex(1);
    EXPECT_EQ(fecha("dtpDesde")->date(), QDate(2024, 2, 1));
    EXPECT_EQ(fecha("dtpHasta")->date(), QDate(2024, 2, 29));
    EXPECT_FALSE(frameFechas()->isEnabled());
    clic("cmdActualizar");
    EXPECT_EQ(filas().first(), QString::number(ana) + "|Ana|7,000.00");
    cmbVer()->setCurrentIndex(2);
    EXPECT_EQ(fecha("dtpDesde")->date(), QDate(2023, 12, 1));
    EXPECT_EQ(fecha("dtpHasta")->date(), QDate(2024, 3, 31));
    cmbVer()->setCurrentIndex(3);
    EXPECT_EQ(fecha("dtpDesde")->date(), QDate(2023, 9, 1));
    // "Entre dos fechas" keeps the dates and enables the pickers.
    cmbVer()->setCurrentIndex(4);
    EXPECT_TRUE(frameFechas()->isEnabled());
    EXPECT_EQ(fecha("dtpDesde")->date(), QDate(2023, 9, 1));
    EXPECT_EQ(fecha("dtpHasta")->date(), QDate(2024, 3, 31));
    periodo("dtpDesde", "dtpHasta", QDate(2024, 4, 1), QDate(2024, 4, 30));
    clic("cmdActualizar");
    EXPECT_EQ(filas().first(), QString::number(ana) + "|Ana|5,000.00");
    EXPECT_EQ(filas().at(1), QString::number(beto) + "|Beto|800.00");
    EXPECT_TRUE(msg->vacio());
}

TEST_F(InformesGrillaTest, MarcoOrdenaDescendenteBuscaEImprime)
{
    for (const char *n : {"Zulma", "Ana", "Bruno", "Ana María"})
        cliente(n);
    const qint64 ana = 3;
    venta(2, "2024-03-02 10:00:00", 10);  // Zulma
    venta(3, "2024-03-02 10:00:00", 300); // Ana
    venta(4, "2024-03-02 10:00:00", 20);  // Bruno
    venta(5, "2024-03-02 10:00:00", 300); // Ana María
    abrir<Frm_L_RankingClientes>("mnu_InfRankingClientes");
    // Equal totals keep the order of the ids.
    EXPECT_EQ(filas().first(), QString::number(ana) + "|Ana|300.00");
    EXPECT_EQ(grid()->text(2, 2), "Ana María");

    // A click on a title sorts descending; a second click the same way.
    raton::clic(grid(), 2, 0);
    EXPECT_EQ(grid()->text(2, 1), "Zulma");
    EXPECT_EQ(grid()->text(2, 2), "CONSUMIDOR FINAL");
    EXPECT_EQ(grid()->text(2, 5), "Ana");
    raton::clic(grid(), 2, 0);
    EXPECT_EQ(grid()->text(2, 1), "Zulma");
    EXPECT_EQ(grid()->text(2, 5), "Ana");
    // The code's title and the data cells do not sort.
    raton::clic(grid(), 1, 0);
    EXPECT_EQ(grid()->text(2, 1), "Zulma");
    raton::clic(grid(), 3, 4);
    EXPECT_EQ(grid()->text(2, 1), "Zulma");
    raton::clic(grid(), 3, 0);
    EXPECT_EQ(grid()->text(3, 1), "300.00");
    EXPECT_EQ(grid()->text(2, 1), "Ana María");
    EXPECT_EQ(grid()->text(3, 5), "0.00");

    // The search selects the first row starting with both texts, case-sensitive.
    buscar("", "Ana");
    EXPECT_EQ(modal->mostrados().last(), "Frm_L_RankingClientesAnexo");
    EXPECT_EQ(grid()->selectedRow(), 1);
    buscar("", "Bru");
    EXPECT_EQ(grid()->selectedRow(), 3);
    buscar("4", "");
    EXPECT_EQ(grid()->text(1, grid()->selectedRow()), "4");
    grid()->clearSelection();
    buscar("", "ana");
    EXPECT_EQ(grid()->selectedRow(), 0);
    buscar("", "");
    EXPECT_EQ(grid()->selectedRow(), 0);
    buscar("", "Bruno", "btnCancelar");
    EXPECT_EQ(grid()->selectedRow(), 0);
    EXPECT_EQ(Ventanas::buscar("Frm_L_RankingClientesAnexo"), nullptr);

    // Printing asks first; "No" prints nothing, "Sí" on a machine without a
    // printer tells so.
    msg->responder(vb::No);
    clic("btnPrint");
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().prompt, "Se imprimirá la grilla.\n¿Desea continuar?");
    EXPECT_EQ(msg->ultimo().icono(), vb::Question);
    if (!Grid::hayImpresora()) {
        clic("btnPrint");
        ASSERT_EQ(msg->mostrados().size(), 3u);
        EXPECT_TRUE(msg->ultimo().prompt.startsWith("No se puede imprimir"));
    }

    // The statistics window has its own search dialog over its id and description.
    cancha("C1", "Cancha Uno");
    cancha("C2", "Cancha Dos");
    abrir<Frm_L_EstadisticaTurnos>("mnu_EstadisticaHorasOcupadas");
    buscar("C2", "Cancha");
    EXPECT_EQ(modal->mostrados().last(), "Frm_L_EstadisticaTurnosAnexo");
    EXPECT_EQ(grid()->text(1, grid()->selectedRow()), "C2");
}

TEST_F(InformesGrillaTest, FidelizacionUmbralesPeriodoUltimoTurnoYCanchaFrecuente)
{
    // Wednesday 13/03/2024.
    Reloj::fijar(QDateTime(QDate(2024, 3, 13), QTime(9, 0)));
    cancha("A", "Cancha A");
    cancha("B", "Cancha B");
    cancha("C", "Cancha C");
    horario("H1", "18:00 a 19:00");
    horario("H2", "20:00 a 21:00");
    const qint64 dos = cliente("Dos turnos", "111");
    const qint64 tres = cliente("Tres turnos", "222", "llamar de tarde");
    const qint64 activo = cliente("Activo suspendido", "333");
    const qint64 empate = cliente("Empate", "444");
    const qint64 futuro = cliente("Con turno futuro", "555");
    reserva(dos, "A", "2024-01-01");
    reserva(dos, "A", "2024-01-08");
    // Three before the period: on C twice (the later one first on record),
    // the weekday and slot come from the earliest on C.
    reserva(tres, "C", "2024-02-14", "COB", 0, "H2"); // a Wednesday
    reserva(tres, "C", "2024-02-05", "RES", 0, "H1"); // a Monday
    reserva(tres, "B", "2024-02-20");
    // One suspended reservation inside the period excludes the client.
    for (const char *d : {"2024-01-02", "2024-01-03", "2024-01-04"})
        reserva(activo, "A", d);
    reserva(activo, "A", "2024-03-12", "SUS");
    // Four on B and four on A: the lowest court id wins the tie.
    for (const char *d : {"2023-11-06", "2023-11-13", "2023-11-20", "2023-11-27"})
        reserva(empate, "B", d, "COB", 0, "H2");
    for (const char *d : {"2023-12-07", "2023-12-14", "2023-12-21", "2023-12-28"})
        reserva(empate, "A", d, "COB", 0, "H1"); // Thursdays
    // Nothing this week, but one after the period: it is the latest turn.
    for (const char *d : {"2024-01-05", "2024-01-06", "2024-04-20"})
        reserva(futuro, "B", d);

    auto *w = abrir<Frm_L_ClientesFideliza>("mnu_ControlFidelidad");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Fidelización de clientes");
    EXPECT_EQ(cmbVer()->count(), 8);
    EXPECT_EQ(cmbVer()->currentIndex(), 3);
    EXPECT_EQ(cmbVer()->currentText(), "Clientes sin turnos hace 15 días");
    EXPECT_EQ(fecha("fDesde")->date(), QDate(2024, 2, 27));
    EXPECT_EQ(fecha("fHasta")->date(), QDate(2024, 3, 13));
    EXPECT_FALSE(frameFechas()->isEnabled());
    EXPECT_TRUE(ventana->findChild<QRadioButton *>("opt1Turno")->isChecked());
    EXPECT_EQ(grid()->MaxRows(), 0);
    EXPECT_EQ(grid()->text(4, 0), "Último Turno");

    // On a Wednesday "esta semana" is Monday two days back .. Sunday ahead.
    cmbVer()->setCurrentIndex(1);
    EXPECT_EQ(fecha("fDesde")->date(), QDate(2024, 3, 11));
    EXPECT_EQ(fecha("fHasta")->date(), QDate(2024, 3, 17));
    cmbVer()->setCurrentIndex(0);
    EXPECT_EQ(fecha("fDesde")->date(), QDate(2024, 3, 18));
    EXPECT_EQ(fecha("fHasta")->date(), QDate(2024, 3, 24));
    cmbVer()->setCurrentIndex(2);
    EXPECT_EQ(fecha("fDesde")->date(), QDate(2024, 3, 4));
    EXPECT_EQ(fecha("fHasta")->date(), QDate(2024, 3, 10));
    cmbVer()->setCurrentIndex(5);
    EXPECT_EQ(fecha("fDesde")->date(), QDate(2024, 2, 1));
    EXPECT_EQ(fecha("fHasta")->date(), QDate(2024, 3, 31));
    cmbVer()->setCurrentIndex(6);
    EXPECT_EQ(fecha("fDesde")->date(), QDate(2024, 1, 1));
    cmbVer()->setCurrentIndex(4);
    EXPECT_EQ(fecha("fDesde")->date(), QDate(2024, 3, 1));
    EXPECT_EQ(fecha("fHasta")->date(), QDate(2024, 3, 31));

    // This week, at least 3 turns: the client with 2 is never listed.
    cmbVer()->setCurrentIndex(1);
    opcion("opt3Turnos");
    clic("cmdActualizar");
    EXPECT_TRUE(msg->vacio());
    const QString d = QString::number(dos), t = QString::number(tres), e = QString::number(empate),
                  f = QString::number(futuro);
    EXPECT_EQ(texto(filas()), texto({f + "|Con turno futuro|555|20/04/2024|Cancha B|viernes|18:00 a 19:00|",
                                     e + "|Empate|444|28/12/2023|Cancha A|jueves|18:00 a 19:00|",
                                     t + "|Tres turnos|222|20/02/2024|Cancha C|lunes|18:00 a 19:00|llamar de tarde"}));
    // At least 1: the client with 2 is there too.
    opcion("opt1Turno");
    clic("cmdActualizar");
    EXPECT_EQ(filas().size(), 4);
    EXPECT_TRUE(filas().contains(d + "|Dos turnos|111|08/01/2024|Cancha A|lunes|18:00 a 19:00|")) << texto(filas());
    // The grid is not sorted after filling; a title click sorts it descending.
    raton::clic(grid(), 2, 0);
    EXPECT_EQ(grid()->text(2, 1), "Tres turnos");

    // At least 10: nobody qualifies; the previous rows stay.
    opcion("opt10Turnos");
    clic("cmdActualizar");
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().prompt, "No hay datos.");
    EXPECT_EQ(msg->ultimo().icono(), vb::Information);
    EXPECT_EQ(filas().size(), 4);

    // A free range over the future reservation leaves that client out.
    opcion("opt3Turnos");
    cmbVer()->setCurrentIndex(7);
    EXPECT_TRUE(frameFechas()->isEnabled());
    periodo("fDesde", "fHasta", QDate(2024, 4, 20), QDate(2024, 4, 20));
    clic("cmdActualizar");
    EXPECT_EQ(filas().size(), 3);
    EXPECT_FALSE(filas().join('\n').contains("Con turno futuro"));
}
