#include "AyudaVentas.h"

#include "Frm_L_MovimientosStock.h"
#include "Frm_M_Stock.h"
#include "Frm_M_StockAnexo.h"
#include "Frm_T_ExistArticulos.h"
#include "Frm_T_ExistArticulosAnexo.h"

#include "platform/Escritorio.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>

using namespace ayuda;

namespace {

class StockTest : public VentasBase {
protected:
    Frm_M_Stock *abrirMovimiento()
    {
        EXPECT_TRUE(Aperturas::abrir("mnu_mstock"));
        procesarEventos();
        return Ventanas::existente<Frm_M_Stock>();
    }
    // "Agregar" opens the line dialog, left open for the test.
    Frm_M_StockAnexo *dialogo(Frm_M_Stock *m)
    {
        clic(m, 2);
        return Ventanas::existente<Frm_M_StockAnexo>();
    }
    void linea(Frm_M_StockAnexo *d, const QString &codigo, const QString &cantidad)
    {
        escribir(caja(d, "txtArt"), codigo);
        escribir(caja(d, "mskCantidad"), cantidad);
        clic(d, 1);
    }
    void guardar(Frm_M_Stock *m, const QString &tipo)
    {
        m->findChild<QComboBox *>("Combo")->setCurrentText(tipo);
        clic(m, 1);
    }
    QString movimientos()
    {
        return filas("SELECT tipo, productos_id, cantidad, ventas_id, fecha, comentarios, t_usuarios_codigo "
                     "FROM movimientos_stock ORDER BY id",
                     {}, ":");
    }
};

TEST_F(StockTest, IngresoEgresoLineasYChequeos)
{
    abrirCaja();
    auto *m = abrirMovimiento();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->windowTitle(), "Movimientos de Stock");
    EXPECT_TRUE(msg->vacio());

    // Neither a type nor a line: both messages, nothing written.
    m->findChild<QComboBox *>("Combo")->setCurrentIndex(-1);
    clic(m, 1);
    EXPECT_EQ(msg->textos(), (QStringList{"Debe seleccionar el tipo de movimiento", "No hay movimientos cargados."}));

    // The line dialog's checks, in order.
    auto *d = dialogo(m);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Movimientos de Stock - Anexo");
    msg->limpiar();
    linea(d, "", "3");
    linea(d, "P1", "");
    linea(d, "P1", "0");
    EXPECT_EQ(caja(d, "txtArt")->text(), "P1");
    linea(d, "P1", "-2");
    EXPECT_EQ(caja(d, "mskCantidad")->text(), "-2"); // kept to be corrected
    linea(d, "P1", "tres");
    EXPECT_EQ(msg->textos(), (QStringList{"Debe ingresar el Artículo", "Debe ingresar la Cantidad",
                                          "Debe ingresar un número mayor a 0", "Debe ingresar un número mayor a 0",
                                          "Debe ingresar un número válido"}));
    EXPECT_TRUE(caja(d, "txtArt")->text().isEmpty());
    EXPECT_TRUE(caja(d, "mskCantidad")->text().isEmpty());
    EXPECT_EQ(grilla(m)->MaxRows(), 0);

    // Inactive products may be moved; the code ignores letter case; a big
    // quantity is shown grouped.
    linea(d, "p1", "3");
    linea(d, "X1", "1500");
    linea(d, "P1", "2");
    d->descargar();
    procesarEventos();
    EXPECT_EQ(columna(grilla(m), 2), (QStringList{"P1", "X1", "P1"}));
    EXPECT_EQ(columna(grilla(m), 3), (QStringList{"Pelota Tenis", "Agua vieja 500", "Pelota Tenis"}));
    EXPECT_EQ(columna(grilla(m), 4), (QStringList{"3.00", "1,500.00", "2.00"}));

    // The button of a line changes its quantity with the same checks; the
    // product stays locked.
    modal->guion([&](QDialog *dlg) {
        EXPECT_FALSE(caja(dlg, "txtArt")->isEnabled());
        EXPECT_EQ(caja(dlg, "mskCantidad")->text(), "1,500.00");
        msg->limpiar();
        escribir(caja(dlg, "mskCantidad"), "0");
        clic(dlg, 1);
        EXPECT_EQ(msg->textos(), QStringList{"Debe ingresar un número mayor a 0"});
        escribir(caja(dlg, "mskCantidad"), "1,600");
        clic(dlg, 1);
    });
    clicCelda(grilla(m), 1, 2);
    procesarEventos();
    EXPECT_EQ(columna(grilla(m), 4), (QStringList{"3.00", "1,600.00", "2.00"}));

