#pragma once
// Permission assignment: for one user (never the administrator, who needs no
// rows) the main window's menu items as a tree of options with a check box
// each. Ticking an option ticks its parents, unticking one unticks its
// subtree; saving replaces the user's options, all or nothing. The changes
// take effect at that user's next login.
#include "platform/Ventanas.h"

#include <memory>

namespace Ui {
class Frm_S_AsignarOpciones;
}

class Frm_S_AsignarOpciones : public Formulario {
    Q_OBJECT
public:
    explicit Frm_S_AsignarOpciones(QWidget *parent = nullptr);
    ~Frm_S_AsignarOpciones() override;

    // False, after "Debe llenar Código de Usuario" with the focus on the code
    // box, when no user code is given.
    bool Usr_ValidaUsuario();
    // Empties the code box and the picker and removes every row.
    void Usr_LimpiaPantalla();
    // One row per menu item that carries a permission, in menu order, ticked
    // when the user in the code box holds it.
    void Usr_CargaOpciones();
    // True for the menu items every logged-in user sees.
    static bool Usr_EsOpcionExcluida(const QString &nombre);

    // The four buttons: clear, save, tick all, untick all.
    void Command_Click(int indice);

private:
    // Leaving the code box: the picker follows the typed code; a code that is
    // not an offered user empties the window.
    void alDejarCodigo();
    // Loads the options of codigo unless they are the ones already shown.
    void elegirUsuario(const QString &codigo);
    // A box of column 1 changed: keeps parents and subtree consistent.
    void alMarcar(int fila);
    void marcarTodas(bool marca);
    void guardar();

    std::unique_ptr<Ui::Frm_S_AsignarOpciones> ui;
    QString m_cargado; // user whose options the grid shows
};
