#pragma once
// Stock moved by hand: a type ("Ingreso" or "Egreso"), an observation and
// one line per product (added through the line dialog). Saving writes one
// movement per line and the stock change in one transaction. Saving needs an
// open cash register of the user, asked once when the window loads.
#include "platform/Ventanas.h"

#include <memory>

class Grid;

namespace Ui {
class Frm_M_Stock;
}

class Frm_M_Stock : public Formulario {
    Q_OBJECT
public:
    explicit Frm_M_Stock(QWidget *parent = nullptr);
    ~Frm_M_Stock() override;

    // Type "Ingreso", no observation, no lines, today's date.
    void Usr_LimpiaPantalla();
    // Appends a line: product code, description and quantity as typed
    // (shown with two decimals and thousands separators).
    void Usr_AgregaLinea(const QString &codigo, const QString &descripcion, double cantidad);
    // Sets the quantity of the active line.
    void Usr_CambiaCantidad(double cantidad);

    Grid *grilla() const;

private:
    bool Usr_ValidaDatos();
    // The transaction; false when it failed (the user was told, nothing
    // remains and the lines stay for another attempt).
    bool Usr_GrabaMovimientos();
    // Opens line row in the dialog to change its quantity.
    void Usr_CargaAnexo(int row);
    void guardar();
    void agregar();
    void eliminar();
    void botonGrilla(int col, int row);

    std::unique_ptr<Ui::Frm_M_Stock> ui;
};
