#include "ConfigPrograma.h"

#include "platform/CarpetaPrograma.h"

#include <QSettings>

namespace {
QString leer(const QString &clave)
{
    QSettings ini(ConfigPrograma::archivo(), QSettings::IniFormat);
    const QString v = ini.value(QStringLiteral("soporte/") + clave).toString().trimmed();
    if (!v.isEmpty())
        return v;
    return QStringLiteral("sin configurar (club.ini, sección [soporte], clave %1)").arg(clave);
}
} // namespace

QString ConfigPrograma::archivo() { return CarpetaPrograma::archivo(QStringLiteral("club.ini")); }

QString ConfigPrograma::soporteTelefono() { return leer(QStringLiteral("telefono")); }
QString ConfigPrograma::soporteMensajeria() { return leer(QStringLiteral("mensajeria")); }
QString ConfigPrograma::soporteEmail() { return leer(QStringLiteral("email")); }
