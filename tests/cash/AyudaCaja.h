#pragma once
// Shared steps of the cash window tests: users, a concept of their own, and
// driving the movement window as a user would.
#include "support/Entorno.h"

#include "Frm_M_MovimientosCaja.h"
#include "RegistroCaja.h"
#include "platform/Aperturas.h"
#include "platform/DataCombo.h"
#include "reservations/AyudaListas.h"

#include <QPlainTextEdit>

class CajaBase : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        gUsuarioActual = "ana";
        db().execute("INSERT INTO t_usuarios (Codigo, Descripcion) VALUES ('ana', 'Ana'), ('luis', 'Luis'), "
                     "('ADMSYS', 'Sistema')");
        db().execute("INSERT INTO caja_conceptos (id, descripcion) VALUES ('BAR', 'Bar'), ('LUZ', 'Luz')");
        registrarVentanasCaja();
    }
    // Opens the movement window of operation op (0 opening, 1 income, 2
    // withdrawal), types into it and presses "Guardar"; the window is closed
    // afterwards whatever happened. What the window showed goes to ver.
    void movimiento(int op, const QString &importe, const QString &concepto = {},
                    const std::function<void(QDialog *)> &ver = {})
    {
        modal->guion([&](QDialog *d) {
            if (ver)
                ver(d);
            if (!concepto.isNull())
                ayuda::escribir(ayuda::caja(d, "MaskEd_18"), concepto);
            ayuda::escribir(ayuda::caja(d, "MaskEd_0"), importe);
            d->findChild<QPlainTextEdit *>("txtObserv")->setPlainText("caja 'A'");
            ayuda::boton(d, 2)->click();
        });
        Frm_M_MovimientosCaja::abrir(op);
        procesarEventos();
    }
};
