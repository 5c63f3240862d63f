#include "Conexion.h"

#include "MotorPostgresql.h"
#include "MotorSqlcipher.h"

#include <QCryptographicHash>

DbError::DbError(int numero, const QString &descripcion)
    : std::runtime_error(descripcion.toStdString()), m_numero(numero), m_descripcion(descripcion)
{}

QString DbError::mensaje() const
{
    return QStringLiteral("Error: ") + QString::number(m_numero) + QStringLiteral(" - ") + m_descripcion;
}

// ---------------------------------------------------------------- Conexion

Conexion::Conexion(std::unique_ptr<Motor> motor, QString ruta) : m_motor(std::move(motor)), m_ruta(std::move(ruta)) {}

Conexion::~Conexion() = default;

Conexion *Conexion::abrir(const QString &ruta, const QString &clave)
{
    return new Conexion(MotorSqlcipher::abrir(ruta, clave), ruta);
}

Conexion *Conexion::crear(const QString &ruta, const QString &clave)
{
    return new Conexion(MotorSqlcipher::crear(ruta, clave), ruta);
}

Conexion *Conexion::abrirServidor(const DatosServidor &d) { return new Conexion(MotorPostgresql::abrir(d), d.base); }

bool Conexion::esServidor() const { return m_motor->tipo() == TipoMotor::Postgresql; }

sqlite3 *Conexion::handle() const { return m_motor->sqlite(); }

void Conexion::comprobarTransaccion() const
{
    // A write now would be committed on its own, outside the operation the
    // caller believes it is in; or, after a failed statement the engine
    // keeps nothing of, never committed at all.
    if (m_enTransaccion && (m_motor->transaccionPerdida() || m_motor->transaccionFallida()))
        throw m_motor->errorTransaccionPerdida();
}

Motor &Conexion::motor() const
{
    // Nothing of an operation goes with a connection lost between
    // operations; one lost inside a transaction is told to the operation,
    // and made again only once the operation has ended.
    if (!m_enTransaccion)
        m_motor->reanudar();
    return *m_motor;
}

int Conexion::execute(const QString &sql, const Parametros &valores)
{
    comprobarTransaccion();
    return motor().ejecutar(sql, valores);
}

Recordset Conexion::openRecordset(const QString &sql, const Parametros &valores, const TiposColumnas &tipos)
{
    Recordset rs;
    motor().consultar(sql, valores, rs);
    for (auto it = tipos.cbegin(); it != tipos.cend(); ++it) {
        // A misspelt name would silently leave the column untyped.
        const int i = rs.indice(it.key());
        if (i < 0)
            throw DbError(3265, QStringLiteral("No se encontró el elemento en esta colección: %1").arg(it.key()));
        rs.m_tipos[i] = it.value();
    }
    return rs;
}

void Conexion::leerPorBloques(const QString &sql, const Parametros &valores, int filas,
                              const std::function<void(Recordset &)> &cadaBloque)
{
    if (filas < 1)
        throw DbError(3000, QStringLiteral("Un bloque de filas no puede estar vacío."));
    motor().consultarPorBloques(sql, valores, filas, cadaBloque);
}

void Conexion::executeScript(const QString &sql) { motor().ejecutarGuion(sql); }

void Conexion::beginTrans()
{
    if (m_enTransaccion)
        throw DbError(3000, QStringLiteral("Ya hay una transacción abierta en la conexión."));
    execute(Dialecto::inicioTransaccion(m_motor->tipo()));
    m_enTransaccion = true;
    m_puntos = 0;
}

void Conexion::commitTrans()
{
    if (!m_enTransaccion)
        throw DbError(3034, QStringLiteral("Se intentó confirmar sin una transacción abierta."));
    if (m_puntos != 0)
        throw DbError(3034, QStringLiteral("Se intentó confirmar con una parte de la transacción aún abierta."));
    execute(QStringLiteral("COMMIT"));
    m_enTransaccion = false;
}

void Conexion::rollbackTrans()
{
    if (!m_enTransaccion)
        throw DbError(3034, QStringLiteral("Se intentó deshacer sin una transacción abierta."));
    m_enTransaccion = false;
    m_puntos = 0;
    if (!m_motor->transaccionPerdida())
        m_motor->ejecutar(QStringLiteral("ROLLBACK"), {});
}

// Savepoint names are made here from a number, never from outside text.
static QString nombrePunto(int punto) { return QStringLiteral("punto_%1").arg(punto); }

int Conexion::abrirPunto()
{
    execute(QStringLiteral("SAVEPOINT ") + nombrePunto(m_puntos + 1));
    return ++m_puntos;
}

void Conexion::liberarPunto(int punto)
{
    if (!m_enTransaccion || punto != m_puntos)
        throw DbError(3034,
                      QStringLiteral("Se intentó confirmar una parte de una transacción que ya no está abierta."));
    execute(QStringLiteral("RELEASE SAVEPOINT ") + nombrePunto(punto));
    --m_puntos;
}

