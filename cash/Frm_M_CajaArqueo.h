#pragma once
// The count (arqueo) of a user's open register: its own movements and the
// user's sales and reservation payments not yet taken by a closing give the
// expected amount; the counted amount gives the difference. "Guardar"
// closes the register and prints its report. Only admin may count another
// user's register; anyone else without an open register is told so and the
// window closes while it loads.
#include "platform/Ventanas.h"

#include <memory>

class Grid;

namespace Ui {
class Frm_M_CajaArqueo;
}

class Frm_M_CajaArqueo : public Dialogo {
    Q_OBJECT
public:
    explicit Frm_M_CajaArqueo(QWidget *parent = nullptr);
    ~Frm_M_CajaArqueo() override;

    // Counts the register of the user in the user box.
    void Usr_CargaArqueo();
    void Usr_LimpiaPantalla();
    // The register shown ("" when none) and the user in the user box.
    QString cajaId() const;
    QString usuario() const;
    // The counted amount as the box shows it (cents); *ok false when it holds no number.
    double importeReal(bool *ok = nullptr) const;

private:
    void Usr_Totales();
    // The difference of the counted and the expected amount, red when not 0.
    void Usr_Descuadre();
    bool Usr_ValidaCierre();
    bool Usr_CierraCaja();
    void guardar();
    void detalle(int clase);
    void agregarFila(Grid *g, const QString &codigo, double importe);

    std::unique_ptr<Ui::Frm_M_CajaArqueo> ui;
    bool m_cargando = true;
};
