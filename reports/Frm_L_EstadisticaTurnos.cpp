#include "Frm_L_EstadisticaTurnos.h"

#include "ConsultasInformes.h"
#include "platform/Grid.h"
#include "platform/Mensajes.h"

#include <QBoxLayout>
#include <QLabel>

namespace {
enum Columna { kId = 1, kDescripcion, kTurnos, kMonto };
}

Frm_L_EstadisticaTurnos::Frm_L_EstadisticaTurnos(QWidget *parent) : Frm_L_InformeGrilla(parent)
{
    setObjectName(QStringLiteral("Frm_L_EstadisticaTurnos"));
    construir(QStringLiteral("Estadistica turnos / alquileres"), QStringLiteral("dtpDesde"), QStringLiteral("dtpHasta"),
              {QStringLiteral("Id"), QStringLiteral("Descripcion"), QStringLiteral("Total Turnos"),
               QStringLiteral("Total Monto")},
              [] { return Ventanas::obtener<Frm_L_EstadisticaTurnosAnexo>(); });
    Grid *g = grilla();
    g->setColumnWidth(kId, 90);
    g->setColumnWidth(kDescripcion, 280);
    g->setColumnWidth(kTurnos, 110);
    g->setColumnWidth(kMonto, 130);
    g->setColumnFormat(kTurnos, Formatos::kEntero);
    g->setColumnFormat(kMonto, Formatos::kImporte);

    auto *totales = new QHBoxLayout;
    totales->addStretch();
    totales->addWidget(new QLabel(QStringLiteral("TOTALES:"), this));
    m_totalTurnos = new QLabel(this);
    m_totalTurnos->setObjectName(QStringLiteral("labTotalTurnos"));
    m_totalMonto = new QLabel(this);
    m_totalMonto->setObjectName(QStringLiteral("labTotalMonto"));
    for (QLabel *l : {m_totalTurnos, m_totalMonto}) {
        l->setMinimumWidth(110);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setFrameShape(QFrame::StyledPanel);
        totales->addWidget(l);
    }
    abajo()->addLayout(totales);
    resize(720, 520);

    // The window opens on its first preset, "Ultimos 3 meses", already filled.
    Usr_CargaPeriodos(PeriodosInforme::estadistica(), 0);
    Usr_LlenaGrilla();
}

void Frm_L_EstadisticaTurnos::Usr_LlenaGrilla()
{
    QList<ConsultasInformes::FilaTurnos> filas;
    if (!consultar([&] { filas = ConsultasInformes::turnosPorCancha(desde(), hasta()); }))
        return;
    Grid *g = grilla();
    g->setMaxRows(0);
    for (const auto &f : filas) {
        const int fila = g->appendRow({f.id, f.descripcion});
        g->setNumber(kTurnos, fila, static_cast<double>(f.cantidad));
        g->setNumber(kMonto, fila, f.importe);
    }
    Usr_Ordenar(kMonto, 0);
    Usr_Totales();
}

void Frm_L_EstadisticaTurnos::Usr_Totales()
{
    Grid *g = grilla();
    double turnos = 0;
    double monto = 0;
    for (int r = 1; r <= g->MaxRows(); ++r) {
        turnos += g->number(kTurnos, r);
        monto += g->number(kMonto, r);
    }
    m_totalTurnos->setText(Formatos::texto(turnos, Formatos::kEntero));
    m_totalMonto->setText(Formatos::importe(monto));
}
