#include "Frm_T_AltaVentas.h"
#include "ui_Frm_T_AltaVentas.h"

#include "AppUtils.h"
#include "Frm_T_AltaVentasAnexo.h"
#include "InterfazReportes.h"
#include "InterfazVentas.h"
#include "Module.h"
#include "dbVentas.h"
#include "platform/Aperturas.h"
#include "platform/Foco.h"
#include "platform/Formatos.h"
#include "platform/GridAyudas.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

#include <QKeyEvent>
#include <cmath>

namespace {
enum Columna { kCodigo = 1, kDescripcion, kCantidad, kPrecio, kTotal, kCosto };

// Amounts compared in whole cents, as they are shown.
qint64 centavos(double v) { return std::llround(v * 100.0); }
} // namespace

Frm_T_AltaVentas::Frm_T_AltaVentas(QWidget *parent) : Formulario(parent), ui(std::make_unique<Ui::Frm_T_AltaVentas>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_T_AltaVentas"));

    Grid *g = ui->vaSpread;
    const QStringList titulos{QStringLiteral("Código"),   QStringLiteral("Descripción"),
                              QStringLiteral("Cantidad"), QStringLiteral("Precio Unitario"),
                              QStringLiteral("Total"),    QStringLiteral("Costo")};
    g->setMaxCols(titulos.size());
    for (int c = 0; c < titulos.size(); ++c)
        g->setText(c + 1, 0, titulos[c]);
    g->setColumnWidth(kCodigo, 90);
    g->setColumnWidth(kDescripcion, 280);
    // Amount columns: right-aligned, and an edited quantity or price is
    // typed as a plain number and kept in the amount format.
    for (int c = kCantidad; c <= kCosto; ++c) {
        g->setColumnWidth(c, 110);
        g->setColumnFormat(c, Formatos::kImporte);
    }
    // The quantity may be corrected in the grid; the price only by whom the
    // settings let change it, as in the line dialog.
    g->setColumnEditable(kCantidad, true);
    g->setColumnEditable(kPrecio,
                         gAppUtils.getDBSetting(QStringLiteral("CAN_MOD_PRECIO_VENTAS")) == QLatin1String("1"));
    Aperturas::conectar(g, &Grid::editado, this, &Frm_T_AltaVentas::lineaEditada);

    InterfazVentas::enlazarCliente(ui->txtCliente, ui->dc_cliente);
    alPerderFoco(ui->fpPago, [this] { Usr_CalculaVuelto(); });
    Aperturas::conectar(ui->fpPago, &QLineEdit::returnPressed, this, &Frm_T_AltaVentas::Usr_CalculaVuelto);

    Aperturas::conectar(ui->cmdGuarda, &QPushButton::clicked, this, &Frm_T_AltaVentas::cmdGuarda_Click);
    Aperturas::conectar(ui->cmdLimpia, &QPushButton::clicked, this, &Frm_T_AltaVentas::Usr_LimpiaDatos);
    Aperturas::conectar(ui->Command_0, &QPushButton::clicked, this, &Frm_T_AltaVentas::agregar);
    Aperturas::conectar(ui->Command_1, &QPushButton::clicked, this, &Frm_T_AltaVentas::eliminar);
    Aperturas::conectar(ui->Command_4, &QPushButton::clicked, this, &Formulario::descargar);
    for (QPushButton *b : {ui->cmdGuarda, ui->cmdLimpia, ui->Command_0, ui->Command_1, ui->Command_4})
        b->setAutoDefault(false);

    Usr_LimpiaDatos();
    // Asked once: a register opened later enables saving when the window is
    // opened again.
    const bool caja = gAppUtils.hayCajaIniciada();
    ui->cmdGuarda->setEnabled(caja);
    if (!caja)
        MsgBox(QStringLiteral("Deberá iniciar una caja con su usuario para poder registrar ventas."), vb::Information);
}

Frm_T_AltaVentas::~Frm_T_AltaVentas() = default;

Grid *Frm_T_AltaVentas::grilla() const { return ui->vaSpread; }

double Frm_T_AltaVentas::Usr_Total()
{
    double suma = 0;
    for (int r = 1; r <= ui->vaSpread->MaxRows(); ++r)
        suma += Formatos::tecleado(ui->vaSpread->text(kTotal, r));
    ui->txtTotal->setText(Formatos::importe(suma));
    ui->fpPago->setText(Formatos::importe(suma));
    return suma;
}

void Frm_T_AltaVentas::Usr_AgregaLinea(const QStringList &celdas)
{
    Grid *g = ui->vaSpread;
    const int fila = g->MaxRows() + 1;
    g->setMaxRows(fila);
    for (int c = 0; c < celdas.size(); ++c)
        g->setText(c + 1, fila, celdas[c]);
    Usr_Total();
}

void Frm_T_AltaVentas::Usr_LimpiaDatos()
{
    ui->txtCom->clear();
    ui->txtCliente->clear();
    ui->dc_cliente->setBoundText(QString());
    ui->dtpicker->setDate(Reloj::hoy());
    ui->vaSpread->setMaxRows(0);
    ui->txtTotal->setText(Formatos::importe(0));
    ui->txtVuelto->setText(Formatos::importe(0));
    ui->fpPago->setText(Formatos::importe(0));
    ui->Option1->setChecked(true);
    const QString cliente = gAppUtils.getDBSetting(QStringLiteral("DEFAULT_CLIENTE_VENTAS"));
    ui->txtCliente->setText(cliente);
    ui->dc_cliente->setBoundText(cliente);
}

