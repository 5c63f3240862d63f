#pragma once
// One row of the key/value settings table t_configuraciones.
#include "db/Conexion.h"

#include <QString>

class dbConfiguraciones {
public:
    QString m_Codigo;
    QString m_descripcion;
    QString m_Valor;

    // Writes the row for xCod, replacing the previous one, inside the
    // caller's transaction when there is one; the old row stays when the
    // write fails. Database errors reach the caller (DbError).
    void save(const QString &xCod, const QString &xDesc, const QString &xValor);
    // The stored value of xCod; "" when the key has no row. Database errors
    // reach the caller (DbError).
    QString getValor(const QString &xCod);
    // Rows of the default-client pickers: id, and nombre shown as
    // "name - telephone" (a client without one is listed all the same), by number.
    static Recordset clientes();
};
