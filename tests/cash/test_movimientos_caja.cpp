#include "AyudaCaja.h"

#include <QPushButton>

using namespace ayuda;

namespace {

class MovimientosCajaTest : public CajaBase {};

TEST_F(MovimientosCajaTest, AperturaIngresoYExtraccion)
{
    // The opening: own user only, concept fixed to INI, 0 accepted.
    movimiento(0, "0", {}, [&](QDialog *d) {
        EXPECT_EQ(d->windowTitle(), "Apertura de Caja");
        EXPECT_FALSE(caja(d, "MaskEd_3")->isEnabled());
        EXPECT_EQ(caja(d, "MaskEd_3")->text(), "ana");
        EXPECT_FALSE(caja(d, "MaskEd_18")->isEnabled());
        EXPECT_EQ(caja(d, "MaskEd_18")->text(), "INI");
        EXPECT_EQ(caja(d, "MaskEd_0")->text(), "0.00");
        // The system concepts and ADMSYS are not offered.
        auto *conceptos = d->findChild<DataCombo *>("DBCombo_18");
        EXPECT_EQ(conceptos->count(), 2);
        auto *usuarios = d->findChild<DataCombo *>("DBCombo_3");
        EXPECT_EQ(usuarios->findText("Sistema"), -1);
    });
    EXPECT_EQ(msg->textos(), QStringList{"La Apertura de Caja para 'ana' ha sido registrada."});
    EXPECT_EQ(
        filas("SELECT id, fecha_hora_apertura, importe_inicial, fecha_hora_cierre, comentarios, t_usuarios_codigo "
              "FROM caja_cabeza"),
        "1|2024-03-15 10:30:00|0|null|caja 'A'|ana");
    EXPECT_EQ(
        filas("SELECT caja_cabeza_id, mov_tipo, caja_conceptos_id, caja_conceptos_descripcion, importe, fecha_hora "
              "FROM caja_movimientos"),
        "1|INI|INI|Inicio de caja|0|2024-03-15 10:30:00");
    EXPECT_EQ(valor("SELECT numero_siguiente FROM t_numeradores WHERE id = 'CJA'"), "2");

    // A second opening is refused and consumes no number.
    msg->limpiar();
    movimiento(0, "100");
    EXPECT_EQ(msg->textos(), QStringList{"El usuario 'ana' posee una caja Iniciada.\r\nDebe cerrar esta caja, antes "
                                         "de iniciar una nueva."});
    EXPECT_EQ(valor("SELECT numero_siguiente FROM t_numeradores WHERE id = 'CJA'"), "2");
    EXPECT_EQ(contar("SELECT count(*) FROM caja_cabeza"), 1);

    // Income: a concept is required, 0 refused, the amount stored as typed.
    msg->limpiar();
    movimiento(1, "150", "");
    movimiento(1, "0", "BAR");
    movimiento(1, "1,150.25", "bar"); // the code box finds the concept as the key does
    EXPECT_EQ(msg->textos(),
              (QStringList{"Debe indicar un concepto / motivo del movimiento.", "Ingrese un valor mayor a cero.",
                           "El ingreso de caja de 'ana' ha sido registrado."}));
    // Withdrawal: stored negative.
    movimiento(2, "50", "LUZ");
    EXPECT_EQ(filas("SELECT mov_tipo, caja_conceptos_id, caja_conceptos_descripcion, importe FROM caja_movimientos "
                    "WHERE mov_tipo <> 'INI' ORDER BY id",
                    {}, ":"),
              "ING:BAR:Bar:1150.25 EGR:LUZ:Luz:-50");
    EXPECT_EQ(msg->ultimo().prompt, "La extracción de caja de 'ana' ha sido registrada.");

    // Another user without a register: refused before the amount is read.
    gUsuarioActual = "admin";
    msg->limpiar();
    movimiento(1, "0", "BAR", [&](QDialog *d) {
        EXPECT_TRUE(caja(d, "MaskEd_3")->isEnabled());
        escribir(caja(d, "MaskEd_3"), "luis");
    });
    EXPECT_EQ(msg->textos(), QStringList{"El usuario 'luis' no posee una caja iniciada."});

    // An unknown code typed by admin opens nothing: left, the box empties;
    // not left (Enter on the button), the code is named.
    msg->limpiar();
    movimiento(0, "10", {}, [&](QDialog *d) { escribir(caja(d, "MaskEd_3"), "nadie"); });
    modal->guion([&](QDialog *d) {
        QLineEdit *e = caja(d, "MaskEd_3");
        e->selectAll();
        QTest::keyClicks(e, "nadie");
        ayuda::boton(d, 2)->click();
        EXPECT_EQ(d->focusWidget(), e);
    });
    Frm_M_MovimientosCaja::abrir(0);
    procesarEventos();
    EXPECT_EQ(msg->textos(), (QStringList{"Debe indicar el usuario de la caja.", "El usuario 'nadie' no existe."}));
    EXPECT_EQ(contar("SELECT count(*) FROM caja_cabeza"), 1);
    // admin's own register needs no row of admin among the users.
    msg->limpiar();
    movimiento(0, "10");
    EXPECT_EQ(msg->textos(), QStringList{"La Apertura de Caja para 'admin' ha sido registrada."});
    db().execute("DELETE FROM caja_cabeza WHERE t_usuarios_codigo = 'admin'");
    db().execute("DELETE FROM caja_movimientos WHERE t_usuarios_codigo = 'admin'");

    // Without the counter every operation is refused; with an empty concept
    // too, both messages, the concept first.
    db().execute("DELETE FROM t_numeradores WHERE id = 'CJA'");
    gUsuarioActual = "ana";
    msg->limpiar();
    movimiento(1, "10", "");
    movimiento(0, "10");
    EXPECT_EQ(msg->textos(), (QStringList{"Debe indicar un concepto / motivo del movimiento.",
                                          "No se encuentra el numerador para CJA en t_numeradores ",
                                          "No se encuentra el numerador para CJA en t_numeradores "}));
    EXPECT_EQ(msg->mostrados()[1].icono(), vb::Critical);
    EXPECT_EQ(contar("SELECT count(*) FROM caja_movimientos"), 3);
}

} // namespace
