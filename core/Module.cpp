#include "Module.h"

#include "db/Esquema.h"
#include "platform/CarpetaPrograma.h"

Conexion *gConexion = nullptr;
QString gRutaBase;
QString gClaveBase;
QString gCadenaConexion;
QString gUsuarioActual;
QString gSucursal;
QString gSql;
Recordset gRs;

void fijarRutasBase()
{
    gClaveBase = Esquema::claveBase();
    gRutaBase = CarpetaPrograma::archivo(QStringLiteral("db_main.mdb"));
    gCadenaConexion = gRutaBase + QStringLiteral("; Jet OLEDB:Database Password=") + gClaveBase + QStringLiteral("; ");
}

void abrirConexion()
{
    cerrarConexion();
    if (gRutaBase.isEmpty())
        fijarRutasBase();
    gConexion = Conexion::abrir(gRutaBase, gClaveBase);
}

void cerrarConexion()
{
    gRs = Recordset();
    delete gConexion;
    gConexion = nullptr;
}
