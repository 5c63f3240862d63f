#pragma once
// Line dialog of the manual stock movement. Mode "NEW" appends a product and
// its quantity to the window's lines and stays open for the next one; mode
// "MOD" changes the quantity of the window's active line and closes.
#include "platform/Ventanas.h"

#include <QPointer>
#include <memory>

class Frm_M_Stock;

namespace Ui {
class Frm_M_StockAnexo;
}

class Frm_M_StockAnexo : public Dialogo {
    Q_OBJECT
public:
    explicit Frm_M_StockAnexo(QWidget *parent = nullptr);
    ~Frm_M_StockAnexo() override;

    void setMovimiento(Frm_M_Stock *m) { m_movimiento = m; }
    // Shows a line to modify: its product (locked) and quantity.
    void Usr_CargaLinea(const QString &codigo, const QString &cantidad);
    void Usr_LimpiaCampos();
    void Aceptar();

private:
    // The quantity typed, after the checks (false when one failed; the user
    // was told).
    bool Usr_ValidaDatos(double &cantidad);

    std::unique_ptr<Ui::Frm_M_StockAnexo> ui;
    QPointer<Frm_M_Stock> m_movimiento;
};
