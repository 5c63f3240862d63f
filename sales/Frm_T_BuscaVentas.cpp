#include "Frm_T_BuscaVentas.h"
#include "ui_Frm_T_BuscaVentas.h"

#include "InterfazReportes.h"
#include "InterfazVentas.h"
#include "Module.h"
#include "dbVentas.h"
#include "platform/Aperturas.h"
#include "platform/Formatos.h"
#include "platform/Mensajes.h"
#include "platform/Reloj.h"

namespace {
enum Columna { kDoc = 1, kCliente, kNombre, kFecha, kImporte, kAnulacion, kComentarios };
const QString kEnCierre = QStringLiteral("No es posible anular una venta incluida en un cierre de caja.");
} // namespace

Frm_T_BuscaVentas::Frm_T_BuscaVentas(QWidget *parent)
    : Formulario(parent), ui(std::make_unique<Ui::Frm_T_BuscaVentas>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_T_BuscaVentas"));
    Grid *g = ui->vaSpread;
    const QStringList titulos{QStringLiteral("Doc Num"),       QStringLiteral("Código Cliente"),
                              QStringLiteral("Cliente Desc"),  QStringLiteral("Fecha"),
                              QStringLiteral("Importe Total"), QStringLiteral("Fecha Anulación"),
                              QStringLiteral("Comentarios")};
    g->setMaxCols(titulos.size());
    for (int c = 0; c < titulos.size(); ++c)
        g->setText(c + 1, 0, titulos[c]);
    const int anchos[] = {70, 100, 200, 140, 110, 110, 220};
    for (int c = 0; c < titulos.size(); ++c)
        g->setColumnWidth(c + 1, anchos[c]);
    g->setMaxRows(0);

    InterfazVentas::enlazarCliente(ui->txtCliente, ui->dc_cliente);
    Aperturas::conectar(ui->cmdActualizar, &QPushButton::clicked, this, &Frm_T_BuscaVentas::cmdActualizar_Click);
    Aperturas::conectar(ui->cmdImprimir, &QPushButton::clicked, this, &Frm_T_BuscaVentas::cmdImprimir_Click);
    Aperturas::conectar(ui->btnAnular, &QPushButton::clicked, this, [this] {
        if (Usr_PuedeAnular())
            Usr_AnularVenta();
    });
    Aperturas::conectar(ui->cmdCerrar, &QPushButton::clicked, this, &Formulario::descargar);

    Usr_Totales();
    Usr_LimpiaFiltros();
    ui->chkTodas->setChecked(true);
    cmdActualizar_Click();
}

Frm_T_BuscaVentas::~Frm_T_BuscaVentas() = default;

QPushButton *Frm_T_BuscaVentas::btnAnular() const { return ui->btnAnular; }

Grid *Frm_T_BuscaVentas::grilla() const { return ui->vaSpread; }

int Frm_T_BuscaVentas::filaActiva() const
{
    const int fila = ui->vaSpread->ActiveRow();
    return fila >= 1 && fila <= ui->vaSpread->MaxRows() ? fila : 0;
}

int Frm_T_BuscaVentas::filaElegida() const
{
    const int fila = filaActiva();
    if (fila == 0)
        MsgBox(QStringLiteral("No hay una venta elegida en la lista."), vb::Exclamation);
    return fila;
}

void Frm_T_BuscaVentas::cmdActualizar_Click()
{
    if (Usr_ValidaDatos())
        Usr_LlenaGrilla();
    else
        Usr_LimpiaFiltros();
    Usr_Totales();
}

bool Frm_T_BuscaVentas::Usr_ValidaDatos()
{
    if (!ui->chkTodas->isChecked() && ui->txtCliente->text().trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Debe seleccionar el Cliente."), vb::Exclamation);
        ui->txtCliente->setFocus();
        return false;
    }
    return true;
}

void Frm_T_BuscaVentas::Usr_LimpiaFiltros()
{
    ui->txtCliente->clear();
    ui->dc_cliente->setBoundText(QString());
    ui->dtpDesde->setDate(Reloj::hoy());
    ui->dtpHasta->setDate(Reloj::hoy());
    ui->txtTotal->setText(Formatos::importe(0));
    ui->vaSpread->setMaxRows(0);
}

