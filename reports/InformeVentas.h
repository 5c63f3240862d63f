#pragma once
// The sales and profitability figures of a user's report, kept in the work
// table tmp_informe_ventas: one row per product sold in the range, with its
// units, cost, sales, margin and share of the user's total margin.
#include <QDate>
#include <QString>

namespace InformeVentas {

// Rebuilds usuario's rows from the sale lines of the days desde to hasta
// (00:00:00 to 23:59:59), in one transaction: on a DbError the user's
// previous rows stay as they were. A product whose units add up to 0 gets
// no row; shares are 0 when the margins add up to 0. Other users' rows are
// never touched.
void generar(const QString &usuario, const QDate &desde, const QDate &hasta);

} // namespace InformeVentas
