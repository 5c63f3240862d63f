// Numbers as people type them: one table of typed texts tried in every box
// and cell of the windows where an amount or a quantity is typed, through
// the real widgets (typed key by key, the box left, the real buttons
// pressed). A number is kept in cents as it is shown; a text that is no
// number is refused with the window's not-a-number message, never read as
// another number.
#include "reservations/AyudaReservas.h"

#include "Frm_M_CajaArqueo.h"
#include "Frm_M_MovimientosCaja.h"
#include "Frm_M_Stock.h"
#include "Frm_M_StockAnexo.h"
#include "Frm_S_Configuraciones.h"
#include "Frm_T_AltaVentas.h"
#include "Frm_T_AltaVentasAnexo.h"
#include "Frm_T_Productos.h"
#include "Frm_T_ProductosAnexo.h"
#include "Frm_T_ValoresCanchas.h"
#include "RegistroCaja.h"
#include "RegistroConfiguraciones.h"
#include "RegistroVentas.h"
#include "db_caja_cabeza.h"
#include "reservations/AyudaListas.h"

#include <QSignalSpy>
#include <optional>

namespace {

using Valor = std::optional<double>;

// One typed text, the number it is kept as (none: no number) and how that
// number is shown.
struct Caso {
    const char *tecleado;
    Valor valor;
    const char *mostrado;
};

const Caso kCasos[] = {
    {"0.125", 0.13, "0.13"}, // kept in cents, half away from zero
    {"1.005", 1.01, "1.01"}, // the decimal half, though its double lies below it
    {".5", 0.5, "0.50"},         {"2.", 2, "2.00"},    {"1,234.5", 1234.5, "1,234.50"},
    {"1,500", 1500, "1,500.00"}, // "," groups thousands
    {"1,5", {}, nullptr},        // decimals written with a comma: not 15
    {"1,23", {}, nullptr},       {"abc", {}, nullptr}, {"1e309", {}, nullptr},
    {"1.2.3", {}, nullptr},      {"inf", {}, nullptr}, {"nan", {}, nullptr},
};

// What the weeks box (digits only, at most 520) shows for typed texts.
const std::pair<const char *, const char *> kSemanas[] = {
    {"0.125", "0125"}, {".5", "5"},     {"2.", "2"},      {"1,234.5", "123"}, {"abc", ""},
    {"1e309", "130"},  {"1,23", "123"}, {"1.2.3", "123"}, {"inf", ""},        {"nan", ""},
};

// What a try left: the messages shown, whether the value was taken, the
// value stored (when the window stores one) and the text shown (the box
// once left, or the grid cell the value went to).
struct Resultado {
    QStringList mensajes;
    bool aceptado = false;
    Valor guardado;
    QString mostrado;
};

struct Caja {
    const char *nombre;
    QString noEsNumero; // part of the window's not-a-number message
    bool muestra;       // the value taken is shown in the amount format
    bool guarda;        // the value is stored (the payment is not)
    bool quedaTecleado; // a refused text stays in the box or cell as typed
    double tope;        // a larger number is refused with the same message
    std::function<Resultado(const QString &)> probar;
};

constexpr double kSinTope = 1e15;

class NumerosTecleados : public ReservasVentanas {
protected:
    void SetUp() override
    {
        ReservasVentanas::SetUp();
        instalarPlantillas();
        db().execute("INSERT INTO t_usuarios (Codigo, Descripcion) VALUES ('ana', 'Ana'), ('luis', 'Luis')");
        db().execute("INSERT INTO caja_conceptos (id, descripcion) VALUES ('BAR', 'Bar')");
        db().execute("INSERT INTO productos (id, descripcion, precio_compra, precio_venta, existencia, activo) "
                     "VALUES ('P1', 'Pelota', 10, 20, 100, 1), ('P0', 'Caramelo', 0, 0.01, 100, 1)");
        db().execute("INSERT INTO caja_cabeza (id, fecha_hora_apertura, importe_inicial, t_usuarios_codigo) "
                     "VALUES (1, '2024-03-15 08:00:00', 0, 'ana')");
        db().execute("UPDATE t_numeradores SET numero_siguiente = 2 WHERE id = 'CJA'");
        db().execute("UPDATE valores_canchas SET importe = 100000 WHERE canchas_id = 'C1' AND horarios_codigo = 'H18'");
        ajuste("CAN_MOD_PRECIO_VENTAS", "1");
        ajuste("DEFAULT_CLIENTE_VENTAS", "1");
        registrarVentanasVentas();
        registrarVentanaConfiguraciones();
        registrarVentanasCaja();
    }
    void TearDown() override
    {
        descargarTodo();
        ReservasVentanas::TearDown();
    }

