#pragma once
// Line dialog of the sale: a word search narrows the active products, the
// chosen product shows its price, cost and stock, and "Aceptar" appends the
// line with the typed quantity to the sale and stays open for the next one.
#include "platform/Ventanas.h"

#include <QPointer>
#include <memory>

class Frm_T_AltaVentas;

namespace Ui {
class Frm_T_AltaVentasAnexo;
}

class Frm_T_AltaVentasAnexo : public Dialogo {
    Q_OBJECT
public:
    explicit Frm_T_AltaVentasAnexo(QWidget *parent = nullptr);
    ~Frm_T_AltaVentasAnexo() override;

    // The sale the lines go to.
    void setVenta(Frm_T_AltaVentas *venta) { m_venta = venta; }
    // Empties the product, the quantity and the three values; focus on the
    // product code; the search box shows its idle text. The picker keeps the
    // last filter.
    void Usr_LimpiaDatos();
    // "Aceptar" (also Enter in the quantity): checks, appends the line.
    void Aceptar();

protected:
    bool filtrar(QObject *obj, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    // Lists the active products whose description, or whose code, holds every
    // word of texto (split at each blank); all of them for "".
    void Usr_FiltraProductos(const QString &texto);
    // Price, cost and stock of the product in txtProducto.
    void Usr_CargaProducto();
    bool Usr_ValidaDatos();

    std::unique_ptr<Ui::Frm_T_AltaVentasAnexo> ui;
    QPointer<Frm_T_AltaVentas> m_venta;
};
