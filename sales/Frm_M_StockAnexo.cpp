#include "Frm_M_StockAnexo.h"
#include "ui_Frm_M_StockAnexo.h"

#include "Frm_M_Stock.h"
#include "dbStock.h"
#include "platform/Aperturas.h"
#include "platform/Formatos.h"
#include "platform/Mensajes.h"

Frm_M_StockAnexo::Frm_M_StockAnexo(QWidget *parent) : Dialogo(parent), ui(std::make_unique<Ui::Frm_M_StockAnexo>())
{
    ui->setupUi(this);
    // Inactive products too: stock of a product out of sale may be corrected.
    ui->dc_articulo->cargar(dbStock::productos, QStringLiteral("descripcion"), QStringLiteral("id"));
    ui->dc_articulo->enlazarCaja(ui->txtArt);
    Aperturas::conectar(ui->Command_1, &QPushButton::clicked, this, &Frm_M_StockAnexo::Aceptar);
    Aperturas::conectar(ui->Command_2, &QPushButton::clicked, this, &Dialogo::descargar);
}

Frm_M_StockAnexo::~Frm_M_StockAnexo() = default;

void Frm_M_StockAnexo::Usr_CargaLinea(const QString &codigo, const QString &cantidad)
{
    ui->txtArt->setText(codigo);
    ui->dc_articulo->setBoundText(codigo);
    ui->mskCantidad->setText(cantidad);
    ui->txtArt->setEnabled(false);
    ui->dc_articulo->setEnabled(false);
    ui->mskCantidad->setEnabled(true);
}

void Frm_M_StockAnexo::Usr_LimpiaCampos()
{
    ui->txtArt->clear();
    ui->mskCantidad->clear();
    ui->dc_articulo->setBoundText(QString());
    ui->txtArt->setFocus();
}

bool Frm_M_StockAnexo::Usr_ValidaDatos(double &cantidad)
{
    if (ui->dc_articulo->BoundText().isEmpty()) {
        MsgBox(QStringLiteral("Debe ingresar el Artículo"), vb::Exclamation);
        ui->dc_articulo->setFocus();
        return false;
    }
    if (ui->mskCantidad->text().trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Debe ingresar la Cantidad"), vb::Exclamation);
        ui->mskCantidad->setFocus();
        return false;
    }
    bool ok = false;
    cantidad = Formatos::tecleado(ui->mskCantidad->text().trimmed(), &ok);
    if (!ok) {
        MsgBox(QStringLiteral("Debe ingresar un número válido"), vb::Exclamation);
        // A changed line keeps its product: only the quantity is emptied.
        if (Tag == QLatin1String("MOD"))
            ui->mskCantidad->clear();
        else
            Usr_LimpiaCampos();
        return false;
    }
    if (cantidad <= 0) {
        MsgBox(QStringLiteral("Debe ingresar un número mayor a 0"), vb::Exclamation);
        ui->mskCantidad->setFocus();
        return false;
    }
    return true;
}

void Frm_M_StockAnexo::Aceptar()
{
    double cantidad = 0;
    if (!m_movimiento || !Usr_ValidaDatos(cantidad))
        return;
    if (Tag == QLatin1String("MOD")) {
        m_movimiento->Usr_CambiaCantidad(cantidad);
        descargar();
        return;
    }
    m_movimiento->Usr_AgregaLinea(ui->dc_articulo->BoundText(), ui->dc_articulo->Text(), cantidad);
    Usr_LimpiaCampos();
}
