#include "Frm_L_MovimientosStock.h"
#include "ui_Frm_L_MovimientosStock.h"

#include "dbStock.h"
#include "platform/Aperturas.h"
#include "platform/Formatos.h"
#include "platform/GridAyudas.h"
#include "platform/Reloj.h"

namespace {
enum Columna { kId = 1, kFecha, kCodigo, kDescripcion, kOrigen, kVenta, kCantidad, kUsuario, kComentarios };
}

Frm_L_MovimientosStock::Frm_L_MovimientosStock(QWidget *parent)
    : Formulario(parent), ui(std::make_unique<Ui::Frm_L_MovimientosStock>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_L_MovimientosStock"));
    Grid *g = ui->vaSpread;
    const QStringList titulos{
        QStringLiteral("Id"),          QStringLiteral("Fecha / hora"),      QStringLiteral("Código"),
        QStringLiteral("Descripción"), QStringLiteral("Origen movimiento"), QStringLiteral("Venta Id"),
        QStringLiteral("Cantidad"),    QStringLiteral("Usuario"),           QStringLiteral("Comentarios")};
    g->setMaxCols(titulos.size());
    g->setRowTexts(0, titulos);
    const int anchos[] = {60, 140, 80, 220, 120, 70, 90, 90, 220};
    for (int c = kId; c <= kComentarios; ++c)
        g->setColumnWidth(c, anchos[c - 1]);
    g->setColumnFormat(kCantidad, Formatos::kImporte);
    g->setColumnAlignment(kId, Qt::AlignRight);
    g->setColumnAlignment(kVenta, Qt::AlignRight);

    Aperturas::conectar(ui->cmdActualiza, &QPushButton::clicked, this, &Frm_L_MovimientosStock::Usr_LlenaGrilla);
    Aperturas::conectar(ui->cmdCerrar, &QPushButton::clicked, this, &Formulario::descargar);
    Aperturas::conectar(ui->toExcel, &QPushButton::clicked, this,
                        [this] { clsSpread().exportToExcel(ui->vaSpread, true, false, QString()); });

    Usr_Inicializa();
    Usr_LlenaGrilla();
}

Frm_L_MovimientosStock::~Frm_L_MovimientosStock() = default;

Grid *Frm_L_MovimientosStock::grilla() const { return ui->vaSpread; }

void Frm_L_MovimientosStock::Usr_Inicializa()
{
    ui->fDesde->setDate(Reloj::hoy());
    ui->fHasta->setDate(Reloj::hoy());
    ui->vaSpread->setMaxRows(0);
}

void Frm_L_MovimientosStock::Usr_LlenaGrilla()
{
    Grid *g = ui->vaSpread;
    g->setMaxRows(0);
    for (Recordset rs = dbStock::movimientos(ui->fDesde->date(), ui->fHasta->date()); !rs.eof(); rs.moveNext()) {
        const QString venta = rs.texto(QStringLiteral("ventas_id"));
        const int fila = g->appendRow(
            {rs.texto(QStringLiteral("id")), Formatos::momento(rs.campo(QStringLiteral("fecha")).fechaHora()),
             rs.texto(QStringLiteral("productos_id")), rs.texto(QStringLiteral("producto_desc")),
             venta.isEmpty() ? QStringLiteral("manual") : QStringLiteral("venta"), venta});
        g->setNumber(kCantidad, fila, rs.campo(QStringLiteral("cantidad")).numero());
        g->setText(kUsuario, fila, rs.texto(QStringLiteral("t_usuarios_codigo")));
        g->setText(kComentarios, fila, rs.texto(QStringLiteral("comentarios")));
    }
}
