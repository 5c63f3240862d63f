#include "Frm_L_RankingClientes.h"

#include "ConsultasInformes.h"
#include "platform/Grid.h"
#include "platform/Mensajes.h"

namespace {
enum Columna { kCodigo = 1, kNombre, kImporte };
}

Frm_L_RankingClientes::Frm_L_RankingClientes(QWidget *parent) : Frm_L_InformeGrilla(parent)
{
    setObjectName(QStringLiteral("Frm_L_RankingClientes"));
    construir(QStringLiteral("Ranking de clientes"), QStringLiteral("dtpDesde"), QStringLiteral("dtpHasta"),
              {QStringLiteral("Código"), QStringLiteral("Descripción"), QStringLiteral("Importe")},
              [] { return Ventanas::obtener<Frm_L_RankingClientesAnexo>(); });
    Grid *g = grilla();
    g->setColumnWidth(kCodigo, 90);
    g->setColumnWidth(kNombre, 320);
    g->setColumnWidth(kImporte, 130);
    g->setColumnFormat(kImporte, Formatos::kImporte);
    resize(700, 520);

    Usr_CargaPeriodos(PeriodosInforme::ranking(), 0);
    Usr_LlenaGrilla();
}

void Frm_L_RankingClientes::Usr_LlenaGrilla()
{
    QList<ConsultasInformes::FilaRanking> filas;
    if (!consultar([&] { filas = ConsultasInformes::rankingClientes(desde(), hasta()); }))
        return;
    Grid *g = grilla();
    g->setMaxRows(0);
    for (const auto &f : filas) {
        const int fila = g->appendRow({QString::number(f.id), f.nombre});
        g->setNumber(kImporte, fila, f.importe);
    }
    Usr_Ordenar(kImporte, 0);
}
