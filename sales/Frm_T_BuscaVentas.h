#pragma once
// Sales of a range of days, of every client or of one, with their total;
// reprints the ticket of a sale and cancels a sale (giving its stock back).
// Cancelled sales stay listed in red.
#include "platform/Ventanas.h"

#include <memory>

class Grid;
class QPushButton;

namespace Ui {
class Frm_T_BuscaVentas;
}

class Frm_T_BuscaVentas : public Formulario {
    Q_OBJECT
public:
    explicit Frm_T_BuscaVentas(QWidget *parent = nullptr);
    ~Frm_T_BuscaVentas() override;

    // Cancels the sale of the grid's active row with the reason in its
    // column 7, in one transaction. Returns the day the sale had already been
    // cancelled on (nothing written then), or an invalid date. A sale that a
    // closing has taken meanwhile is left alone and *enCierre set. Database
    // errors reach the caller with nothing written.
    QDate Usr_Update(bool *enCierre = nullptr);

    // The cancel button ("Eliminar"), hidden by the Buscar menu item.
    QPushButton *btnAnular() const;
    Grid *grilla() const;

private:
    bool Usr_ValidaDatos();
    void Usr_LlenaGrilla();
    void Usr_Totales();
    void Usr_LimpiaFiltros();
    // False (the user told) when the active row's sale was taken by a closing.
    bool Usr_PuedeAnular();
    void Usr_AnularVenta();
    void cmdActualizar_Click();
    void cmdImprimir_Click();
    // Data row of the active cell, or 0 when no data row is active.
    int filaActiva() const;
    // The same, telling the user when the list has no sale to act on.
    int filaElegida() const;

    std::unique_ptr<Ui::Frm_T_BuscaVentas> ui;
};
