#include "Frm_T_ProductosAnexo.h"
#include "ui_Frm_T_ProductosAnexo.h"

#include "dbProductos.h"
#include "platform/Formatos.h"

#include <QKeyEvent>

namespace {
enum Campo { kCodigo, kDescrip, kPrecioDC, kPrecioDV, kExist, kCom, kActivo };

// Keys the price boxes refuse: letters and every printable sign but the
// comma, the point and the slash. A refused key deletes the character before
// the caret instead of being typed.
bool teclaRechazada(const QString &texto)
{
    if (texto.size() != 1)
        return false;
    const char16_t c = texto.at(0).unicode();
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 33 && c <= 43) || c == 45 ||
           (c >= 58 && c <= 100) || (c >= 123 && c <= 126);
}
} // namespace

Frm_T_ProductosAnexo::Frm_T_ProductosAnexo(QWidget *parent) : FrmAnexo(parent), ui(new Ui::Frm_T_ProductosAnexo)
{
    ui->setupUi(this);
    definirCampos(
        {ui->mskCodigo, ui->mskDescrip, ui->mskPrecioDC, ui->mskPrecioDV, ui->mskExist, ui->txtCom, ui->chkActivo});
    conectarBotones(ui->Command_0, ui->Command_1);
    ui->mskPrecioDC->installEventFilter(this);
    ui->mskPrecioDV->installEventFilter(this);
    // The product dialog reports a failed write with the critical icon.
    m_iconoError = vb::Critical;
}

Frm_T_ProductosAnexo::~Frm_T_ProductosAnexo() = default;

bool Frm_T_ProductosAnexo::filtrar(QObject *obj, QEvent *e)
{
    if (e->type() == QEvent::KeyPress && (obj == ui->mskPrecioDC || obj == ui->mskPrecioDV)) {
        auto *k = static_cast<QKeyEvent *>(e);
        if (teclaRechazada(k->text())) {
            static_cast<QLineEdit *>(obj)->backspace();
            return true;
        }
    }
    return FrmAnexo::filtrar(obj, e);
}

void Frm_T_ProductosAnexo::Usr_LimpiaCampos()
{
    FrmAnexo::Usr_LimpiaCampos();
    ui->chkActivo->setChecked(true);
}

bool Frm_T_ProductosAnexo::exigirNumero(int campo, const QString &nombre)
{
    bool ok = false;
    Formatos::numero(textoCampo(campo), &ok);
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
    p.precio_compra = Formatos::numero(d.textoCampo(kPrecioDC));
    p.precio_venta = Formatos::numero(d.textoCampo(kPrecioDV));
    p.comentarios = d.textoCampo(kCom);
    p.activo = d.textoCampo(kActivo).toInt();
    return p;
}
} // namespace

void Frm_T_ProductosAnexo::insertar() { dbProductos::insertar(leer(*this)); }

void Frm_T_ProductosAnexo::modificar() { dbProductos::modificar(leer(*this)); }

bool Frm_T_ProductosAnexo::eliminar()
{
    dbProductos::eliminar(ui->mskCodigo->text());
    return true;
}
