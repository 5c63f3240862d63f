#pragma once
// List of the products for sale, in the order of their description, with a
// free-text search box over code and description.
#include "platform/ListaAnexo.h"

class QLineEdit;
class QPushButton;

class Frm_T_Productos : public FrmLista {
    Q_OBJECT
public:
    explicit Frm_T_Productos(QWidget *parent = nullptr);

    // Refills the grid with every product (criterion "") or those whose code
    // or description holds xCriterio.
    void Usr_LlenarDatos() override;
    void Usr_LlenarDatos(const QString &xCriterio);

protected:
    FrmAnexo *anexo() override;
    void Usr_HabilitaCampos(FrmAnexo *dlg, const QString &modo) override;
    bool filtrar(QObject *obj, QEvent *e) override;

private:
    // Enter in the search box or "Buscar": lists by the box's text unless it
    // shows the placeholder.
    void buscar();

    QLineEdit *m_txtSearch = nullptr;
    QPushButton *m_cmdSearch = nullptr;
};
