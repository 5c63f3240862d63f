#include "AyudaCaja.h"

#include "Frm_L_CierresCaja.h"
#include "Frm_ViewerReport.h"
#include "db_caja_cabeza.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>

using namespace ayuda;

namespace {

const QColor kVerde = colorVB(0xC0FFC0);
const QColor kRojo = colorVB(255);

class CierresCajaTest : public CajaBase {
protected:
    void SetUp() override
    {
        CajaBase::SetUp();
        instalarPlantillas();
        // Today is 15/03/2024 10:30. Register 1 mailed, its amounts equal to
        // the cent; 2 short by 4.50; 3 still open; 4 of the next day; 5 opened
        // at the last second of the 14th.
        db().execute("INSERT INTO caja_cabeza (id, fecha_hora_apertura, importe_inicial, importe_cierre_teorico, "
                     "importe_cierre_real, fecha_hora_cierre, comentarios, t_usuarios_codigo, enviado) VALUES "
                     "(1, '2024-03-14 08:00:00', 100, 100.004, 100, '2024-03-14 20:00:00', 'sin novedad', 'ana', 1), "
                     "(2, '2024-03-15 07:00:00', 10, 50, 45.5, '2024-03-15 09:00:00', 'faltante', 'luis', 0), "
                     "(3, '2024-03-15 09:30:00', 20, 0, 0, NULL, 'turno tarde', 'ana', 0), "
                     "(4, '2024-03-16 00:00:00', 5, 0, 0, NULL, '', 'luis', 0), "
                     "(5, '2024-03-14 23:59:59', 1, 7.25, 7.25, '2024-03-15 06:00:00', '', 'ana', 0)");
    }
    Frm_L_CierresCaja *abrir()
    {
        EXPECT_TRUE(Aperturas::abrir("mnu_CierresCaja"));
        procesarEventos();
        return Ventanas::existente<Frm_L_CierresCaja>();
    }
    void fechas(QWidget *w, const QDate &desde, const QDate &hasta)
    {
        w->findChild<QDateEdit *>("dtFecha_0")->setDate(desde);
        w->findChild<QDateEdit *>("dtFecha_1")->setDate(hasta);
    }
    QString total(QWidget *w) { return w->findChild<QLabel *>("labTotal")->text(); }
    QPushButton *btn(QWidget *w, const char *nombre) { return w->findChild<QPushButton *>(nombre); }
    // The row of register id in the list, 0 when not listed.
    int fila(Grid *g, const QString &id) { return columna(g, 1).indexOf(id) + 1; }
};

TEST_F(CierresCajaTest, FiltrosColoresYTotal)
{
    // Both menu items open the one window; it starts with today's registers of every user.
    EXPECT_TRUE(Aperturas::abrir("mnu_ListadoArqueosCaja"));
    auto *w = abrir();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), " Cierres de Caja");
    Grid *g = grilla(w);
    EXPECT_EQ(g->text(7, 0), "Cierre Real");
    EXPECT_EQ(columna(g, 1), (QStringList{"2", "3"}));
    EXPECT_EQ(columna(g, 3), (QStringList{"15/03/2024 09:00:00", ""}));
    EXPECT_EQ(total(w), "45.50");

    // Two days, by opening moment; the last second of the 14th is in, the
    // first of the 16th is not. The total counts open registers too (0).
    fechas(w, QDate(2024, 3, 14), QDate(2024, 3, 15));
    clic(w, 4);
    EXPECT_EQ(columna(g, 1), (QStringList{"1", "5", "2", "3"}));
    EXPECT_EQ(columna(g, 2), (QStringList{"14/03/2024 08:00:00", "14/03/2024 23:59:59", "15/03/2024 07:00:00",
                                          "15/03/2024 09:30:00"}));
    EXPECT_EQ(columna(g, 4), (QStringList{"ana", "ana", "luis", "ana"}));
    EXPECT_EQ(columna(g, 5), (QStringList{"100.00", "1.00", "10.00", "20.00"}));
    EXPECT_EQ(columna(g, 6), (QStringList{"100.00", "7.25", "50.00", "0.00"}));
    EXPECT_EQ(columna(g, 7), (QStringList{"100.00", "7.25", "45.50", "0.00"}));
    EXPECT_EQ(columna(g, 8), (QStringList{"sin novedad", "", "faltante", "turno tarde"}));
    EXPECT_EQ(total(w), "152.75");

    // Mailed: the whole row light green. Short: expected and counted red,
    // the rest not. Equal to the cent (100.004 and 100): not red.
    for (int c = 1; c <= 8; ++c)
        EXPECT_EQ(g->cellBackColor(c, 1), kVerde) << c;
    EXPECT_EQ(g->cellBackColor(6, 3), kRojo);
    EXPECT_EQ(g->cellBackColor(7, 3), kRojo);
    EXPECT_NE(g->cellBackColor(5, 3), kRojo);
    EXPECT_NE(g->cellBackColor(8, 3), kRojo);
    for (int r : {2, 4})
        for (int c = 1; c <= 8; ++c) {
            EXPECT_NE(g->cellBackColor(c, r), kRojo);
            EXPECT_NE(g->cellBackColor(c, r), kVerde);
        }

    // States.
    w->findChild<QRadioButton *>("optAbierta")->setChecked(true);
    clic(w, 4);
    EXPECT_EQ(columna(g, 1), QStringList{"3"});
    EXPECT_EQ(total(w), "0.00");
    w->findChild<QRadioButton *>("optCerrada")->setChecked(true);
    clic(w, 4);
    EXPECT_EQ(columna(g, 1), (QStringList{"1", "5", "2"}));
    EXPECT_EQ(total(w), "152.75");

    // One user: without a code the list stays as it was.
    w->findChild<QRadioButton *>("Option3")->setChecked(true);
    w->findChild<QCheckBox *>("chkTodos")->setChecked(false);
    clic(w, 4);
    EXPECT_EQ(msg->textos(), QStringList{"Seleccione usuario."});
    EXPECT_EQ(columna(g, 1), (QStringList{"1", "5", "2"}));
    // The code as typed, in any letter case; an unknown one is emptied.
    escribir(mask(w, 18), "LUIS");
    clic(w, 4);
    EXPECT_EQ(columna(g, 1), QStringList{"2"});
    EXPECT_EQ(total(w), "45.50");
    msg->limpiar();
    escribir(mask(w, 18), "nadie");
    clic(w, 4);
    EXPECT_EQ(msg->textos(), QStringList{"Seleccione usuario."});
    // "Todos" ignores a filled code.
    escribir(mask(w, 18), "luis");
    w->findChild<QCheckBox *>("chkTodos")->setChecked(true);
    clic(w, 4);
    EXPECT_EQ(columna(g, 1), (QStringList{"1", "5", "2", "3"}));

    // Printing the active row's register, an open one included.
    g->setActiveCell(1, fila(g, "3"));
    btn(w, "cmdPrint")->click();
    auto *visor = Ventanas::existente<Frm_ViewerReport>();
    ASSERT_NE(visor, nullptr);

    // Nothing listed: every button says so and does nothing.
    fechas(w, QDate(2024, 1, 1), QDate(2024, 1, 2));
    clic(w, 4);
    EXPECT_EQ(g->MaxRows(), 0);
    EXPECT_EQ(total(w), "0.00");
    Ventanas::descargar(visor);
    procesarEventos();
    msg->limpiar();
    btn(w, "cmdPrint")->click();
    btn(w, "cmdAnulaCierre")->click();
    EXPECT_EQ(msg->textos(),
              (QStringList{"No hay una caja elegida en la lista.", "No hay una caja elegida en la lista."}));
    EXPECT_EQ(Ventanas::existente<Frm_ViewerReport>(), nullptr);
}

