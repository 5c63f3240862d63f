#pragma once
// Shared steps of the sale tests: a club with products, a user with an open
// register, and lines added through the line dialog as a user would.
#include "support/Entorno.h"

#include "Frm_T_AltaVentas.h"
#include "Frm_T_AltaVentasAnexo.h"
#include "RegistroVentas.h"
#include "dbVentas.h"
#include "platform/Aperturas.h"
#include "platform/DataCombo.h"
#include "reservations/AyudaListas.h"

class VentasBase : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        gUsuarioActual = "ana";
        db().execute("INSERT INTO t_configuraciones (codigo, descripcion, valor) VALUES "
                     "('DEFAULT_CLIENTE_VENTAS', '', '1')");
        db().execute("INSERT INTO clientes (id, nombre) VALUES (2, 'Ana Pérez')");
        db().execute("INSERT INTO productos (id, descripcion, precio_compra, precio_venta, existencia, activo) VALUES "
                     "('P1', 'Pelota Tenis', 10, 20, 1, 1), ('A5', 'Agua mineral 500', 0.5, 1.25, 50, 1), "
                     "('A15', 'Agua mineral 1500', 0.9, 2.5, 30, 1), ('G1', 'Gaseosa 500', 1, 2, 10, 1), "
                     "('X1', 'Agua vieja 500', 1, 1, 5, 0), ('K1', 'Kit raqueta', 900, 1234.5, 2, 1)");
        registrarVentanasVentas();
    }
    void abrirCaja(const QString &usuario = "ana")
    {
        db().execute("INSERT INTO caja_cabeza (id, fecha_hora_apertura, t_usuarios_codigo) VALUES "
                     "(1, '2024-03-15 08:00:00', ?)",
                     {usuario});
    }
    Frm_T_AltaVentas *abrirVenta()
    {
        EXPECT_TRUE(Aperturas::abrir("mnu_VentasAlta"));
        procesarEventos();
        return Ventanas::existente<Frm_T_AltaVentas>();
    }
    QLineEdit *caja(QWidget *w, const char *nombre) { return ayuda::caja(w, nombre); }
    // Opens the line dialog with "Agregar" (left open for the test).
    Frm_T_AltaVentasAnexo *dialogoLineas(Frm_T_AltaVentas *v)
    {
        ayuda::clic(v, 0);
        return Ventanas::existente<Frm_T_AltaVentasAnexo>();
    }
    // Chooses a product by code, types the quantity and accepts.
    void linea(Frm_T_AltaVentasAnexo *d, const QString &codigo, const QString &cantidad)
    {
        ayuda::escribir(caja(d, "txtProducto"), codigo);
        ayuda::escribir(caja(d, "mskCantidad"), cantidad);
        ayuda::clic(d, 0);
    }
    // Counts of the sale's four tables and the stock, as one text.
    QString huella()
    {
        return valor(
            "SELECT (SELECT count(*) FROM ventas) || '/' || (SELECT count(*) FROM ventas_items) || '/' || "
            "(SELECT count(*) FROM movimientos_stock) || '/' || "
            "(SELECT group_concat(id || '=' || existencia, ',') FROM (SELECT * FROM productos ORDER BY id) AS p)");
    }
};
