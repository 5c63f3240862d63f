#include "Module.h"

#include "ConfigPrograma.h"
#include "db/Dialecto.h"
#include "db/Esquema.h"
#include "platform/CarpetaPrograma.h"
#include "platform/Formatos.h"

#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <memory>
#include <sqlite3.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

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

void retenerMemoriaLiberada()
{
#ifdef __GLIBC__
    // Blocks up to 32 MB come from the heap, and up to 64 MB of free heap
    // stay with the program.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

void devolverMemoriaLiberada()
{
    // The pages the engine keeps of what the window read go too: the next
    // window reads its own.
    if (sqlite3 *db = gConexion ? gConexion->handle() : nullptr)
        sqlite3_db_release_memory(db);
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void abrirConexion()
{
    cerrarConexion();
    if (gRutaBase.isEmpty())
        fijarRutasBase();
    DatosServidor servidor;
    std::unique_ptr<Conexion> c(ConfigPrograma::baseEnServidor(servidor) ? Conexion::abrirServidor(servidor)
                                                                         : Conexion::abrir(gRutaBase, gClaveBase));
    // A file made by an earlier version gets the indexes, triggers and
    // counts the statements of this one count on.
    Esquema::actualizar(*c);
    gConexion = c.release();
}

// A database of a newer version than this program's (Esquema::actualizar).
static QString actualizarElPrograma()
{
    return QStringLiteral("Instale en este equipo la versión del programa que usa esa base de datos (la de las demás "
                          "estaciones, o una más nueva) y vuelva a iniciarlo.");
}

QString textoErrorAlAbrirBase(const DbError &error, const QString &ruta)
{
    // A file that exists but cannot be opened also reports 3024: only a
    // file that is really absent gets the "not found" advice.
    if (!QFileInfo::exists(ruta))
        return QStringLiteral("No se encontró la base de datos:\n%1\n\nCréela con la herramienta de instalación "
                              "(crear_base) o ejecutando scripts/run, y vuelva a iniciar el programa.")
            .arg(ruta);
    QString consejo;
    switch (error.numero()) {
    case 3041: consejo = actualizarElPrograma(); break;
    case 3027:
        consejo = QStringLiteral("El archivo es de sólo lectura: el programa necesita modificarlo. Dé permiso de "
                                 "escritura sobre el archivo a este usuario y vuelva a iniciar el programa.");
        break;
    case 3026:
        consejo = QStringLiteral("El disco está lleno. Libere espacio en el disco donde está el archivo y vuelva "
                                 "a iniciar el programa.");
        break;
    case 3043:
        consejo = QStringLiteral("El disco no pudo leer o escribir el archivo. Verifique el disco (o la unidad de "
                                 "red) donde está el archivo y vuelva a iniciar el programa.");
        break;
    default:
        consejo = QStringLiteral("Verifique que el archivo sea una base de datos de este programa y no esté dañado.");
        break;
    }
    return QStringLiteral("No se pudo abrir la base de datos:\n%1\n\nError: %2 - %3\n\n%4")
        .arg(ruta)
        .arg(error.numero())
        .arg(error.descripcion(), consejo);
}

QString textoErrorAlAbrirBase(const DbError &error, const DatosServidor &d)
{
    QString servidor = d.host.isEmpty() ? QStringLiteral("localhost") : d.host;
    if (!d.puerto.isEmpty())
        servidor += QLatin1Char(':') + d.puerto;
    QString base = QStringLiteral("'%1' del servidor %2").arg(d.base, servidor);
    if (!d.esquema.isEmpty())
        base += QStringLiteral(" (esquema '%1')").arg(d.esquema);
    QString consejo;
    switch (error.numero()) {
    case 3041: consejo = actualizarElPrograma(); break;
    case 3260: consejo = QStringLiteral("Espere a que la otra estación termine y vuelva a iniciar el programa."); break;
    case 3024:
        consejo = QStringLiteral("Verifique que el servidor esté en marcha y se pueda llegar a él desde este equipo, "
                                 "que la base exista (créela con crear_base --servidor) y que el usuario y su clave "
                                 "(archivo .pgpass) sean los de club.ini, y vuelva a iniciar el programa.");
        break;
    case 3033:
    case 3027:
        consejo = QStringLiteral("El usuario no tiene permiso sobre la base de datos. Pida al administrador del "
                                 "servidor que se lo dé y vuelva a iniciar el programa.");
        break;
    case 3026:
        consejo = QStringLiteral("El disco del servidor está lleno. Libere espacio en el servidor y vuelva a iniciar "
                                 "el programa.");
        break;
    default:
        consejo = QStringLiteral("Verifique que la base del servidor haya sido creada para este programa con "
                                 "crear_base --servidor.");
        break;
    }
    return QStringLiteral("No se pudo abrir la base de datos %1\n\nError: %2 - %3\n\n%4")
        .arg(base)
        .arg(error.numero())
        .arg(error.descripcion(), consejo);
}

void cerrarConexion()
{
    gRs = Recordset();
    delete gConexion;
    gConexion = nullptr;
}

// ---------------------------------------------------------------- counters

qint64 ProximoNumero(const QString &id) { return ProximoNumero(*gConexion, id); }

qint64 ProximoNumero(Conexion &c, const QString &id)
{
    // Advance, then read, in the caller's transaction (or one of its own):
    // the advance locks the counter's row, so a station numbering at the
    // same time waits for this one's commit and never reads the same
    // number; a rolled-back caller hands the number out again next time.
    Transaccion t(c);
    if (c.execute(QStringLiteral("UPDATE t_numeradores SET numero_siguiente = numero_siguiente + 1 "
                                 "WHERE id = ?"),
                  {id}) == 0)
        throw DbError(3021, QStringLiteral("No existe el numerador '%1'.").arg(id));
    Recordset rs = c.openRecordset(QStringLiteral("SELECT * FROM t_numeradores WHERE id = ?"), {id});
    const qint64 numero = rs.campo(QStringLiteral("numero_siguiente")).entero() - 1;
    t.commit();
    return numero;
}

void bloquearCajasAbiertas(Conexion &c, const QStringList &usuarios)
{
    // Held until the transaction ends: outside one it would end at once.
    if (!c.enTransaccion())
        throw DbError(3000, QStringLiteral("El bloqueo de las cajas necesita una transacción abierta."));
    QMap<QString, QString> orden;
    for (const QString &u : usuarios)
        if (!u.isEmpty() && !orden.contains(u.toLower()))
            orden.insert(u.toLower(), u);
    // A write that changes nothing holds the rows on both engines (on the
    // file the transaction already keeps every other writer out).
    for (const QString &u : std::as_const(orden))
        c.execute(QStringLiteral("UPDATE caja_cabeza SET t_usuarios_codigo = t_usuarios_codigo "
                                 "WHERE t_usuarios_codigo = ? AND fecha_hora_cierre IS NULL"),
                  {u});
}

void bloquearCajasDe(Conexion &c, const QString &consulta, const Parametros &valores, QStringList usuarios)
{
    for (Recordset rs = c.openRecordset(consulta, valores); !rs.eof(); rs.moveNext())
        usuarios << rs.texto(0);
    bloquearCajasAbiertas(c, usuarios);
}

// ---------------------------------------------------------------- fields

QVariant ValorCampo(const Campo &campo)
{
    if (!campo.esNulo())
        return campo.valor();
    switch (campo.tipo()) {
    // integer, text, binary and variant types
    case 2:
    case 3:
    case 8:
    case 12:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
    case 129:
    case 130:
    case 200:
    case 201:
    case 202:
    case 203:
    case 204:
    case 205: return QString();
    // date types: the 0 of the original date type, read as a date
    case 7:
    case 133: return fechaCero();
    case 135: return QDateTime(fechaCero(), QTime(0, 0));
    // single, double, currency, Boolean, decimal, numeric, time types
    case 4:
    case 5:
    case 6:
    case 11:
    case 14:
    case 131:
    case 134: return 0;
    default: return QVariant();
    }
}

namespace {

// The field as the program shows it: dates and moments day-first; a stored
// text that is not a date is shown as it is.
QString textoMostrado(const Campo &c)
{
    if (c.tipo() == TipoCampo::Fecha && c.fecha().isValid())
        return Formatos::fecha(c.fecha());
    if (c.tipo() == TipoCampo::FechaHora && c.fechaHora().isValid())
        return Formatos::momento(c.fechaHora());
    return c.texto();
}

} // namespace

QString BuscarValor(const QString &tabla, const QString &campoClave, const QString &valorClave,
                    const QString &campoResultado, bool esNumerico)
{
    // Names reach the statement text only after the schema knows them.
    if (!gConexion->existeTabla(tabla))
        throw DbError(3078, QStringLiteral("No se encuentra la tabla '%1'.").arg(tabla));
    for (const QString &col : {campoClave, campoResultado})
        if (!gConexion->existeColumna(tabla, col))
            throw DbError(3265, QStringLiteral("No se encontró el elemento en esta colección: %1").arg(col));

    QVariant clave = valorClave;
    if (esNumerico) {
        bool ok = false;
        const QString t = valorClave.trimmed();
        const qlonglong entero = t.toLongLong(&ok);
        if (ok) {
            clave = entero;
        } else {
            const double d = QLocale::c().toDouble(t, &ok);
            if (!ok)
                throw DbError(3464, QStringLiteral("No coinciden los tipos de datos en la expresión de criterios."));
            clave = d;
        }
    }
    const QString sql = QStringLiteral("SELECT ") + Conexion::nombreEnSentencia(campoResultado) +
                        QStringLiteral(" AS Valor FROM ") + Conexion::nombreEnSentencia(tabla) +
                        QStringLiteral(" WHERE ") + Conexion::nombreEnSentencia(campoClave) + QStringLiteral(" = ?");
    Recordset rs = gConexion->openRecordset(sql, {clave});
    return rs.eof() ? QString() : textoMostrado(rs.campo(0));
}

// ---------------------------------------------------------------- texts

QString QuitarCaracter(QString &texto, const QString &caracter)
{
    if (!caracter.isEmpty())
        texto.remove(caracter, Qt::CaseSensitive);
    return texto;
}

int SoloNumeros(int &KeyAscii)
{
    const bool digito = KeyAscii >= '0' && KeyAscii <= '9';
    if (!digito && KeyAscii != 8 && KeyAscii != 46 && KeyAscii != 45)
        KeyAscii = 0;
    return KeyAscii;
}

namespace {

// Windows-1252 codes 128 to 159 as Unicode. The five codes the code page
// leaves unassigned (129, 141, 143, 144, 157) stand for the control
// characters of the same number, as Windows itself converts them.
constexpr char16_t kCp1252Alto[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Windows-1252 code of c, or -1 when the code page has no such character.
int codigoCp1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kCp1252Alto[i] == c)
            return 0x80 + i;
    return -1;
}

char16_t caracterCp1252(int codigo)
{
    return (codigo >= 0x80 && codigo < 0xA0) ? kCp1252Alto[codigo - 0x80] : static_cast<char16_t>(codigo);
}

} // namespace

QString CodificaTexto(QString &texto)
{
    // Below 128 add 128, above 128 subtract 128, and 128 <-> 0: that is the
    // top bit flipped, so the mapping is its own inverse over all 256 codes.
    // Characters outside Windows-1252 stay as they are (also their own inverse).
    for (QChar &ch : texto) {
        const int codigo = codigoCp1252(ch.unicode());
        if (codigo >= 0)
            ch = QChar(caracterCp1252(codigo ^ 0x80));
    }
    return texto;
}
