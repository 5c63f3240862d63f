#pragma once
// Counter sale: the client, the lines (added through the line dialog), the
// total, the amount tendered and the change. Saving writes the sale, its
// lines, their stock movements and the stock in one transaction and, when
// asked, shows the ticket. Saving needs an open cash register of the user,
// asked once when the window loads.
#include "platform/Ventanas.h"

#include <memory>

class Grid;

namespace Ui {
class Frm_T_AltaVentas;
}

class Frm_T_AltaVentas : public Formulario {
    Q_OBJECT
public:
    explicit Frm_T_AltaVentas(QWidget *parent = nullptr);
    ~Frm_T_AltaVentas() override;

    // Sums column 5 of the lines into txtTotal, presets the payment to it and
    // returns it.
    double Usr_Total();
    // Clears the window for a new sale, with the default client of the settings.
    void Usr_LimpiaDatos();
    // Appends a line: code, description, quantity, unit price, line total and
    // cost as shown (columns 1 to 6); then Usr_Total.
    void Usr_AgregaLinea(const QStringList &celdas);

    Grid *grilla() const;

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    bool Usr_ValidaDatos();
    // Writes the sale in one transaction; its number, or 0 when it failed
    // (the user was told and nothing remains).
    qint64 Usr_GrabaVenta();
    void Usr_CalculaVuelto();
    void cmdGuarda_Click();
    void agregar();
    void eliminar();
    // The grid's line after an edit of its quantity or price: recomputed, or
    // given back its value when what was typed is refused.
    void lineaEditada(int col, int row);
    // Ends an edit still open in the grid and checks it; false when the
    // value typed was refused.
    bool terminarEdicionAceptada();

    std::unique_ptr<Ui::Frm_T_AltaVentas> ui;
    bool m_lineaRechazada = false;
};
