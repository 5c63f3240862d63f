#include "support/Entorno.h"
#include "support/RatonGrid.h"

#include "Frm_L_ClientesFideliza.h"
#include "Frm_L_EstadisticaTurnos.h"
#include "Frm_L_RankingClientes.h"
#include "RegistroInformes.h"
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

namespace {

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
    EXPECT_EQ(filas(), (QStringList{"C2|Cancha Dos|2|320.00", "C1|Cancha Uno|2|150.50", "C1A|Cancha Uno A|1|40.00",
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
}
