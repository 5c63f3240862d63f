#pragma once
// The three operations on a user's cash register, chosen by the opener
// through xoPera before the window loads: 0 opening (a new register and its
// opening amount), 1 income, 2 withdrawal. Only admin may act on another
// user's register.
#include "platform/Ventanas.h"

#include <memory>

namespace Ui {
class Frm_M_MovimientosCaja;
}

class Frm_M_MovimientosCaja : public Dialogo {
    Q_OBJECT
public:
    // The operation of the next window, read when it loads.
    static int xoPera;
    // Opens the window of operation operacion modally with its caption.
    static void abrir(int operacion);

    explicit Frm_M_MovimientosCaja(QWidget *parent = nullptr);
    ~Frm_M_MovimientosCaja() override;

    // True when user usuario has an open register.
    bool Usr_TieneCajaAbierta(const QString &usuario);

private:
    void Usr_LimpiaPantalla();
    void Usr_CargaCombos();
    bool Usr_ValidaDatos();
    void Usr_GuardaMovimiento();
    bool Usr_AperturaCaja();
    // Income (signo 1) or withdrawal (signo -1): one movement on the user's
    // open register.
    bool Usr_MovimientoCaja(double signo);
    // The amount box read as the number typed into *monto; when it holds no
    // number the user is told so and the answer is false.
    bool importeValido(double *monto);

    std::unique_ptr<Ui::Frm_M_MovimientosCaja> ui;
    int m_operacion = 0;
    QString m_mov_tipo;
};