    // "Ingreso": one row per line, two of the same product; the stock rises.
    msg->limpiar();
    escribir(caja(m, "txtObsv"), "entrega 'del' proveedor");
    guardar(m, "Ingreso");
    EXPECT_EQ(msg->textos(), QStringList{"Se ha grabado el movimiento de Stock correctamente."});
    EXPECT_EQ(movimientos(), "Ingreso:P1:3:null:2024-03-15 10:30:00:entrega 'del' proveedor:ana "
                             "Ingreso:X1:1600:null:2024-03-15 10:30:00:entrega 'del' proveedor:ana "
                             "Ingreso:P1:2:null:2024-03-15 10:30:00:entrega 'del' proveedor:ana");
    EXPECT_EQ(valor("SELECT existencia FROM productos WHERE id = 'P1'"), "6");
    EXPECT_EQ(valor("SELECT existencia FROM productos WHERE id = 'X1'"), "1605");
    EXPECT_EQ(grilla(m)->MaxRows(), 0);
    EXPECT_TRUE(caja(m, "txtObsv")->text().isEmpty());
    EXPECT_EQ(m->findChild<QComboBox *>("Combo")->currentText(), "Ingreso");

    // "Egreso" is stored negative and may leave the stock below zero.
    d = dialogo(m);
    linea(d, "G1", "3");
    linea(d, "A5", "55");
    d->descargar();
    procesarEventos();
    guardar(m, "Egreso");
    EXPECT_EQ(filas("SELECT cantidad FROM movimientos_stock WHERE tipo = 'Egreso' ORDER BY id"), "-3 -55");
    EXPECT_EQ(valor("SELECT existencia FROM productos WHERE id = 'G1'"), "7");
    EXPECT_EQ(valor("SELECT existencia FROM productos WHERE id = 'A5'"), "-5");

    // "Eliminar" takes out the active line; with none it says so.
    d = dialogo(m);
    linea(d, "G1", "1");
    linea(d, "A5", "1");
    d->descargar();
    procesarEventos();
    grilla(m)->setActiveCell(2, 1);
    clic(m, 3);
    EXPECT_EQ(columna(grilla(m), 2), QStringList{"A5"});
    clic(m, 3);
    msg->limpiar();
    clic(m, 3);
    EXPECT_EQ(msg->textos(), QStringList{"No hay productos cargados en la grilla."});
}

TEST_F(StockTest, FallaEnLaSegundaLineaNoDejaNadaYSinCajaNoSeGuarda)
{
    abrirCaja();
    auto *m = abrirMovimiento();
    auto *d = dialogo(m);
    linea(d, "P1", "3");
    linea(d, "G1", "2");
    d->descargar();
    procesarEventos();
    hacerFallar("productos", "disco roto", "OLD.id = 'G1'", {}, "UPDATE");
    const QString antes = huella();
    guardar(m, "Ingreso");
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().icono(), vb::Critical);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: "));
    EXPECT_EQ(huella(), antes);
    EXPECT_EQ(grilla(m)->MaxRows(), 2); // kept for another attempt
    quitarFalla("productos");

    // Without an open register of the user: told once, saving disabled,
    // lines still added and removed.
    descargarTodo();
    db().execute("UPDATE caja_cabeza SET t_usuarios_codigo = 'luis'");
    msg->limpiar();
    m = abrirMovimiento();
    EXPECT_EQ(msg->textos(), QStringList{"Deberá iniciar una caja con su usuario para poder registrar ventas."});
    EXPECT_FALSE(boton(m, 1)->isEnabled());
    d = dialogo(m);
    linea(d, "P1", "1");
    d->descargar();
    procesarEventos();
    EXPECT_EQ(grilla(m)->MaxRows(), 1);
    clic(m, 3);
    EXPECT_EQ(grilla(m)->MaxRows(), 0);
}

