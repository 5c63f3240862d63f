#include "Frm_T_AltaVentasAnexo.h"
#include "ui_Frm_T_AltaVentasAnexo.h"

#include "AppUtils.h"
#include "Frm_T_AltaVentas.h"
#include "InterfazVentas.h"
#include "dbProductos.h"
#include "platform/Aperturas.h"
#include "platform/Formatos.h"
#include "platform/Mensajes.h"

#include <QKeyEvent>
#include <QTimer>

namespace {
const QString kIdle = QStringLiteral("Ingrese su búsqueda por código o descripción");
}

Frm_T_AltaVentasAnexo::Frm_T_AltaVentasAnexo(QWidget *parent)
    : Dialogo(parent), ui(std::make_unique<Ui::Frm_T_AltaVentasAnexo>())
{
    ui->setupUi(this);
    Usr_FiltraProductos(QString());
    if (gAppUtils.getDBSetting(QStringLiteral("CAN_MOD_PRECIO_VENTAS")) == QLatin1String("1")) {
        ui->mskPVP->setEnabled(true);
        ui->mskPVP->setStyleSheet(QStringLiteral("background-color: #FFFFFF;"));
    }
    for (QLineEdit *e : {ui->txtBusca, ui->txtProducto, ui->mskCantidad, ui->mskPVP})
        e->installEventFilter(this);
    Aperturas::conectar(ui->dc_producto, &DataCombo::cambiado, this, [this] {
        ui->txtProducto->setText(ui->dc_producto->BoundText());
        Usr_CargaProducto();
        ui->mskCantidad->setFocus();
    });
    Aperturas::conectar(ui->Command_0, &QPushButton::clicked, this, &Frm_T_AltaVentasAnexo::Aceptar);
    Aperturas::conectar(ui->Command_1, &QPushButton::clicked, this, &Dialogo::descargar);
}

Frm_T_AltaVentasAnexo::~Frm_T_AltaVentasAnexo() = default;

void Frm_T_AltaVentasAnexo::showEvent(QShowEvent *e)
{
    Dialogo::showEvent(e);
    ui->txtProducto->setFocus();
}

bool Frm_T_AltaVentasAnexo::filtrar(QObject *obj, QEvent *e)
{
    const bool enter = e->type() == QEvent::KeyPress && (static_cast<QKeyEvent *>(e)->key() == Qt::Key_Return ||
                                                         static_cast<QKeyEvent *>(e)->key() == Qt::Key_Enter);
    if (obj == ui->txtBusca) {
        if (e->type() == QEvent::FocusIn) {
            ui->txtBusca->clear();
        } else if (enter) {
            Usr_FiltraProductos(ui->txtBusca->text());
            ui->dc_producto->setFocus();
            return true;
        } else if (e->type() == QEvent::FocusOut) {
            if (ui->txtBusca->text().isEmpty())
                ui->txtBusca->setText(kIdle);
            else if (ui->txtBusca->text() != kIdle)
                Usr_FiltraProductos(ui->txtBusca->text());
        }
    } else if (obj == ui->txtProducto) {
        if (e->type() == QEvent::FocusIn) {
            QTimer::singleShot(0, ui->txtProducto, &QLineEdit::selectAll);
        } else if (e->type() == QEvent::FocusOut) {
            // A code that the picker does not list (unknown, inactive or
            // outside the filter) is not kept.
            ui->dc_producto->setBoundText(ui->txtProducto->text().trimmed());
            if (ui->dc_producto->BoundText().isEmpty())
                ui->txtProducto->clear();
            else
                ui->txtProducto->setText(ui->dc_producto->BoundText());
            Usr_CargaProducto();
        }
    } else if (obj == ui->mskCantidad) {
        if (e->type() == QEvent::FocusIn) {
            if (ui->mskCantidad->text().isEmpty())
                ui->mskCantidad->setText(QStringLiteral("1"));
            QTimer::singleShot(0, ui->mskCantidad, &QLineEdit::selectAll);
        } else if (enter) {
            Aceptar();
            return true;
        }
    } else if (obj == ui->mskPVP && e->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, ui->mskPVP, &QLineEdit::selectAll);
    }
    return Dialogo::filtrar(obj, e);
}

void Frm_T_AltaVentasAnexo::Usr_FiltraProductos(const QString &texto)
{
    // Words are split at each single blank: two blanks give an empty word,
    // which every product holds.
    const QStringList palabras = texto.isEmpty() ? QStringList() : texto.split(QLatin1Char(' '));
    ui->txtProducto->clear();
    ui->dc_producto->cargar([palabras] { return dbProductos::activos(palabras); }, QStringLiteral("descripcion"),
                            QStringLiteral("id"));
    ui->dc_producto->setBoundText(QString());
}

void Frm_T_AltaVentasAnexo::Usr_CargaProducto()
{
    const Recordset rs = dbProductos::precios(ui->txtProducto->text());
    if (rs.eof())
        return;
    ui->mskPVP->setText(Formatos::importe(rs.campo(QStringLiteral("precio_venta")).numero()));
    ui->mskExist->setText(Formatos::importe(rs.campo(QStringLiteral("existencia")).numero()));
    ui->mskPVC->setText(Formatos::importe(rs.campo(QStringLiteral("precio_compra")).numero()));
}

bool Frm_T_AltaVentasAnexo::Usr_ValidaDatos()
{
    bool valido = true;
    bool esNumero = false;
    const double cantidad = Formatos::tecleado(ui->mskCantidad->text(), &esNumero);
    auto falla = [&valido](const QString &mensaje, QWidget *foco) {
        MsgBox(mensaje, vb::Exclamation);
        foco->setFocus();
        valido = false;
    };
    if (ui->dc_producto->BoundText().isEmpty())
        falla(QStringLiteral("Debe ingresar el Producto"), ui->dc_producto);
    else if (ui->mskCantidad->text().isEmpty())
        falla(QStringLiteral("Debe ingresar la Cantidad"), ui->mskCantidad);
    else if (!esNumero)
        falla(QStringLiteral("Debe ingresar un número válido"), ui->mskCantidad);
    else if (cantidad <= 0)
        falla(QStringLiteral("Debe ingresar un número mayor a 0"), ui->mskCantidad);
    // The price is checked whatever the outcome above.
    Formatos::tecleado(ui->mskPVP->text(), &esNumero);
    if (!esNumero)
        falla(QStringLiteral("Debe ingresar un numero válido"), ui->mskPVP);
    return valido;
}

void Frm_T_AltaVentasAnexo::Aceptar()
{
    if (!Usr_ValidaDatos() || !m_venta)
        return;
    // The line holds the values as shown (two decimals), and its total is
    // their product, so the sale adds up to what the user sees.
    const double cantidad = Formatos::tecleado(ui->mskCantidad->text());
    const double precio = Formatos::tecleado(ui->mskPVP->text());
    m_venta->Usr_AgregaLinea({ui->txtProducto->text(), ui->dc_producto->Text(), Formatos::importe(cantidad),
                              Formatos::importe(precio), Formatos::importe(cantidad * precio), ui->mskPVC->text()});
    Usr_LimpiaDatos();
}

void Frm_T_AltaVentasAnexo::Usr_LimpiaDatos()
{
    ui->txtProducto->clear();
    ui->dc_producto->setBoundText(QString());
    for (QLineEdit *e : {ui->mskCantidad, ui->mskPVP, ui->mskExist, ui->mskPVC})
        e->clear();
    ui->txtProducto->setFocus();
    ui->txtBusca->setText(kIdle);
}
