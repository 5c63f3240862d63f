#include "CarpetaPrograma.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

namespace {
QString g_carpeta;
}

QString CarpetaPrograma::ruta()
{
    if (!g_carpeta.isEmpty())
        return g_carpeta;
    const QString env = qEnvironmentVariable("CLUB_CARPETA");
    if (!env.isEmpty())
        return QDir(env).absolutePath();
    return QCoreApplication::applicationDirPath();
}

void CarpetaPrograma::fijar(const QString &carpeta)
{
    g_carpeta = carpeta.isEmpty() ? QString() : QDir(carpeta).absolutePath();
}

void CarpetaPrograma::desdeArgumentos(const QStringList &args)
{
    const int i = args.indexOf(QStringLiteral("--carpeta"));
    if (i >= 0 && i + 1 < args.size())
        fijar(args.at(i + 1));
}

QString CarpetaPrograma::archivo(const QString &relativa) { return QDir(ruta()).filePath(relativa); }