TEST_F(StockTest, ListadoDeMovimientosYExistencias)
{
    db().execute("INSERT INTO movimientos_stock (tipo, fecha, productos_id, ventas_id, cantidad, comentarios, "
                 "t_usuarios_codigo) VALUES "
                 "('Egreso', '2024-03-14 23:59:30', 'P1', 7, -2, 'mesa 4', 'ana'), "
                 "('Ingreso', '2024-03-13 09:00:00', 'ZZ', NULL, 5, 'borrado', 'luis'), "
                 "('Ingreso', '2024-03-14 08:00:00', 'A5', NULL, 1500, 'entrega', 'ana'), "
                 "('Egreso', '2024-03-15 00:00:00', 'G1', NULL, -1, 'rotura', 'ana'), "
                 "('Egreso', '2024-03-12 23:59:59', 'G1', NULL, -1, 'antes', 'ana')");
    EXPECT_TRUE(Aperturas::abrir("mnu_MovimientosStock"));
    procesarEventos();
    auto *l = Ventanas::existente<Frm_L_MovimientosStock>();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->windowTitle(), "Movimientos stock");
    Grid *g = grilla(l);
    EXPECT_EQ(g->text(5, 0), "Origen movimiento");
    EXPECT_EQ(columna(g, 2), QStringList{"15/03/2024 00:00:00"}); // today's only

    l->findChild<QDateEdit *>("fDesde")->setDate(QDate(2024, 3, 13));
    l->findChild<QDateEdit *>("fHasta")->setDate(QDate(2024, 3, 14));
    l->findChild<QPushButton *>("cmdActualiza")->click();
    ASSERT_EQ(g->MaxRows(), 3);
    EXPECT_EQ(columna(g, 2), (QStringList{"13/03/2024 09:00:00", "14/03/2024 08:00:00", "14/03/2024 23:59:30"}));
    EXPECT_EQ(columna(g, 3), (QStringList{"ZZ", "A5", "P1"}));
    EXPECT_EQ(columna(g, 4), (QStringList{"", "Agua mineral 500", "Pelota Tenis"}));
    EXPECT_EQ(columna(g, 5), (QStringList{"manual", "manual", "venta"}));
    EXPECT_EQ(columna(g, 6), (QStringList{"", "", "7"}));
    EXPECT_EQ(columna(g, 7), (QStringList{"5.00", "1,500.00", "-2.00"}));
    EXPECT_EQ(columna(g, 8), (QStringList{"luis", "ana", "ana"}));
    EXPECT_EQ(columna(g, 9), (QStringList{"borrado", "entrega", "mesa 4"}));

    // The export writes the listing as it is shown and opens it.
    EscritorioDePrueba escritorio;
    l->findChild<QPushButton *>("toExcel")->click();
    ASSERT_EQ(escritorio.abiertas().size(), 1);
    EXPECT_TRUE(escritorio.abiertas()[0].toLocalFile().endsWith(".xlsx"));

    // A period that ends before it starts lists nothing, silently; its
    // export says there is nothing to export.
    l->findChild<QDateEdit *>("fDesde")->setDate(QDate(2024, 3, 15));
    l->findChild<QPushButton *>("cmdActualiza")->click();
    EXPECT_EQ(g->MaxRows(), 0);
    EXPECT_TRUE(msg->vacio());
    l->findChild<QPushButton *>("toExcel")->click();
    EXPECT_EQ(msg->textos(),
              QStringList{"No hay datos para exportar a excel. Se ha indicado 0 en el parámetro Filas "});
    msg->limpiar();

    // Stock on hand: active products only, in Spanish order, negative
    // stock shown as it is.
    db().execute("UPDATE productos SET existencia = -3 WHERE id = 'G1'");
    EXPECT_TRUE(Aperturas::abrir("mnu_ExistenciaArticulos"));
    procesarEventos();
    auto *e = Ventanas::existente<Frm_T_ExistArticulos>();
    ASSERT_NE(e, nullptr);
    g = grilla(e);
    EXPECT_EQ(columna(g, 1), (QStringList{"A15", "A5", "G1", "K1", "P1"}));
    EXPECT_EQ(columna(g, 3), (QStringList{"30.00", "50.00", "-3.00", "2.00", "1.00"}));

    // The search selects the first row starting with the texts; an unknown
    // code changes nothing.
    modal->guion([&](QDialog *dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Existencia de Artículos - Anexo");
        escribir(caja(dlg, "mskCodigo"), "A");
        escribir(caja(dlg, "mskDesc"), "Agua mineral 5");
        dlg->findChild<QPushButton *>("btnAceptar")->click();
    });
    e->findChild<QPushButton *>("btnBuscar")->click();
    EXPECT_EQ(g->selectedRow(), 2);
    modal->guion([&](QDialog *dlg) {
        escribir(caja(dlg, "mskCodigo"), "Q");
        dlg->findChild<QPushButton *>("btnAceptar")->click();
    });
    e->findChild<QPushButton *>("btnBuscar")->click();
    EXPECT_EQ(g->selectedRow(), 2);
    EXPECT_TRUE(msg->vacio());

    // Printing asks first; "No" prints nothing and says nothing more.
    msg->responder(vb::No);
    e->findChild<QPushButton *>("btnPrint")->click();
    EXPECT_EQ(msg->textos(), QStringList{"Se imprimirá la grilla.\n¿Desea continuar?"});

    // "Actualizar" reads the stock again.
    db().execute("UPDATE productos SET activo = 0 WHERE id = 'A15'");
    e->findChild<QPushButton *>("cmdActualizar")->click();
    EXPECT_EQ(columna(g, 1), (QStringList{"A5", "G1", "K1", "P1"}));
}

} // namespace
