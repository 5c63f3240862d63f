#pragma once
// Statements of the product catalogue (productos).
#include "db/Conexion.h"

namespace dbProductos {

struct Producto {
    QString id;
    QString descripcion;
    double precio_compra = 0;
    double precio_venta = 0;
    QString comentarios;
    int activo = 1;
};

// Every product whose code or description holds criterio (all when it is
// empty), in the Spanish order of the description: id, descripcion,
// precio_compra, precio_venta, existencia, comentarios, activo.
Recordset lista(const QString &criterio);
// True when a product has this code (letter case ignored, as the key).
bool existe(const QString &id);
// Adds a product; its stock starts at the column's default, 0.
void insertar(const Producto &p);
// Rewrites every column of product p.id but the code and the stock; false
// when no product has that code any more.
bool modificar(const Producto &p);
// Deletes the product; sale lines and stock movements keep its code.
void eliminar(const QString &id);

// Active products for the sale-line picker, in the Spanish order of the
// description: id, descripcion. With words, only those whose description
// holds every word, or whose code holds every word; an empty word matches
// everything.
Recordset activos(const QStringList &palabras = {});
// Sale price, cost and stock of product id: precio_venta, precio_compra,
// existencia; no row when there is no such product.
Recordset precios(const QString &id);

} // namespace dbProductos
