#include "Frm_M_Stock.h"
#include "ui_Frm_M_Stock.h"

#include "AppUtils.h"
#include "Frm_M_StockAnexo.h"
#include "Module.h"
#include "dbStock.h"
#include "platform/Aperturas.h"
#include "platform/Formatos.h"
#include "platform/GridAyudas.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

namespace {
enum Columna { kBoton = 1, kCodigo, kDescripcion, kCantidad };
}

Frm_M_Stock::Frm_M_Stock(QWidget *parent) : Formulario(parent), ui(std::make_unique<Ui::Frm_M_Stock>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_M_Stock"));
    ui->Combo->addItems({QStringLiteral("Ingreso"), QStringLiteral("Egreso")});

    Grid *g = ui->vaSpread;
    g->setMaxCols(kCantidad);
    g->setText(kCodigo, 0, QStringLiteral("Código"));
    g->setText(kDescripcion, 0, QStringLiteral("Descripción"));
    g->setText(kCantidad, 0, QStringLiteral("Cantidad"));
    g->setColumnButton(kBoton);
    g->setColumnWidth(kBoton, 30);
    g->setColumnWidth(kCodigo, 100);
    g->setColumnWidth(kDescripcion, 320);
    g->setColumnWidth(kCantidad, 110);
    g->setColumnFormat(kCantidad, Formatos::kImporte);
    g->setHeaderSort(Grid::OrdenCabecera::Ascendente, kCodigo);
    Aperturas::conectar(g, &Grid::buttonClicked, this, &Frm_M_Stock::botonGrilla);

    Aperturas::conectar(ui->Command_0, &QPushButton::clicked, this, &Frm_M_Stock::Usr_LimpiaPantalla);
    Aperturas::conectar(ui->Command_1, &QPushButton::clicked, this, &Frm_M_Stock::guardar);
    Aperturas::conectar(ui->Command_2, &QPushButton::clicked, this, &Frm_M_Stock::agregar);
    Aperturas::conectar(ui->Command_3, &QPushButton::clicked, this, &Frm_M_Stock::eliminar);

    Usr_LimpiaPantalla();
    // Asked once: a register opened later enables saving when the window is
    // opened again.
    const bool caja = gAppUtils.hayCajaIniciada();
    ui->Command_1->setEnabled(caja);
    if (!caja)
        MsgBox(QStringLiteral("Deberá iniciar una caja con su usuario para poder registrar ventas."), vb::Information);
}

Frm_M_Stock::~Frm_M_Stock() = default;

Grid *Frm_M_Stock::grilla() const { return ui->vaSpread; }

void Frm_M_Stock::Usr_LimpiaPantalla()
{
    ui->Combo->setCurrentIndex(0);
    ui->txtObsv->clear();
    ui->vaSpread->setMaxRows(0);
    ui->dtpFecha->setDate(Reloj::hoy());
}

void Frm_M_Stock::Usr_AgregaLinea(const QString &codigo, const QString &descripcion, double cantidad)
{
    Grid *g = ui->vaSpread;
    const int fila = g->appendRow({QString(), codigo, descripcion});
    g->setNumber(kCantidad, fila, cantidad);
}

void Frm_M_Stock::Usr_CambiaCantidad(double cantidad)
{
    const int fila = ui->vaSpread->ActiveRow();
    if (fila >= 1 && fila <= ui->vaSpread->MaxRows())
        ui->vaSpread->setNumber(kCantidad, fila, cantidad);
}

bool Frm_M_Stock::Usr_ValidaDatos()
{
    // Both checks run: with neither a type nor a line the user hears of both.
    bool ok = true;
    if (ui->Combo->currentText().isEmpty()) {
        MsgBox(QStringLiteral("Debe seleccionar el tipo de movimiento"), vb::Exclamation);
        ui->Combo->setFocus();
        ok = false;
    }
    if (ui->vaSpread->MaxRows() == 0) {
        MsgBox(QStringLiteral("No hay movimientos cargados."), vb::Exclamation);
        ok = false;
    }
    return ok;
}

bool Frm_M_Stock::Usr_GrabaMovimientos()
{
    Grid *g = ui->vaSpread;
    QList<dbStock::Linea> lineas;
    for (int r = 1; r <= g->MaxRows(); ++r)
        lineas.append({g->text(kCodigo, r), g->number(kCantidad, r)});
    try {
        Transaccion t(*gConexion);
        dbStock::grabarManual(ui->Combo->currentText(), ui->txtObsv->text(), gUsuarioActual, lineas);
        t.commit();
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return false;
    }
    Usr_LimpiaPantalla();
    return true;
}

void Frm_M_Stock::guardar()
{
    if (Usr_ValidaDatos() && Usr_GrabaMovimientos())
        MsgBox(QStringLiteral("Se ha grabado el movimiento de Stock correctamente."), vb::Information);
}

void Frm_M_Stock::agregar()
{
    auto *dlg = Ventanas::obtener<Frm_M_StockAnexo>();
    dlg->setMovimiento(this);
    dlg->Tag = QStringLiteral("NEW");
    Modal::mostrar(dlg);
}

void Frm_M_Stock::eliminar() { Usr_EliminaLinea(ui->vaSpread); }

void Frm_M_Stock::Usr_CargaAnexo(int row)
{
    ui->vaSpread->setActiveCell(kCantidad, row);
    auto *dlg = Ventanas::obtener<Frm_M_StockAnexo>();
    dlg->setMovimiento(this);
    dlg->Tag = QStringLiteral("MOD");
    dlg->Usr_CargaLinea(ui->vaSpread->text(kCodigo, row), ui->vaSpread->text(kCantidad, row));
    Modal::mostrar(dlg);
}

void Frm_M_Stock::botonGrilla(int col, int row)
{
    if (col == kBoton && row >= 1)
        Usr_CargaAnexo(row);
}
