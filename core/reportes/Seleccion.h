#pragma once
// The record selection of a report, written as the printing code writes it:
// comparisons of a field with a literal joined by AND,
//   {ventas.id}=57
//   {tmp_informe_ventas.t_usuarios_codigo}='ana'
//   {caja_movimientos.fecha_hora} >= #2026/12/01 00:00:00# AND ...
// read into a condition whose values are bound. Fields are {table.column};
// operators = <> < > <= >=; literals are numbers, texts in single or double
// quotes (the quote doubled inside) and moments #yyyy/MM/dd[ HH:mm[:ss]]#,
// compared as the ISO text the database stores. A text compared with a
// numeric column counts as the number it spells; one that spells none sorts
// after every number.
#include "db/Conexion.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

struct CondicionSeleccion {
    QString sql = QStringLiteral("1=1"); // with one ? per value
    Parametros valores;
};

// Reads formula. An empty formula selects every row. A formula that cannot
// be read, or that names a table outside tablas or a column the table does
// not have, throws ErrorReporte (SeleccionInvalida) with a description;
// it never falls back to selecting everything.
CondicionSeleccion traducirSeleccion(const QString &formula, const QStringList &tablas, Conexion &conexion);

// Literals for building a formula from values: a text with its quotes
// doubled ('o''brien'), a moment #yyyy/MM/dd HH:mm:ss#.
namespace Formula {
QString texto(const QString &valor);
QString momento(const QDateTime &valor);
} // namespace Formula
