#include "Mudanza.h"

#include "Conexion.h"
#include "Dialecto.h"
#include "Esquema.h"
#include "MotorSqlcipher.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLocale>
#include <QtEndian>
#include <cmath>
#include <memory>

namespace {

// Rows read from a table at a time.
constexpr int kFilasPorBloque = 5000;

QString nombre(const QString &n) { return Conexion::nombreEnSentencia(n); }

// The checksum of a table's rows: the sum of a hash of each row, made of its
// values in one form whatever engine they were read from (a whole number
// alike as integer or real), so the same rows read in any order give the
// same sum.
class Suma {
public:
    void anadir(const Recordset &rs)
    {
        m_fila.clear();
        for (int i = 0; i < rs.fieldCount(); ++i)
            anadirValor(rs.campo(i).valor());
        const QByteArray h = QCryptographicHash::hash(m_fila, QCryptographicHash::Md5);
        m_suma += qFromLittleEndian<quint64>(h.constData());
        ++m_filas;
    }
    qint64 filas() const { return m_filas; }
    QString texto() const { return QStringLiteral("%1").arg(m_suma, 16, 16, QLatin1Char('0')); }

private:
    void anadirValor(const QVariant &v)
    {
        if (v.isNull()) {
            m_fila += "n;";
            return;
        }
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Bool: numero(v.toLongLong()); return;
        case QMetaType::Double: {
            const double d = v.toDouble();
            if (std::trunc(d) == d && std::abs(d) < 9.0e15) {
                numero(static_cast<qint64>(d));
            } else {
                m_fila += 'd';
                m_fila += QByteArray::number(d, 'g', QLocale::FloatingPointShortest);
                m_fila += ';';
            }
            return;
        }
        case QMetaType::QByteArray: conLargo('b', v.toByteArray()); return;
        default: conLargo('t', v.toString().toUtf8()); return;
        }
    }
    void numero(qint64 n)
    {
        m_fila += 'i';
        m_fila += QByteArray::number(n);
        m_fila += ';';
    }
    void conLargo(char tipo, const QByteArray &datos)
    {
        m_fila += tipo;
        m_fila += QByteArray::number(datos.size());
        m_fila += ':';
        m_fila += datos;
    }

    QByteArray m_fila;
    quint64 m_suma = 0;
    qint64 m_filas = 0;
};

struct Tabla {
    QString nombre;
    QStringList columnas;
    Suma origen;
    Suma destino;
};

// The tables of origen with the columns they have, each checked against
// destino's schema, and how many rows they hold in all.
QList<Tabla> tablasACopiar(Conexion &origen, Conexion &destino, qint64 &total)
{
    QList<Tabla> l;
    for (const QString &t : origen.tablas()) {
        const QStringList columnas = origen.columnas(t);
        const QStringList tiene = destino.columnas(t);
        if (tiene.isEmpty())
            throw DbError(3265, QStringLiteral("La tabla %1 no existe en la base de destino.").arg(t));
        for (const QString &c : columnas)
            if (!tiene.contains(c))
                throw DbError(3265, QStringLiteral("La columna %1.%2 no existe en la base de destino.").arg(t, c));
        Tabla tabla;
        tabla.nombre = t;
        tabla.columnas = columnas;
        l.append(tabla);
        total += origen.openRecordset(QStringLiteral("SELECT count(*) FROM ") + nombre(t)).entero(0);
    }
    return l;
}

QString seleccion(const Tabla &t)
{
    QStringList columnas;
    for (const QString &c : t.columnas)
        columnas << nombre(c);
    return QStringLiteral("SELECT %1 FROM %2").arg(columnas.join(QLatin1Char(',')), nombre(t.nombre));
}