void Conexion::volverAPunto(int punto)
{
    if (!m_enTransaccion || punto != m_puntos)
        return;
    --m_puntos;
    // Nothing to undo when the engine already abandoned the transaction.
    if (m_motor->transaccionPerdida())
        return;
    try {
        m_motor->ejecutar(QStringLiteral("ROLLBACK TO SAVEPOINT ") + nombrePunto(punto), {});
        m_motor->ejecutar(QStringLiteral("RELEASE SAVEPOINT ") + nombrePunto(punto), {});
    } catch (...) {
        // The inner work could not be undone alone: abandon the whole
        // transaction rather than let the outer commit keep it.
        m_motor->abandonar();
        throw;
    }
}

qint64 Conexion::lastInsertId() const { return m_motor->ultimoId(); }

void Conexion::checkpoint()
{
    if (m_enTransaccion)
        throw DbError(3000, QStringLiteral("No se puede consolidar la base con una transacción abierta."));
    motor().consolidar();
}

void Conexion::compactar()
{
    if (m_enTransaccion)
        throw DbError(3000, QStringLiteral("La base no se puede compactar con una transacción abierta."));
    motor().compactar();
}

void Conexion::vaciarSinDisparadores(const QString &tabla)
{
    if (!m_enTransaccion)
        throw DbError(3000, QStringLiteral("Vaciar la tabla '%1' necesita una transacción abierta.").arg(tabla));
    m_motor->vaciarSinDisparadores(tabla);
}

std::unique_ptr<CopiasDeBase> Conexion::copias(const QString &clave) { return motor().copias(*this, clave); }

void Conexion::bloquear(const QString &nombre)
{
    // Held until the transaction ends: outside one it would end at once.
    if (!m_enTransaccion)
        throw DbError(3000, QStringLiteral("El bloqueo '%1' necesita una transacción abierta.").arg(nombre));
    const QString sentencia = Dialecto::bloqueoTransaccion(m_motor->tipo());
    if (sentencia.isEmpty())
        return;
    // The lock's number: the same name gives the same one at every station.
    const QByteArray resumen = QCryptographicHash::hash(nombre.toUtf8(), QCryptographicHash::Sha1);
    qint64 numero = 0;
    for (int i = 0; i < 8; ++i)
        numero = (numero << 8) | static_cast<unsigned char>(resumen.at(i));
    execute(sentencia, {numero});
}

QStringList Conexion::tablas() const { return motor().tablas(); }

bool Conexion::existeTabla(const QString &tabla) const { return existeColumna(tabla, QString()); }

bool Conexion::existeColumna(const QString &tabla, const QString &columna) const
{
    const QStringList nombres = columnas(tabla);
    return !nombres.isEmpty() && (columna.isEmpty() || nombres.contains(columna.toLower()));
}

QStringList Conexion::columnas(const QString &tabla) const
{
    const QString clave = tabla.toLower();
    const auto it = m_columnas.constFind(clave);
    if (it != m_columnas.cend())
        return *it;
    const QStringList nombres = motor().columnas(tabla);
    if (!nombres.isEmpty())
        m_columnas.insert(clave, nombres);
    return nombres;
}

QString Conexion::nombreEnSentencia(const QString &nombre) { return Dialecto::identificador(nombre.toLower()); }

// ---------------------------------------------------------------- Transaccion

Transaccion::Transaccion(Conexion &c) : m_c(c)
{
    if (m_c.enTransaccion())
        m_punto = m_c.abrirPunto();
    else
        m_c.beginTrans();
}

Transaccion::~Transaccion()
{
    if (m_terminada || !m_c.enTransaccion())
        return;
    try {
        if (m_punto == 0)
            m_c.rollbackTrans();
        else
            m_c.volverAPunto(m_punto);
    } catch (...) {
        // A destructor must not throw; the outermost guard still rolls back.
    }
}

void Transaccion::commit()
{
    if (m_punto == 0)
        m_c.commitTrans();
    else
        m_c.liberarPunto(m_punto);
    m_terminada = true;
}

// ---------------------------------------------------------------- Carga

Carga::Carga(Conexion &c, const QString &tabla, const QStringList &columnas) : m_c(c), m_columnas(columnas.size())
{
    if (columnas.isEmpty())
        throw DbError(3000, QStringLiteral("Una carga necesita al menos una columna."));
    m_c.comprobarTransaccion();
    m_c.motor().iniciarCarga(tabla, columnas);
}

Carga::~Carga()
{
    if (m_abierta)
        m_c.m_motor->terminarCarga(false);
}

void Carga::anadir(const Parametros &valores)
{
    if (!m_abierta || valores.size() % m_columnas != 0)
        throw DbError(
            3061,
            QStringLiteral("Se esperaban filas de %1 valores y se recibieron %2.").arg(m_columnas).arg(valores.size()));
    m_c.m_motor->cargar(valores);
}

void Carga::terminar()
{
    m_abierta = false;
    m_c.m_motor->terminarCarga(true);
}

// ---------------------------------------------------------------- SinEsperarDisco

SinEsperarDisco::SinEsperarDisco(Conexion &c) : m_c(c), m_activo(!c.enTransaccion())
{
    if (m_activo)
        m_c.motor().esperarDisco(false);
}

SinEsperarDisco::~SinEsperarDisco()
{
    if (!m_activo)
        return;
    try {
        m_c.m_motor->esperarDisco(true);
    } catch (...) {
    }
}
