#include "InterfazModule.h"

#include "AppUtils.h"
#include "platform/DataCombo.h"
#include "platform/Escritorio.h"
#include "platform/Mensajes.h"

#include <QGuiApplication>

bool Confirmar(const QString &mensaje) { return MsgBox(mensaje, vb::YesNo + vb::Question) == vb::Yes; }

void CursorEspera(int modo)
{
    if (modo == 1) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (modo == 0) {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }
}

// ---------------------------------------------------------------- database errors

int ManejoErrorDB([[maybe_unused]] int &intentos, const QString &nombre, const DbError &error)
{
    const int n = error.numero();
    const QString numeroYDescripcion = QString::number(n) + QStringLiteral(" - ") + error.descripcion();
    QString mensaje;
    int resultado = 2;
    switch (n) {
    case 91: mensaje = QStringLiteral("No se pudo acceder a ") + nombre; break;
    case 3022: mensaje = QStringLiteral("Código de ") + nombre + QStringLiteral(" ya Ingresado "); break;
    case -2147217904:
        mensaje = numeroYDescripcion;
        resultado = 1;
        break;
    case 3033: mensaje = QStringLiteral("No tiene autorización "); break;
    case 3107:
        mensaje =
            QStringLiteral("El registro(s) no puede ser agregado, no tiene permiso para agregar datos en ") + nombre;
        break;
    case 3108:
        mensaje =
            QStringLiteral("El registro(s) no puede ser editado; no tiene permiso para modificar datos en ") + nombre;
        break;
    case 3109:
        mensaje =
            QStringLiteral("El registro(s) no puede ser eliminado; no tiene permiso para eliminar datos en ") + nombre;
        break;
    case 3112:
        mensaje = QStringLiteral("No es posible leer registro(s); no tiene permiso de lectura sobre ") + nombre;
        break;
    case 3260:
        // No automatic retry: the connection already waits for a lock before
        // it reports one, so the caller gives up and the user tries again.
        mensaje = QStringLiteral("No Fue Posible Realizar la Acción Seleccionada.\rReintente Nuevamente.");
        break;
    default:
        if ((n >= 2420 && n <= 2448) || (n >= 3000 && n <= 3599) || (n >= 3608 && n <= 3617)) {
            mensaje = numeroYDescripcion;
        } else {
            mensaje =
                nombre + QStringLiteral(" -  ") + QString::number(n) + QStringLiteral(" -  ") + error.descripcion();
            resultado = 3;
        }
        break;
    }
    MsgBox(mensaje, vb::Exclamation);
    return resultado;
}

// ---------------------------------------------------------------- AppUtils members that reach widgets

void AppUtils::cargaDataComboFromRecordSet(DataCombo *xCombo, std::function<Recordset()> filas)
{
    xCombo->cargar(std::move(filas));
}

bool AppUtils::openURL(const QString &xUrl, std::function<void()> siFalla)
{
    return Escritorio::abrir(xUrl, std::move(siFalla));
}
