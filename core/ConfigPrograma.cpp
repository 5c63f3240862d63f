#include "ConfigPrograma.h"

#include "platform/CarpetaPrograma.h"

#include <QSettings>

namespace {
QString valor(const QString &clave)
{
    QSettings ini(ConfigPrograma::archivo(), QSettings::IniFormat);
    return ini.value(clave).toString().trimmed();
}

QString leer(const QString &clave)
{
    const QString v = valor(QStringLiteral("soporte/") + clave);
    if (!v.isEmpty())
        return v;
    return QStringLiteral("sin configurar (club.ini, sección [soporte], clave %1)").arg(clave);
}
} // namespace

QString ConfigPrograma::archivo() { return CarpetaPrograma::archivo(QStringLiteral("club.ini")); }

QString ConfigPrograma::soporteTelefono() { return leer(QStringLiteral("telefono")); }
QString ConfigPrograma::soporteMensajeria() { return leer(QStringLiteral("mensajeria")); }
QString ConfigPrograma::soporteEmail() { return leer(QStringLiteral("email")); }

QString ConfigPrograma::servidorCorreo()
{
    const QString v = valor(QStringLiteral("correo/servidor"));
    return v.isEmpty() ? QStringLiteral("smtp.gmail.com") : v;
}

QString ConfigPrograma::puertoCorreo()
{
    const QString v = valor(QStringLiteral("correo/puerto"));
    return v.isEmpty() ? QStringLiteral("465") : v;
}

QString ConfigPrograma::certificadosCorreo() { return valor(QStringLiteral("correo/certificados")); }
