#include "ConfigPrograma.h"

#include "db/Conexion.h"
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

bool ConfigPrograma::baseEnServidor(DatosServidor &d) { return baseEnServidor(archivo(), d); }

bool ConfigPrograma::baseEnServidor(const QString &ini, DatosServidor &d)
{
    const QSettings s(ini, QSettings::IniFormat);
    const auto valor = [&s](const char *clave) { return s.value(QLatin1String(clave)).toString().trimmed(); };
    if (valor("base/motor").compare(QLatin1String("postgresql"), Qt::CaseInsensitive) != 0)
        return false;
    d.host = valor("base/host");
    d.puerto = valor("base/port");
    d.base = valor("base/database");
    d.usuario = valor("base/user");
    d.esquema = valor("base/schema");
    return true;
}