    // The user types into a box key by key, replacing its text.
    static void teclear(QLineEdit *e, const QString &texto)
    {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, texto);
    }
    // The user leaves a box.
    static void salir(QLineEdit *e)
    {
        QFocusEvent fuera(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(e, &fuera);
    }
    static void pulsar(QWidget *w, const char *boton)
    {
        QTest::mouseClick(w->findChild<QPushButton *>(boton), Qt::LeftButton);
    }
    // The user edits a grid cell with its real editor and presses Enter.
    static void editarCelda(Grid *g, int col, int fila, const QString &texto)
    {
        QSignalSpy editado(g, &Grid::editado);
        g->setActiveCell(col, fila);
        raton::tecla(g, Qt::Key_F2);
        QLineEdit *e = raton::editor(g);
        ASSERT_NE(e, nullptr);
        e->selectAll();
        QTest::keyClicks(e, texto);
        QTest::keyClick(e, Qt::Key_Return);
        if (editado.isEmpty())
            editado.wait(1000);
    }
    Valor numeroDe(const QString &sql)
    {
        const QString v = valor(sql);
        return v.isEmpty() ? Valor{} : Valor{v.toDouble()};
    }
    Resultado fin(Resultado r)
    {
        r.mensajes = msg->textos();
        msg->limpiar();
        descargarTodo();
        return r;
    }

    // A window opened from its menu item.
    template <class T> T *abrirMenu(const char *item)
    {
        EXPECT_TRUE(Aperturas::abrir(item));
        procesarEventos();
        return Ventanas::existente<T>();
    }
    // The sale window with its line dialog left open.
    std::pair<Frm_T_AltaVentas *, Frm_T_AltaVentasAnexo *> venta()
    {
        auto *v = abrirMenu<Frm_T_AltaVentas>("mnu_VentasAlta");
        pulsar(v, "Command_0");
        auto *d = Ventanas::existente<Frm_T_AltaVentasAnexo>();
        ayuda::escribir(ayuda::caja(d, "txtProducto"), "P1");
        return {v, d};
    }
    Valor guardarVenta(Frm_T_AltaVentas *v, const char *columna)
    {
        const int antes = contar("SELECT count(*) FROM ventas");
        pulsar(v, "cmdGuarda");
        if (contar("SELECT count(*) FROM ventas") == antes)
            return {};
        return numeroDe(
            QStringLiteral("SELECT %1 FROM ventas_items WHERE ventas_id = (SELECT max(id) FROM ventas)").arg(columna));
    }
    // A line typed in the sale-line dialog (quantity or price), then the sale saved.
    Resultado lineaDeVenta(const QString &cantidad, const QString &precio, int col, const char *columna)
    {
        auto [v, d] = venta();
        for (auto [nombre, texto] : {std::pair{"mskCantidad", cantidad}, std::pair{"mskPVP", precio}}) {
            QLineEdit *e = ayuda::caja(d, nombre);
            teclear(e, texto);
            salir(e);
        }
        pulsar(d, "Command_0");
        Resultado r;
        Grid *g = ayuda::grilla(v);
        r.aceptado = g->MaxRows() == 1;
        if (r.aceptado) {
            r.mostrado = g->text(col, 1);
            d->close();
            r.guardado = guardarVenta(v, columna);
        }
        return fin(r);
    }
    // A cell of the sale's line edited in the grid, then the sale saved.
    Resultado celdaDeVenta(const QString &texto, int col, const char *columna)
    {
        auto [v, d] = venta();
        ayuda::escribir(ayuda::caja(d, "mskCantidad"), "1");
        pulsar(d, "Command_0");
        d->close();
        Grid *g = ayuda::grilla(v);
        const QString antes = g->text(col, 1);
        editarCelda(g, col, 1, texto);
        Resultado r;
        r.mostrado = g->text(col, 1);
        r.aceptado = r.mostrado != antes;
        if (r.aceptado)
            r.guardado = guardarVenta(v, columna);
        return fin(r);
    }
    // The payment of a sale of 0.01, typed and left, then "Guardar".
    Resultado pago(const QString &texto)
    {
        auto [v, d] = venta();
        ayuda::escribir(ayuda::caja(d, "txtProducto"), "P0");
        ayuda::escribir(ayuda::caja(d, "mskCantidad"), "1");
        pulsar(d, "Command_0");
        d->close();
        QLineEdit *e = ayuda::caja(v, "fpPago");
        teclear(e, texto);
        salir(e);
        Resultado r;
        r.mostrado = e->text();
        const int antes = contar("SELECT count(*) FROM ventas");
        pulsar(v, "cmdGuarda");
        r.aceptado = contar("SELECT count(*) FROM ventas") > antes;
        return fin(r);
    }
    // A stock line typed in the line dialog, then the movement saved.
    Resultado lineaDeStock(const QString &texto)
    {
        QWidget *w = abrirMenu<Frm_M_Stock>("mnu_mstock");
        pulsar(w, "Command_2");
        QDialog *d = Ventanas::existente<Frm_M_StockAnexo>();
        ayuda::escribir(ayuda::caja(d, "txtArt"), "P1");
        QLineEdit *e = ayuda::caja(d, "mskCantidad");
        teclear(e, texto);
        salir(e);
        pulsar(d, "Command_1");
        Resultado r;
        Grid *g = ayuda::grilla(w);
        r.aceptado = g->MaxRows() == 1;
        if (r.aceptado) {
            r.mostrado = g->text(4, 1);
            d->close();
            pulsar(w, "Command_1");
            r.guardado = numeroDe("SELECT cantidad FROM movimientos_stock WHERE ventas_id IS NULL ORDER BY id DESC "
                                  "LIMIT 1");
        }
        return fin(r);
    }
    // Opening (op 0, by luis), income (1) or withdrawal (2) with the amount typed.
    Resultado movimiento(int op, const QString &texto)
    {
        gUsuarioActual = op == 0 ? "luis" : "ana";
        const int antes = contar("SELECT count(*) FROM caja_movimientos");
        Resultado r;
        modal->guion([&](QDialog *d) {
            if (op != 0)
                ayuda::escribir(ayuda::caja(d, "MaskEd_18"), "BAR");
            QLineEdit *e = ayuda::caja(d, "MaskEd_0");
            teclear(e, texto);
            salir(e);
            r.mostrado = e->text();
            pulsar(d, "Command_2");
        });
        Frm_M_MovimientosCaja::abrir(op);
        procesarEventos();
        r.aceptado = contar("SELECT count(*) FROM caja_movimientos") > antes;
        if (r.aceptado) {
            r.guardado = numeroDe(op == 0 ? "SELECT importe_inicial FROM caja_cabeza WHERE t_usuarios_codigo = 'luis'"
                                          : "SELECT abs(importe) FROM caja_movimientos ORDER BY id DESC LIMIT 1");
            db().execute("DELETE FROM caja_movimientos WHERE t_usuarios_codigo = 'luis'");
            db().execute("DELETE FROM caja_cabeza WHERE t_usuarios_codigo = 'luis'");
        }
        gUsuarioActual = "ana";
        return fin(r);
    }
    // The counted amount typed and left, then the closing ("Guardar"),
    // cancelled afterwards so that the register is open for the next try.
    Resultado arqueo(const QString &texto)
    {
        QWidget *w = abrirMenu<Frm_M_CajaArqueo>("mnu_CajaArqueo");
        QLineEdit *e = ayuda::caja(w, "fpImpReal");
        teclear(e, texto);
        salir(e);
        Resultado r;
        r.mostrado = e->text();
        pulsar(w, "Command_9");
        r.guardado = numeroDe("SELECT importe_cierre_real FROM caja_cabeza WHERE id = 1 AND fecha_hora_cierre IS NOT "
                              "NULL");
        r.aceptado = r.guardado.has_value();
        if (r.aceptado) {
            Transaccion t(db());
            db_caja_cabeza().anulaCierre("1");
            t.commit();
        }
        return fin(r);
    }
    // A new booking of Wednesday 18:00 with the total or the deposit typed.
    Resultado reserva(const char *nombre, const QString &texto)
    {
        abrirAgenda();
        Resultado r;
        modal->guion([&](QDialog *d) {
            QLineEdit *e = caja(d, nombre);
            teclear(e, texto);
            salir(e);
            r.mostrado = e->text();
            pulsar(d, "cmdAcepta");
        });
        raton::dobleClic(semana(), dia(3), 3);
        const char *columna = QByteArray(nombre) == "fpTotal" ? "importe_total" : "importe_anticipo";
        r.guardado = numeroDe(QStringLiteral("SELECT %1 FROM reservas").arg(columna));
        r.aceptado = r.guardado.has_value();
        db().execute("DELETE FROM reservas");
        return fin(r);
    }
    // A price of the court's price table edited in its cell, then saved.
    Resultado precioCancha(const QString &texto)
    {
        QWidget *w = abrirMenu<Frm_T_ValoresCanchas>("mnu_canchasvalores");
        ayuda::escribir(ayuda::caja(w, "txtCancha"), "C1");
        pulsar(w, "cmdActualizar");
        Grid *g = ayuda::grilla(w);
        const QString horario = g->text(1, 1);
        editarCelda(g, 3, 1, texto);
        Resultado r;
        r.mostrado = g->text(3, 1);
        pulsar(w, "cmdGuarda");
        r.aceptado = msg->textos().contains("Se han realizado los cambios");
        if (r.aceptado)
            r.guardado = numeroDe(
                QStringLiteral("SELECT importe FROM valores_canchas WHERE canchas_id = 'C1' AND horarios_codigo = '%1'")
                    .arg(horario));
        db().execute("UPDATE valores_canchas SET importe = 100000 WHERE canchas_id = 'C1' AND horarios_codigo = 'H18'");
        return fin(r);
    }
    // A new product with its purchase (kPrecioCompra) or sale price typed;
    // a price taken is shown by the list.
    static constexpr int kPrecioCompra = 4;
    Resultado producto(int col, const QString &texto)
    {
        QWidget *l = abrirMenu<Frm_T_Productos>("mnu_productos");
        pulsar(l, "Command_0");
        QDialog *d = Ventanas::existente<Frm_T_ProductosAnexo>();
        ayuda::escribir(ayuda::caja(d, "mskCodigo"), "N1");
        ayuda::escribir(ayuda::caja(d, "mskDescrip"), "Nuevo");
        QLineEdit *e = ayuda::caja(d, col == kPrecioCompra ? "mskPrecioDC" : "mskPrecioDV");
        ayuda::escribir(ayuda::caja(d, col == kPrecioCompra ? "mskPrecioDV" : "mskPrecioDC"), "1");
        teclear(e, texto);
        salir(e);
        Resultado r;
        r.mostrado = e->text();
        pulsar(d, "Command_0");
        r.guardado = numeroDe(QStringLiteral("SELECT %1 FROM productos WHERE id = 'N1'")
                                  .arg(col == kPrecioCompra ? "precio_compra" : "precio_venta"));
        r.aceptado = r.guardado.has_value();
        if (r.aceptado) {
            Grid *g = ayuda::grilla(l);
            for (int f = 1; f <= g->MaxRows(); ++f)
                if (g->text(2, f) == "N1")
                    r.mostrado = g->text(col, f);
            db().execute("DELETE FROM productos WHERE id = 'N1'");
        }
        return fin(r);
    }
    // The minimum percentage of the options typed and left, then "Aceptar".
    Resultado porcentaje(const QString &texto)
    {
        abrirMenu<Frm_S_Configuraciones>("mnu_Opciones");
        QDialog *d = Ventanas::existente<Frm_S_Configuraciones>();
        QLineEdit *e = ayuda::caja(d, "fpMinimoRes");
        teclear(e, texto);
        salir(e);
        pulsar(d, "cmdOk");
        procesarEventos();
        Resultado r;
        r.aceptado = Ventanas::existente<Frm_S_Configuraciones>() == nullptr;
        if (r.aceptado)
            r.guardado = numeroDe("SELECT valor FROM t_configuraciones WHERE codigo = 'PORC_MINIMO_RESERVAS'");
        else
            r.mostrado = e->text();
        db().execute("DELETE FROM t_configuraciones WHERE codigo = 'PORC_MINIMO_RESERVAS'");
        return fin(r);
    }
};

TEST_F(NumerosTecleados, CadaCajaYCeldaDeImportesOCantidadesLeeLoQueSeTecleaOAvisaQueNoEsUnNumero)
{
    const QString importeInvalido = "El importe no es un número válido.";
    const QString cantidadInvalida = "Debe ingresar un número válido";
    const std::vector<Caja> cajas{
        {"Venta: cantidad de la línea", cantidadInvalida, true, true, false, kSinTope,
         [&](const QString &t) { return lineaDeVenta(t, "20", 3, "cantidad"); }},
        {"Venta: precio de la línea", "Debe ingresar un numero válido", true, true, false, kSinTope,
         [&](const QString &t) { return lineaDeVenta("1", t, 4, "precio_unitario"); }},
        {"Venta: cantidad en la grilla", cantidadInvalida, true, true, false, kSinTope,
         [&](const QString &t) { return celdaDeVenta(t, 3, "cantidad"); }},
        {"Venta: precio en la grilla", cantidadInvalida, true, true, false, kSinTope,
         [&](const QString &t) { return celdaDeVenta(t, 4, "precio_unitario"); }},
        {"Venta: pago", cantidadInvalida, true, false, true, kSinTope, [&](const QString &t) { return pago(t); }},
        {"Stock: cantidad", cantidadInvalida, true, true, false, kSinTope,
         [&](const QString &t) { return lineaDeStock(t); }},
        {"Caja: apertura", importeInvalido, true, true, true, kSinTope,
         [&](const QString &t) { return movimiento(0, t); }},
        {"Caja: ingreso", importeInvalido, true, true, true, kSinTope,
         [&](const QString &t) { return movimiento(1, t); }},
        {"Caja: extracción", importeInvalido, true, true, true, kSinTope,
         [&](const QString &t) { return movimiento(2, t); }},
        {"Arqueo: cantidad real", importeInvalido, true, true, true, kSinTope,
         [&](const QString &t) { return arqueo(t); }},
        {"Reserva: total", "El importe de TOTAL no es válido", true, true, true, kSinTope,
         [&](const QString &t) { return reserva("fpTotal", t); }},
        {"Reserva: seña", "El importe de SEÑA no es válido", true, true, true, kSinTope,
         [&](const QString &t) { return reserva("fpPago", t); }},
        {"Valores de canchas: precio", "debe ser un número sin signo", true, true, true, kSinTope,
         [&](const QString &t) { return precioCancha(t); }},
        {"Productos: precio de compra", "El Precio de Compra debe ser un número", true, true, true, kSinTope,
         [&](const QString &t) { return producto(kPrecioCompra, t); }},
        {"Productos: precio de venta", "El Precio de Venta debe ser un número", true, true, true, kSinTope,
         [&](const QString &t) { return producto(kPrecioCompra + 1, t); }},
        {"Opciones: porcentaje mínimo", "El valor debebe estar comprendido entre 0 y 100", false, true, true, 100,
         [&](const QString &t) { return porcentaje(t); }},
    };
    int intentos = 0;
    for (const Caja &c : cajas) {
        for (const Caso &caso : kCasos) {
            SCOPED_TRACE(std::string(c.nombre) + " <- \"" + caso.tecleado + "\"");
            const bool tomado = caso.valor && *caso.valor <= c.tope;
            const Resultado r = c.probar(caso.tecleado);
            ++intentos;
            const QString dicho = r.mensajes.join(" | ");
            if (tomado) {
                EXPECT_TRUE(r.aceptado) << dicho.toStdString();
                EXPECT_FALSE(dicho.contains(c.noEsNumero)) << dicho.toStdString();
                if (c.guarda) {
                    EXPECT_EQ(r.guardado, caso.valor);
                }
                if (c.muestra) {
                    EXPECT_EQ(r.mostrado, caso.mostrado);
                }
            } else {
                EXPECT_FALSE(r.aceptado);
                EXPECT_TRUE(!r.mensajes.isEmpty() && r.mensajes.first().contains(c.noEsNumero)) << dicho.toStdString();
                if (c.quedaTecleado) {
                    EXPECT_EQ(r.mostrado, caso.tecleado);
                }
            }
        }
    }
    EXPECT_EQ(intentos, 16 * 13);
}

TEST_F(NumerosTecleados, LasSemanasSoloTomanCifrasHasta520)
{
    abrirAgenda();
    modal->guion([&](QDialog *d) {
        c<QRadioButton>(d, "optPermanente")->click();
        for (const auto &[tecleado, semanas] : kSemanas) {
            teclear(caja(d, "fpSemanas"), tecleado);
            EXPECT_EQ(caja(d, "fpSemanas")->text(), semanas) << tecleado;
        }
    });
    raton::dobleClic(semana(), dia(3), 3);
}

} // namespace