void Frm_T_BuscaVentas::Usr_LlenaGrilla()
{
    std::optional<qint64> cliente;
    if (!ui->chkTodas->isChecked())
        cliente = ui->txtCliente->text().trimmed().toLongLong();
    Grid *g = ui->vaSpread;
    g->setMaxRows(0);
    try {
        for (Recordset rs = dbVentas::listado(ui->dtpDesde->date(), ui->dtpHasta->date(), cliente); !rs.eof();
             rs.moveNext()) {
            const int fila = g->MaxRows() + 1;
            g->setMaxRows(fila);
            const QDate anulada = rs.campo(QStringLiteral("fecha_anulacion")).fecha();
            g->setText(kDoc, fila, rs.texto(QStringLiteral("id")));
            g->setText(kCliente, fila, rs.texto(QStringLiteral("clientes_id")));
            g->setText(kNombre, fila, rs.texto(QStringLiteral("nombre")));
            g->setText(kFecha, fila, Formatos::momento(rs.campo(QStringLiteral("fecha")).fechaHora()));
            g->setText(kImporte, fila, Formatos::importe(rs.campo(QStringLiteral("importe_total")).numero()));
            g->setText(kAnulacion, fila, Formatos::fecha(anulada));
            g->setText(kComentarios, fila, rs.texto(QStringLiteral("comentarios")));
            if (anulada.isValid())
                g->setRowBackColor(fila, colorVB(255));
        }
        // The first sale is the chosen one until the user picks another, so
        // Imprimir and Eliminar act without a click first.
        if (g->MaxRows() > 0)
            g->setActiveCell(kDoc, 1);
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
}

void Frm_T_BuscaVentas::Usr_Totales()
{
    double suma = 0;
    for (int r = 1; r <= ui->vaSpread->MaxRows(); ++r)
        suma += Formatos::tecleado(ui->vaSpread->text(kImporte, r));
    ui->txtTotal->setText(Formatos::importe(suma));
}

void Frm_T_BuscaVentas::cmdImprimir_Click()
{
    const int fila = filaElegida();
    if (fila == 0)
        return;
    if (MsgBox(QStringLiteral("Se imprimirá la factura. ¿Desea continuar?"), vb::YesNo | vb::Question) == vb::No)
        return;
    ImprimirTicketVenta(ui->vaSpread->text(kDoc, fila));
}

bool Frm_T_BuscaVentas::Usr_PuedeAnular()
{
    const int fila = filaElegida();
    if (fila == 0)
        return false;
    try {
        if (dbVentas::arqueoDe(ui->vaSpread->text(kDoc, fila).toLongLong()) != 0) {
            MsgBox(kEnCierre, vb::Exclamation);
            return false;
        }
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        return false;
    }
    return true;
}

void Frm_T_BuscaVentas::Usr_AnularVenta()
{
    const int fila = filaActiva();
    if (fila == 0)
        return;
    const QString motivo =
        InputBox(QStringLiteral("Describa el motivo de anulación de la factura"), QStringLiteral("Anular Factura"));
    if (motivo.isEmpty()) {
        MsgBox(QStringLiteral("Debe ingresar un motivo de anulación"), vb::Exclamation);
        return;
    }
    ui->vaSpread->setText(kComentarios, fila, motivo);
    QDate anulada;
    bool enCierre = false;
    try {
        anulada = Usr_Update(&enCierre);
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
        Usr_LlenaGrilla();
        Usr_Totales();
        return;
    }
    Usr_LlenaGrilla();
    Usr_Totales();
    if (enCierre)
        MsgBox(kEnCierre, vb::Exclamation);
    else if (anulada.isValid())
        MsgBox(QStringLiteral("La factura fue anulada el día ") + Formatos::fecha(anulada), vb::Exclamation);
    else
        MsgBox(QStringLiteral("Se ha anulado la factura"), vb::Information);
}

QDate Frm_T_BuscaVentas::Usr_Update(bool *enCierre)
{
    const int fila = filaActiva();
    if (fila == 0)
        return {};
    const dbVentas::Anulacion a =
        dbVentas::anular(ui->vaSpread->text(kDoc, fila).toLongLong(), ui->vaSpread->text(kComentarios, fila),
                         gUsuarioActual, Reloj::ahora());
    if (enCierre)
        *enCierre = a.cierre != 0;
    return a.anuladaEl;
}
