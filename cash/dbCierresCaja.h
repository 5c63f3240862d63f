#pragma once
// The list of cash registers (caja_cabeza) by state, days and user, and the
// names a closing's PDF file and mail take.
#include "db/Conexion.h"

#include <QDate>
#include <QDateTime>
#include <QString>

namespace dbCierresCaja {

enum class Estado { Ambas, Abierta, Cerrada };

// Every column of the registers opened from desde at 00:00:00 to hasta at
// 23:59:59 in state estado, of user usuario (every user when it is empty),
// by opening moment.
Recordset listado(Estado estado, const QDate &desde, const QDate &hasta, const QString &usuario);

// File name of the closing's PDF: the club's name (characters a file name
// may not hold, slashes among them, turned into "-"), "_", the closing day as
// yyyy_MM_dd (nothing for an open register) and ".pdf". Two closings of one
// day share it.
QString nombrePdf(const QString &club, const QDateTime &cierre);

// Subject of the closing's mail: "Informe Caja N° id - closing moment - club".
QString asunto(const QString &id, const QString &cierre, const QString &club);

} // namespace dbCierresCaja
