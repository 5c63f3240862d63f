#pragma once
// Editor of the users' own cash concepts in one grid: typing an existing code
// (or clicking a row header) loads it to change its description; a new code
// adds a concept. System concepts are not listed.
#include "platform/Ventanas.h"

#include <memory>

class Grid;

namespace Ui {
class Frm_T_MovCaja_Conceptos;
}

class Frm_T_MovCaja_Conceptos : public Formulario {
    Q_OBJECT
public:
    explicit Frm_T_MovCaja_Conceptos(QWidget *parent = nullptr);
    ~Frm_T_MovCaja_Conceptos() override;

    void Usr_CargaGrilla();
    Grid *grilla() const;

protected:
    bool event(QEvent *e) override;
    bool filtrar(QObject *obj, QEvent *e) override;

private:
    // op "1" saves (adds in add mode, changes the description in edit
    // mode), "2" deletes. Errors go through ManejoErrorDB.
    bool Usr_GuardaDatos(const QString &op);
    bool Usr_ValidaCampos();
    void Usr_LimpiaPantalla();
    void cargarFila(int row);
    void salirDelCodigo();
    void ordenar(int col, bool ascendente);
    void boton(int indice);
    void habilitarBotones();

    std::unique_ptr<Ui::Frm_T_MovCaja_Conceptos> ui;
    bool m_saltarRecarga = false;
};
