#include "Frm_T_ProductosAnexo.h"
#include "ui_Frm_T_ProductosAnexo.h"

#include "dbProductos.h"
#include "platform/Formatos.h"

namespace {
enum Campo { kCodigo, kDescrip, kPrecioDC, kPrecioDV, kExist, kCom, kActivo };
} // namespace

Frm_T_ProductosAnexo::Frm_T_ProductosAnexo(QWidget *parent) : FrmAnexo(parent), ui(new Ui::Frm_T_ProductosAnexo)
{
    ui->setupUi(this);
    definirCampos(
        {ui->mskCodigo, ui->mskDescrip, ui->mskPrecioDC, ui->mskPrecioDV, ui->mskExist, ui->txtCom, ui->chkActivo});
    conectarBotones(ui->Command_0, ui->Command_1);
    // The product dialog reports a failed write with the critical icon.
    m_iconoError = vb::Critical;
}

Frm_T_ProductosAnexo::~Frm_T_ProductosAnexo() = default;

void Frm_T_ProductosAnexo::Usr_LimpiaCampos()
{
    FrmAnexo::Usr_LimpiaCampos();
    ui->chkActivo->setChecked(true);
}

bool Frm_T_ProductosAnexo::exigirNumero(int campo, const QString &nombre)
{
    bool ok = false;
    Formatos::tecleado(textoCampo(campo), &ok);
    if (ok)
        return true;
    MsgBox(QStringLiteral("El %1 debe ser un número, con punto decimal (por ejemplo 1234.50).").arg(nombre),
           vb::Exclamation);
    campo == kPrecioDC ? ui->mskPrecioDC->setFocus() : ui->mskPrecioDV->setFocus();
    return false;
}

bool Frm_T_ProductosAnexo::Usr_ValidaDatos(const QString &modo)
{
    return exigirCampo(kCodigo, QStringLiteral("Debe ingresar el Código")) &&
           exigirCampo(kDescrip, QStringLiteral("Debe ingresar la Descripción")) &&
           exigirCampo(kPrecioDC, QStringLiteral("Debe ingresar un precio de compra")) &&
           exigirCampo(kPrecioDV, QStringLiteral("Debe ingresar un precio de venta")) &&
           exigirNumero(kPrecioDC, QStringLiteral("Precio de Compra")) &&
           exigirNumero(kPrecioDV, QStringLiteral("Precio de Venta")) &&
           (modo != QLatin1String("NEW") || exigirCodigoNuevo(dbProductos::existe(ui->mskCodigo->text())));
}

namespace {
dbProductos::Producto leer(const FrmAnexo &d)
{
    dbProductos::Producto p;
    p.id = d.textoCampo(kCodigo);
    p.descripcion = d.textoCampo(kDescrip);
    p.precio_compra = Formatos::tecleado(d.textoCampo(kPrecioDC));
    p.precio_venta = Formatos::tecleado(d.textoCampo(kPrecioDV));
    p.comentarios = d.textoCampo(kCom);
    p.activo = d.textoCampo(kActivo).toInt();
    return p;
}
} // namespace

void Frm_T_ProductosAnexo::insertar() { dbProductos::insertar(leer(*this)); }

bool Frm_T_ProductosAnexo::modificar() { return dbProductos::modificar(leer(*this)); }

bool Frm_T_ProductosAnexo::eliminar()
{
    dbProductos::eliminar(ui->mskCodigo->text());
    return true;
}
