#pragma once
// List of the club's clients, by number.
#include "platform/ListaAnexo.h"

class Frm_T_Clientes : public FrmLista {
    Q_OBJECT
public:
    explicit Frm_T_Clientes(QWidget *parent = nullptr);

    void Usr_LlenarDatos() override;

    // Set by whoever opens the list to have its add dialog opened at once:
    // acted on (and cleared) at the list's first activation after loading.
    bool flagIniciaAnexo = false;

protected:
    FrmAnexo *anexo() override;
    // The database numbers new clients: the code box is never typed in.
    void Usr_HabilitaCampos(FrmAnexo *dlg, const QString &modo) override;
    void showEvent(QShowEvent *e) override;

private:
    void primeraActivacion();

    bool m_primeraActivacion = true;
};
