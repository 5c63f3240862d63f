#include "Frm_M_CajaArqueDetalle.h"
#include "ui_Frm_M_CajaArqueDetalle.h"

#include "Frm_M_CajaArqueo.h"
#include "InterfazModule.h"
#include "Module.h"
#include "dbArqueo.h"
#include "db_caja_resumen_operaciones.h"
#include "platform/Aperturas.h"
#include "platform/Formatos.h"
#include "platform/Mensajes.h"

namespace {
enum Columna { kId = 1, kFecha, kConcepto, kImporte, kComentarios, kClase };
}

Frm_M_CajaArqueDetalle::Frm_M_CajaArqueDetalle(QWidget *parent)
    : Dialogo(parent), ui(std::make_unique<Ui::Frm_M_CajaArqueDetalle>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frm_M_CajaArqueDetalle"));
    Grid *g = ui->vaSpread;
    g->setMaxCols(kClase);
    g->setRowTexts(0, {QStringLiteral("Id"), QStringLiteral("Fecha / hora"), QStringLiteral("Concepto"),
                       QStringLiteral("Importe"), QStringLiteral("Comentarios"), QStringLiteral("Clase Mov")});
    // The moment column takes a whole "dd/mm/yyyy hh:mm:ss".
    const int anchos[] = {50, 150, 200, 90, 160, 70};
    for (int c = kId; c <= kClase; ++c)
        g->setColumnWidth(c, anchos[c - 1]);
    g->setColumnFormat(kImporte, Formatos::kImporte);
    Aperturas::conectar(g, &Grid::clicked, this, &Frm_M_CajaArqueDetalle::clicGrilla);
    Aperturas::conectar(ui->cmdDel, &QPushButton::clicked, this, &Frm_M_CajaArqueDetalle::eliminar);
    Aperturas::conectar(ui->cmdCerrar, &QPushButton::clicked, this, &Dialogo::descargar);
    ui->cmdDel->setEnabled(false);
}

Frm_M_CajaArqueDetalle::~Frm_M_CajaArqueDetalle() = default;

Grid *Frm_M_CajaArqueDetalle::grilla() const { return ui->vaSpread; }

void Frm_M_CajaArqueDetalle::Usr_Carga(Frm_M_CajaArqueo *arqueo)
{
    m_caja = arqueo->cajaId();
    m_usuario = arqueo->usuario();
    try {
        if (pClaseMov == 2)
            Usr_LlenaMovimientos();
        else
            Usr_LlenaOperaciones();
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
    Usr_CalculaTotal();
}

void Frm_M_CajaArqueDetalle::Usr_LlenaMovimientos()
{
    Grid *g = ui->vaSpread;
    g->setMaxRows(0);
    for (Recordset rs = dbArqueo::movimientos(m_caja, m_usuario); !rs.eof(); rs.moveNext()) {
        const int fila = g->appendRow({rs.texto(QStringLiteral("id")),
                                       Formatos::momento(rs.campo(QStringLiteral("fecha_hora")).fechaHora()),
                                       rs.texto(QStringLiteral("caja_conceptos_descripcion"))});
        g->setNumber(kImporte, fila, rs.campo(QStringLiteral("importe")).numero());
        g->setText(kComentarios, fila, rs.texto(QStringLiteral("comentarios")));
        g->setText(kClase, fila, rs.texto(QStringLiteral("mov_tipo")));
    }
}

void Frm_M_CajaArqueDetalle::Usr_LlenaOperaciones()
{
    Grid *g = ui->vaSpread;
    g->setMaxRows(0);
    // Without a register shown there is nothing to rebuild nor list.
    if (m_caja.isEmpty())
        return;
    db_caja_resumen_operaciones().cargaDatosOperaciones(m_usuario);
    for (Recordset rs = dbArqueo::resumenOperaciones(m_caja); !rs.eof(); rs.moveNext()) {
        const int fila = g->appendRow({rs.texto(QStringLiteral("id")),
                                       Formatos::momento(rs.campo(QStringLiteral("operacion_fecha")).fechaHora()),
                                       rs.texto(QStringLiteral("descripcion")) + QLatin1Char('(') +
                                           rs.texto(QStringLiteral("operacion_id")) + QLatin1Char(')')});
        g->setNumber(kImporte, fila, rs.campo(QStringLiteral("importe")).numero());
        g->setText(kComentarios, fila, rs.texto(QStringLiteral("comentarios")));
        g->setText(kClase, fila, rs.texto(QStringLiteral("caja_conceptos_id")));
    }
}

void Frm_M_CajaArqueDetalle::Usr_CalculaTotal()
{
    double total = 0;
    for (int r = 1; r <= ui->vaSpread->MaxRows(); ++r)
        total += ui->vaSpread->number(kImporte, r);
    ui->labTotal->setText(Formatos::importe(total));
}

void Frm_M_CajaArqueDetalle::clicGrilla(int col, int row)
{
    if (col != 0 || row < 1)
        return;
    ui->vaSpread->setActiveCell(1, row);
    const QString clase = ui->vaSpread->text(kClase, row);
    ui->cmdDel->setEnabled(clase == QLatin1String("ING") || clase == QLatin1String("EGR"));
}

void Frm_M_CajaArqueDetalle::eliminar()
{
    const int fila = ui->vaSpread->ActiveRow();
    const QString id = ui->vaSpread->text(kId, fila);
    if (fila < 1 || id.isEmpty() || !Confirmar(QStringLiteral("¿Elimina registro %1?").arg(id)))
        return;
    try {
        dbArqueo::borrarMovimiento(id.toLongLong());
        Usr_LlenaMovimientos();
    } catch (const DbError &e) {
        MsgBox(e.mensaje(), vb::Critical);
    }
    ui->cmdDel->setEnabled(false);
    Usr_CalculaTotal();
}
