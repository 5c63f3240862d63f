#include "ArchivosPrivados.h"

#include <QFile>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

void ArchivosPrivados::desdeAhora()
{
#ifdef Q_OS_UNIX
    ::umask(077);
#endif
}

bool ArchivosPrivados::hacerPrivado(const QString &ruta)
{
    return QFile::setPermissions(ruta, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