void Frm_T_AltaVentas::Usr_CalculaVuelto()
{
    if (ui->txtTotal->text().isEmpty())
        return;
    // A payment typed as a plain number is shown as the amounts are.
    bool ok = false;
    const double pago = Formatos::tecleado(ui->fpPago->text(), &ok);
    if (ok)
        ui->fpPago->setText(Formatos::importe(pago));
    ui->txtVuelto->setText(Formatos::importe(pago - Formatos::tecleado(ui->txtTotal->text())));
}

void Frm_T_AltaVentas::lineaEditada(int col, int row)
{
    if (col != kCantidad && col != kPrecio)
        return;
    Grid *g = ui->vaSpread;
    bool okCantidad = false, okPrecio = false;
    const double cantidad = Formatos::tecleado(g->text(kCantidad, row), &okCantidad);
    const double precio = Formatos::tecleado(g->text(kPrecio, row), &okPrecio);
    if (!okCantidad || !okPrecio || cantidad <= 0 || precio < 0) {
        // The edited cell gets back what it held, so the line stays as it
        // was and is never saved with a quantity of 0 or less.
        g->deshacerEdicion();
        m_lineaRechazada = true;
        const bool numero = col == kCantidad ? okCantidad : okPrecio;
        MsgBox(numero ? QStringLiteral("Debe ingresar un número mayor a 0")
                      : QStringLiteral("Debe ingresar un número válido"),
               vb::Exclamation);
        return;
    }
    g->setText(kCantidad, row, Formatos::importe(cantidad));
    g->setText(kPrecio, row, Formatos::importe(precio));
    g->setText(kTotal, row, Formatos::importe(cantidad * precio));
    Usr_Total();
}

bool Frm_T_AltaVentas::terminarEdicionAceptada()
{
    m_lineaRechazada = false;
    ui->vaSpread->terminarEdicion();
    return !m_lineaRechazada;
}

void Frm_T_AltaVentas::agregar()
{
    auto *dlg = Ventanas::obtener<Frm_T_AltaVentasAnexo>();
    dlg->setVenta(this);
    dlg->Tag = QStringLiteral("NEW");
    Modal::mostrar(dlg);
}

void Frm_T_AltaVentas::eliminar()
{
    if (Usr_EliminaLinea(ui->vaSpread))
        Usr_Total();
}

bool Frm_T_AltaVentas::Usr_ValidaDatos()
{
    bool clienteOk = false;
    ui->txtCliente->text().trimmed().toLongLong(&clienteOk);
    if (!clienteOk) {
        MsgBox(QStringLiteral("Debe ingresar Cliente."), vb::Exclamation);
        ui->txtCliente->setFocus();
        return false;
    }
    if (ui->vaSpread->MaxRows() == 0) {
        MsgBox(QStringLiteral("No hay productos cargados."), vb::Exclamation);
        return false;
    }
    bool pagoOk = false;
    const double pago = Formatos::tecleado(ui->fpPago->text(), &pagoOk);
    if (!pagoOk) {
        MsgBox(QStringLiteral("Debe ingresar un número válido"), vb::Exclamation);
        ui->fpPago->setFocus();
        return false;
    }
    if (centavos(Formatos::tecleado(ui->txtTotal->text())) > centavos(pago)) {
        MsgBox(QStringLiteral("El pago no puede ser menor al total."), vb::Exclamation);
        ui->fpPago->setFocus();
        return false;
    }
    return true;
}

qint64 Frm_T_AltaVentas::Usr_GrabaVenta()
{
    Grid *g = ui->vaSpread;
    dbVentas::Venta v;
    v.clientes_id = ui->txtCliente->text().trimmed().toLongLong();
    v.importe_total = Formatos::tecleado(ui->txtTotal->text());
    v.comentarios = ui->txtCom->text();
    v.t_usuarios_codigo = gUsuarioActual;
    for (int r = 1; r <= g->MaxRows(); ++r)
        v.lineas.append({g->text(kCodigo, r), Formatos::tecleado(g->text(kCantidad, r)),
                         Formatos::tecleado(g->text(kPrecio, r)), Formatos::tecleado(g->text(kCosto, r))});
    try {
        Transaccion t(*gConexion);
        const qint64 id = dbVentas::grabar(v);
        t.commit();
        return id;
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return 0;
    }
}

void Frm_T_AltaVentas::cmdGuarda_Click()
{
    // A quantity still being typed (or typed and not checked yet) is checked
    // first; a refused one stops the saving.
    if (!terminarEdicionAceptada() || !Usr_ValidaDatos())
        return;
    const qint64 id = Usr_GrabaVenta();
    if (id == 0)
        return;
    // The ticket tells what was handed over and the change as the screen shows
    // them (worked out again, for a payment typed and saved with F6).
    Usr_CalculaVuelto();
    const CobroVenta cobro{Formatos::tecleado(ui->fpPago->text()), Formatos::tecleado(ui->txtVuelto->text())};
    MsgBox(QStringLiteral("Se ha almacenado la venta correctamente."), vb::Information);
    // Both options show the ticket in the preview; printing is done from there.
    if (ui->chkPrint->isChecked() || ui->optPrev->isChecked())
        ImprimirTicketVenta(QString::number(id), cobro);
    Usr_LimpiaDatos();
}

void Frm_T_AltaVentas::keyPressEvent(QKeyEvent *e)
{
    // A key pressed while a cell is being edited acts on what was typed.
    const bool aceptada = e->key() < Qt::Key_F5 || e->key() > Qt::Key_F8 || terminarEdicionAceptada();
    switch (e->key()) {
    case Qt::Key_F5: Usr_LimpiaDatos(); break;
    case Qt::Key_F6:
        if (aceptada && ui->cmdGuarda->isEnabled())
            cmdGuarda_Click();
        break;
    case Qt::Key_F7: agregar(); break;
    case Qt::Key_F8: eliminar(); break;
    default: Formulario::keyPressEvent(e); return;
    }
    e->accept();
}
