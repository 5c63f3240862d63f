#pragma once
// Detail of the count: the register's movements (pClaseMov 2), where an
// income or a withdrawal can be deleted, or the operations the closing will
// take (pClaseMov 1), rebuilt each time it opens.
#include "platform/Ventanas.h"

#include <QPointer>
#include <memory>

class Frm_M_CajaArqueo;
class Grid;

namespace Ui {
class Frm_M_CajaArqueDetalle;
}

class Frm_M_CajaArqueDetalle : public Dialogo {
    Q_OBJECT
public:
    explicit Frm_M_CajaArqueDetalle(QWidget *parent = nullptr);
    ~Frm_M_CajaArqueDetalle() override;

    int pClaseMov = 2;
    // Lists what pClaseMov asks for, of the register and user of arqueo.
    void Usr_Carga(Frm_M_CajaArqueo *arqueo);
    Grid *grilla() const;

private:
    void Usr_LlenaMovimientos();
    void Usr_LlenaOperaciones();
    void Usr_CalculaTotal();
    void clicGrilla(int col, int row);
    void eliminar();

    std::unique_ptr<Ui::Frm_M_CajaArqueDetalle> ui;
    QString m_caja;
    QString m_usuario;
};
