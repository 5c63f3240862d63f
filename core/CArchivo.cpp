#include "CArchivo.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

// Position of the last "/" or "\" of a path, or -1.
qsizetype ultimoSeparador(const QString &ruta)
{
    return qMax(ruta.lastIndexOf(QLatin1Char('/')), ruta.lastIndexOf(QLatin1Char('\\')));
}

} // namespace

bool CArchivo::fallar(const QString &descripcion)
{
    m_error = descripcion;
    return false;
}

qint64 CArchivo::obtenerTamanioArchivo(const QString &ruta) const
{
    const QFileInfo f(ruta);
    if (!f.isFile())
        throw std::runtime_error(QStringLiteral("No se encontró el archivo %1").arg(ruta).toStdString());
    return f.size();
}

bool CArchivo::abrir(const QString &ruta, QIODevice::OpenMode modo)
{
    Cerrar();
    auto f = std::make_unique<QFile>(ruta);
    if (!f->open(modo | QIODevice::Text))
        return fallar(QStringLiteral("No se pudo abrir el archivo %1: %2").arg(ruta, f->errorString()));
    m_archivo = std::move(f);
    m_texto = std::make_unique<QTextStream>(m_archivo.get());
    m_nombre = ruta;
    return true;
}

bool CArchivo::Abrir_Escritura(const QString &ruta) { return abrir(ruta, QIODevice::WriteOnly | QIODevice::Truncate); }

bool CArchivo::Abrir_Agregar_Escritura(const QString &ruta)
{
    return abrir(ruta, QIODevice::WriteOnly | QIODevice::Append);
}

bool CArchivo::Abrir_Lectura(const QString &ruta) { return abrir(ruta, QIODevice::ReadOnly); }

bool CArchivo::Grabar(const QString &texto)
{
    if (!m_texto || !m_archivo->isWritable())
        return fallar(QStringLiteral("No hay un archivo abierto para escribir"));
    *m_texto << texto << '\n';
    m_texto->flush();
    if (m_texto->status() != QTextStream::Ok)
        return fallar(QStringLiteral("No se pudo escribir en %1: %2").arg(m_nombre, m_archivo->errorString()));
    return true;
}

bool CArchivo::findeArchivo() const { return !m_texto || !m_archivo->isReadable() || m_texto->atEnd(); }

QString CArchivo::leer()
{
    if (findeArchivo())
        return {};
    return m_texto->readLine();
}

void CArchivo::Cerrar()
{
    if (m_texto)
        m_texto->flush();
    m_texto.reset();
    m_archivo.reset();
}

bool CArchivo::Eliminar(const QString &ruta)
{
    QFile f(ruta);
    if (!f.exists())
        return true;
    f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
    if (!f.remove())
        return fallar(QStringLiteral("No se pudo eliminar %1: %2").arg(ruta, f.errorString()));
    return true;
}

bool CArchivo::ObtenerNombreDirectorio(const QString &ruta, QString &carpeta) const
{
    carpeta = ruta.left(ultimoSeparador(ruta) + 1);
    return true;
}

QString CArchivo::ObtenerNombreArchivo(const QString &ruta) const { return ruta.mid(ultimoSeparador(ruta) + 1); }

bool CArchivo::CopiarArchivo(const QString &pnom_File_porigen, const QString &pnom_file_destino)
{
    const QString &origen = pnom_File_porigen;
    const QString &destino = pnom_file_destino;
    if (!QFileInfo(origen).isFile())
        return fallar(QStringLiteral("No se encontró el archivo %1").arg(pnom_File_porigen));
    QFile entrada(origen);
    if (!entrada.open(QIODevice::ReadOnly))
        return fallar(QStringLiteral("No se pudo leer %1: %2").arg(pnom_File_porigen, entrada.errorString()));
    const QFileInfo info(destino);
    QTemporaryFile copia(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    if (!copia.open())
        return fallar(QStringLiteral("No se pudo escribir en %1: %2").arg(info.absolutePath(), copia.errorString()));
    char bloque[1 << 16];
    for (qint64 n; (n = entrada.read(bloque, sizeof bloque)) > 0;)
        if (copia.write(bloque, n) != n)
            return fallar(QStringLiteral("No se pudo copiar a %1: %2").arg(pnom_file_destino, copia.errorString()));
    if (entrada.error() != QFileDevice::NoError || !copia.flush())
        return fallar(QStringLiteral("No se pudo copiar %1: %2").arg(pnom_File_porigen, entrada.errorString()));
    copia.setPermissions(entrada.permissions());
    // rename() replaces the target in one step.
    if (std::rename(QFile::encodeName(copia.fileName()).constData(), QFile::encodeName(destino).constData()) != 0)
        return fallar(QStringLiteral("No se pudo reemplazar %1: %2")
                          .arg(pnom_file_destino, QString::fromLocal8Bit(std::strerror(errno))));
    copia.setAutoRemove(false);
    return true;
}

bool CArchivo::CrearCarpeta(const QString &pnom_carpeta)
{
    const QString &ruta = pnom_carpeta;
    if (QFileInfo(ruta).isDir())
        return true;
    if (!QFileInfo(QFileInfo(ruta).absolutePath()).isDir())
        return fallar(QStringLiteral("No se encontró la carpeta que contendría a %1").arg(pnom_carpeta));
    if (!QDir().mkdir(ruta))
        return fallar(QStringLiteral("No se pudo crear la carpeta %1").arg(pnom_carpeta));
    return true;
}

bool CArchivo::MoveFile(const QString &origen, const QString &destino)
{
    if (!QFileInfo(origen).isFile())
        return fallar(QStringLiteral("No se encontró el archivo %1").arg(origen));
    if (!Eliminar(destino))
        return false;
    QFile f(origen);
    if (f.rename(destino))
        return true;
    return fallar(QStringLiteral("No se pudo mover %1 a %2: %3").arg(origen, destino, f.errorString()));
}

bool CArchivo::CopyFile(const QString &origen, const QString &destino) { return CopiarArchivo(origen, destino); }

bool CArchivo::DeleteFile(const QString &ruta)
{
    if (!QFileInfo(ruta).isFile())
        return fallar(QStringLiteral("No se encontró el archivo %1").arg(ruta));
    return Eliminar(ruta);
}

bool CArchivo::FileExists(const QString &nom_Archivo) const { return QFileInfo(nom_Archivo).isFile(); }

std::unique_ptr<QFile> CArchivo::OpenTextFile(const QString &ruta, ModoTexto modo)
{
    auto f = std::make_unique<QFile>(ruta);
    QIODevice::OpenMode m = QIODevice::ReadOnly;
    if (modo == ParaEscribir)
        m = QIODevice::WriteOnly | QIODevice::Truncate;
    else if (modo == ParaAgregar)
        m = QIODevice::WriteOnly | QIODevice::Append;
    if (!f->open(m | QIODevice::Text)) {
        fallar(QStringLiteral("No se pudo abrir el archivo %1: %2").arg(ruta, f->errorString()));
        return nullptr;
    }
    return f;
}
