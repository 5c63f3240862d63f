#pragma once
// Stock on hand of every active product, with a row search by code and
// description, printing and spreadsheet export.
#include "platform/Ventanas.h"

#include <memory>

class Grid;

namespace Ui {
class Frm_T_ExistArticulos;
}

class Frm_T_ExistArticulos : public Formulario {
    Q_OBJECT
public:
    explicit Frm_T_ExistArticulos(QWidget *parent = nullptr);
    ~Frm_T_ExistArticulos() override;

    void Usr_LlenaGrilla();
    // Selects the first row whose code starts with codigo and whose
    // description starts with descripcion (only the texts given count).
    void Usr_Busca(const QString &codigo, const QString &descripcion);
    Grid *grilla() const;

private:
    void imprimir();

    std::unique_ptr<Ui::Frm_T_ExistArticulos> ui;
};