TEST_F(CierresCajaTest, AnularCierreDesdeLaLista)
{
    // Register 2 of luis took a sale and a reservation's deposit and balance.
    db().execute("INSERT INTO ventas (id, fecha, clientes_id, importe_total, importe_pagado, t_usuarios_codigo, "
                 "arqueo_id) VALUES (1, '2024-03-15 08:00:00', 1, 5, 5, 'luis', 2)");
    db().execute("INSERT INTO reservas (id, clientes_id, canchas_id, fecha, horarios_id, estado, importe_anticipo, "
                 "importe_total, importe_saldo, t_usuarios_codigo, arqueo_anticipo_id, arqueo_saldo_id) VALUES "
                 "(1, 1, 'C1', '2024-03-15', 'H1', 'COB', 10, 40, 30, 'luis', 2, 2)");
    db().execute("INSERT INTO caja_resumen_operaciones (caja_cabeza_id, caja_conceptos_id, operacion_id, importe) "
                 "VALUES (2, 'VEN', '1', 5)");
    db().execute("INSERT INTO caja_resumen_stock (caja_cabeza_id, producto_id) VALUES (2, 'P1')");
    // luis closed his register 4 of the next day too (the list shows today's).
    db().execute("UPDATE caja_cabeza SET fecha_hora_cierre = '2024-03-16 08:00:00' WHERE id = 4");
    const QString estampas =
        "SELECT (SELECT arqueo_id FROM ventas), (SELECT arqueo_anticipo_id FROM reservas), (SELECT arqueo_saldo_id "
        "FROM reservas), (SELECT count(*) FROM caja_resumen_operaciones), (SELECT count(*) FROM caja_resumen_stock)";
    auto *w = abrir();
    Grid *g = grilla(w);
    ASSERT_EQ(columna(g, 1), (QStringList{"2", "3"}));

    // An open register has no closing to cancel: told, no question.
    g->setActiveCell(1, 2);
    btn(w, "cmdAnulaCierre")->click();
    EXPECT_EQ(msg->textos(), QStringList{"La caja Nº 3 no está cerrada: no hay cierre que anular."});

    // "No" keeps everything.
    g->setActiveCell(1, 1);
    msg->limpiar();
    msg->responder(vb::No);
    btn(w, "cmdAnulaCierre")->click();
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().prompt, "Se anulará el cierre de caja.\r\n¿Desea continuar?");
    EXPECT_EQ(msg->ultimo().estilo, vb::YesNo + vb::Question);
    EXPECT_EQ(filas(estampas), "2|2|2|1|1");

    // A failure half-way leaves the closing whole.
    hacerFallar("caja_cabeza", "bloqueada", "1 = 1", {}, "UPDATE");
    msg->limpiar();
    btn(w, "cmdAnulaCierre")->click();
    ASSERT_EQ(msg->mostrados().size(), 2u);
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: ")) << msg->ultimo().prompt.toStdString();
    EXPECT_EQ(filas(estampas), "2|2|2|1|1");
    EXPECT_EQ(g->text(3, 1), "15/03/2024 09:00:00");
    quitarFalla("caja_cabeza");

    // While luis has another register open, reopening 2 beside it would give
    // him two: refused before the question, told, nothing written; the data
    // module refuses it as well.
    db().execute("UPDATE caja_cabeza SET fecha_hora_cierre = NULL WHERE id = 4");
    msg->limpiar();
    btn(w, "cmdAnulaCierre")->click();
    EXPECT_EQ(
        msg->textos(),
        QStringList{"El usuario 'luis' posee la caja Nº 4 abierta.\r\nDebe cerrarla antes de anular este cierre."});
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    EXPECT_THROW(
        {
            Transaccion t(db());
            db_caja_cabeza().anulaCierre("2");
        },
        DbError);
    EXPECT_EQ(filas(estampas), "2|2|2|1|1");
    EXPECT_EQ(contar("SELECT count(*) FROM caja_cabeza WHERE fecha_hora_cierre IS NULL"), 2); // 3 and 4
    db().execute("UPDATE caja_cabeza SET fecha_hora_cierre = '2024-03-16 08:00:00' WHERE id = 4");

    // "Yes": stamps and summaries gone, the register open again, and the
    // list shows it at once, still on that row.
    msg->limpiar();
    btn(w, "cmdAnulaCierre")->click();
    EXPECT_EQ(filas(estampas), "null|null|null|0|0");
    EXPECT_EQ(
        filas("SELECT fecha_hora_cierre, importe_cierre_real, importe_cierre_teorico FROM caja_cabeza WHERE id = 2"),
        "null|0|50");
    EXPECT_EQ(columna(g, 3), (QStringList{"", ""}));
    EXPECT_EQ(columna(g, 7), (QStringList{"0.00", "0.00"}));
    EXPECT_EQ(g->ActiveRow(), 1);
    EXPECT_EQ(total(w), "0.00");
    // Now it is open: a second cancellation is refused.
    msg->limpiar();
    btn(w, "cmdAnulaCierre")->click();
    EXPECT_EQ(msg->textos(), QStringList{"La caja Nº 2 no está cerrada: no hay cierre que anular."});
}

} // namespace
