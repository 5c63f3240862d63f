#include "support/Entorno.h"

#include "db/Esquema.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Makes a file read-only for this process: its mode, and for root (whom the
// mode does not stop) the immutable flag. False when the file stays writable.
bool hacerSoloLectura(const QString &ruta, bool quitar = false)
{
    QFile::setPermissions(ruta, quitar ? QFile::ReadOwner | QFile::WriteOwner : QFile::ReadOwner);
    if (geteuid() == 0) {
        const int fd = ::open(QFile::encodeName(ruta).constData(), O_RDONLY);
        int flags = 0;
        if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = quitar ? (flags & ~FS_IMMUTABLE_FL) : (flags | FS_IMMUTABLE_FL);
            ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0)
            ::close(fd);
    }
    const int w = ::open(QFile::encodeName(ruta).constData(), O_RDWR);
    if (w >= 0)
        ::close(w);
    return w < 0;
}

using DiscoTest = Entorno;

TEST_F(DiscoTest, ArchivoDeSoloLecturaSeRechazaSinDejarRastro)
{
    const QString ruta = carpeta() + "/solo_lectura.mdb";
    Esquema::crearBase(ruta);
    if (!hacerSoloLectura(ruta))
        GTEST_SKIP() << "este sistema no deja hacer de sólo lectura un archivo";
    const QStringList antes = QDir(carpeta()).entryList(QDir::Files);
    const int numero = numeroDeError([&] { std::unique_ptr<Conexion> c(Conexion::abrir(ruta, Esquema::claveBase())); });
    const QStringList despues = QDir(carpeta()).entryList(QDir::Files);
    hacerSoloLectura(ruta, true);
    EXPECT_EQ(numero, 3027);
    EXPECT_EQ(despues, antes); // no -wal or -shm left behind
}

TEST_F(DiscoTest, DiscoLlenoEsError3026)
{
    // The log of a second database goes to a device that is always full.
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "sin /dev/full";
    const QString ruta = carpeta() + "/lleno.mdb";
    Esquema::crearBase(ruta);
    QFile::remove(ruta + "-wal");
    ASSERT_TRUE(QFile::link("/dev/full", ruta + "-wal"));
    int numero = 0;
    try {
        std::unique_ptr<Conexion> c(Conexion::abrir(ruta, Esquema::claveBase()));
        numero = numeroDeError([&] { c->execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H1', '9:00')"); });
    } catch (const DbError &e) {
        numero = e.numero(); // refused already while opening
    }
    EXPECT_EQ(numero, 3026);
}

} // namespace
