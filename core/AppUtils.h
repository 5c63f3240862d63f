#pragma once
// Shared utilities of the whole program; one instance, gAppUtils.
#include "db/Conexion.h"
#include "platform/Formatos.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <functional>

class DataCombo;

class AppUtils {
public:
    // True when the current user (gUsuarioActual) has an open cash register.
    // The cash subsystem answers it (see fijarConsultaCaja); without one
    // registered no register is open.
    bool hayCajaIniciada();
    // Sets the question "which open register has this user" ("" for none),
    // registered by the cash subsystem at start-up.
    using ConsultaCaja = std::function<QString(const QString &usuario)>;
    static void fijarConsultaCaja(ConsultaCaja consulta);
    // Makes the rows of the data function filas the picker's row source (its
    // shown field and key field stay as the picker was designed). Windows
    // library only.
    void cargaDataComboFromRecordSet(DataCombo *xCombo, std::function<Recordset()> filas);
    // xFecha as "mm/dd/yyyy".
    QString formatoFechaAccess(const QDate &xFecha);
    // Same as ValorCampo.
    QVariant sanitizeDbNull(const Campo &xCampo);
    // Stored value of a setting; "" when the key has no row.
    QString getDBSetting(const QString &xCodigo);
    // Tool-bar permission: true for the current user "admin" (exactly so),
    // otherwise when t_opcionesasignadas holds (xUsuarioCod, xOpcionMenu).
    bool checkTienePermiso(const QString &xUsuarioCod, const QString &xOpcionMenu);
    // Last / first day of the month of Fecha (a date, a moment, or a text
    // Formatos::aFecha reads: stored ISO or day-first); the zero date
    // (1899-12-30) when Fecha is not a date.
    QDate lastDayOfMonth(const QVariant &Fecha);
    QDate firstDayOfMonth(const QVariant &Fecha);
    // Opens a document or address with its associated program
    // (Escritorio::abrir): siFalla runs, at once or later, when the desktop
    // could not open it; false when that is known at once. Windows library only.
    bool openURL(const QString &xUrl, std::function<void()> siFalla = {});
    // Checks the regional settings and fixes them, telling the user.
    void chequearConfigRegional();
    // Replaces the log file's content with one line:
    // date, " ", time, " - ", xCodigo, ":", xDescripcion.
    void writeLog(const QString &xCodigo, const QString &xDescripcion);
};

extern AppUtils gAppUtils;