// The rows of t from origen into destino; t.origen sums each row as read.
// leidas is told the rows of each block once sent.
void copiarTabla(Conexion &origen, Conexion &destino, Tabla &t, const std::function<void(qint64)> &leidas)
{
    Carga carga(destino, t.nombre, t.columnas);
    Parametros valores;
    origen.leerPorBloques(seleccion(t), {}, kFilasPorBloque, [&](Recordset &rs) {
        valores.clear();
        valores.reserve(static_cast<qsizetype>(rs.recordCount()) * rs.fieldCount());
        for (; !rs.eof(); rs.moveNext()) {
            t.origen.anadir(rs);
            for (int i = 0; i < rs.fieldCount(); ++i)
                valores << rs.campo(i).valor();
        }
        carga.anadir(valores);
        leidas(rs.recordCount());
    });
    carga.terminar();
}

} // namespace

QList<Mudanza::Comparacion> Mudanza::copiar(Conexion &origen, Conexion &destino, const QString &esquema,
                                            const Informe &informe)
{
    Avance avance;
    const auto avisar = [&] {
        if (informe)
            informe(avance);
    };
    const auto sumar = [&](qint64 filas) {
        avance.hechas += filas;
        avisar();
    };
    // What is read is what one moment of origen holds: a station writing
    // meanwhile waits for the copy (on the file) or is not part of it.
    Transaccion lectura(origen);
    Transaccion escritura(destino);
    Esquema::crearTablas(destino, esquema);
    QList<Tabla> tablas = tablasACopiar(origen, destino, avance.total);
    for (Tabla &t : tablas) {
        avance.tabla = t.nombre;
        avisar();
        try {
            copiarTabla(origen, destino, t, sumar);
        } catch (const DbError &e) {
            throw DbError(e.numero(), QStringLiteral("%1 (tabla %2)").arg(e.descripcion(), t.nombre));
        }
    }

    avance.etapa = Avance::Completar;
    avance.tabla.clear();
    avisar();
    Esquema::actualizar(destino);

    avance.etapa = Avance::Comprobacion;
    avance.hechas = 0;
    QList<Comparacion> comparaciones;
    QStringList distintas;
    for (Tabla &t : tablas) {
        avance.tabla = t.nombre;
        avisar();
        destino.leerPorBloques(seleccion(t), {}, kFilasPorBloque, [&](Recordset &rs) {
            for (; !rs.eof(); rs.moveNext())
                t.destino.anadir(rs);
            sumar(rs.recordCount());
        });
        Comparacion c;
        c.tabla = t.nombre;
        c.filasOrigen = t.origen.filas();
        c.filasDestino = t.destino.filas();
        c.sumaOrigen = t.origen.texto();
        c.sumaDestino = t.destino.texto();
        c.recontada = Esquema::esRecuento(t.nombre);
        if (!c.igual() && !c.recontada)
            distintas << t.nombre;
        comparaciones.append(c);
    }
    if (!distintas.isEmpty())
        throw DbError(3000, QStringLiteral("Las tablas %1 no quedaron iguales en la base de destino; no se copió nada.")
                                .arg(distintas.join(QStringLiteral(", "))));
    escritura.commit();
    lectura.commit();
    return comparaciones;
}

QList<Mudanza::Comparacion> Mudanza::alServidor(const QString &ruta, const DatosServidor &d, const Informe &informe)
{
    // The server first: when it cannot be reached the file is not touched.
    std::unique_ptr<Conexion> servidor(Conexion::abrirServidor(d));
    std::unique_ptr<Conexion> archivo(Conexion::abrir(ruta, Esquema::claveBase()));
    Esquema::actualizar(*archivo);
    const QList<Comparacion> r = copiar(*archivo, *servidor, d.esquema, informe);
    if (informe) {
        Avance a;
        a.etapa = Avance::Estadisticas;
        informe(a);
    }
    // The statistics the planner needs, as a club in use has them.
    servidor->compactar();
    return r;
}

QList<Mudanza::Comparacion> Mudanza::alArchivo(const DatosServidor &d, const QString &ruta, const Informe &informe)
{
    std::unique_ptr<Conexion> servidor(Conexion::abrirServidor(d));
    Esquema::actualizar(*servidor);
    std::unique_ptr<Conexion> archivo(Conexion::crear(ruta, Esquema::claveBase()));
    try {
        return copiar(*servidor, *archivo, QString(), informe);
    } catch (...) {
        archivo.reset();
        MotorSqlcipher::borrarConLogs(ruta);
        throw;
    }
}
