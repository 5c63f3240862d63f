#pragma once
// Sales written straight into the tables, and reading reports back, for the
// tests of the report engine and the tickets.
#include "support/Entorno.h"

#include <QMdiArea>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace ayuda {

// The program's world with a main area the preview window opens in, and the
// report templates installed.
class EntornoConVistaPrevia : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        instalarPlantillas();
        area.resize(1000, 700);
        area.show();
        Ventanas::fijarArea(&area);
    }
    void TearDown() override
    {
        Entorno::TearDown();
        Ventanas::fijarArea(nullptr);
    }

    QMdiArea area;
};

struct LineaVenta {
    QString producto;
    double cantidad;
    double precio;
};

// A sale of client 1 at fecha with its lines; total = sum of the lines,
// paid pagado (the total when negative). Products are created as needed.
inline qint64 insertarVenta(Conexion &db, const QString &fecha, const std::vector<LineaVenta> &lineas,
                            double pagado = -1, const QString &usuario = QStringLiteral("admin"))
{
    double total = 0;
    for (const auto &l : lineas)
        total += l.cantidad * l.precio;
    db.execute(QStringLiteral("INSERT INTO ventas (fecha, clientes_id, importe_total, importe_pagado, comentarios, "
                              "t_usuarios_codigo) VALUES (?, 1, ?, ?, '', ?)"),
               {fecha, total, pagado < 0 ? total : pagado, usuario});
    const qint64 id = db.lastInsertId();
    for (const auto &l : lineas) {
        db.execute(QStringLiteral("INSERT OR IGNORE INTO productos (id, descripcion, precio_compra, precio_venta) "
                                  "VALUES (?, ?, ?, ?)"),
                   {l.producto, QStringLiteral("Producto ") + l.producto, l.precio / 2, l.precio});
        db.execute(QStringLiteral("INSERT INTO ventas_items (ventas_id, productos_id, cantidad, precio_unitario, "
                                  "precio_compra) VALUES (?, ?, ?, ?, ?)"),
                   {id, l.producto, l.cantidad, l.precio, l.precio / 2});
    }
    return id;
}

// The text of a PDF file (pdftotext from poppler-utils); "" when it cannot be read.
inline QString textoPdf(const QString &archivo)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), archivo, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace ayuda
