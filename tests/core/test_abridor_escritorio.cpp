// Opening a file with the desktop's opener (xdg-open) that starts but fails,
// as on a machine without a desktop: the export of a grid report and the
// user manual tell where the file is once the opener has ended in failure,
// and nothing when it succeeded. A fake opener stands first in PATH.
#include "PruebaPrincipal.h"

#include "Frm_L_EstadisticaTurnos.h"
#include "RegistroInformes.h"
#include "platform/Aperturas.h"
#include "platform/Escritorio.h"
#include "platform/Grid.h"
#include "platform/Reloj.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

// An xdg-open of its own, first in PATH while alive, that writes down what
// it was asked to open and ends with the given exit status.
class AbridorFalso {
public:
    explicit AbridorFalso(int salida) : m_path(qgetenv("PATH"))
    {
        cambiar(salida);
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_path);
    }
    ~AbridorFalso() { qputenv("PATH", m_path); }
    void cambiar(int salida)
    {
        QFile f(m_dir.filePath("xdg-open"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '%1'\nexit %2\n")
                    .arg(m_dir.filePath("pedidos"))
                    .arg(salida)
                    .toUtf8());
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // No opener at all: PATH holds only an empty folder.
    void quitar()
    {
        QFile::remove(m_dir.filePath("xdg-open"));
        qputenv("PATH", QFile::encodeName(m_dir.path()));
    }
    // What the opener was asked to open, one call a line.
    QStringList pedidos() const
    {
        QFile f(m_dir.filePath("pedidos"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
};

// Waits, from the event loop, until every opener started has ended.
bool abridoresTerminados()
{
    return QTest::qWaitFor([] { return Escritorio::abridoresEnCurso() == 0; }, 20000);
}

class AbridorEscritorio : public PruebaPrincipal {
protected:
    void SetUp() override
    {
        PruebaPrincipal::SetUp();
        // The desktop as it is, not the recorded one.
        escritorio.reset();
    }
};

TEST_F(AbridorEscritorio, ExportarDiceDondeQuedoElLibroCuandoElAbridorFalla)
{
    registrarVentanasInformes();
    db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Central')");
    db().execute("INSERT INTO clientes (nombre) VALUES ('Ana')");
    db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, estado, importe_total) "
                 "VALUES (?, 'C1', ?, 'H1', 'COB', 1500)",
                 {db().lastInsertId(), Reloj::hoy().toString(Qt::ISODate)});
    ASSERT_TRUE(Aperturas::abrir("mnu_EstadisticaHorasOcupadas"));
    auto *w = Ventanas::existente<Frm_L_EstadisticaTurnos>();
    ASSERT_NE(w, nullptr);
    ASSERT_GE(w->findChild<Grid *>("vaSpread")->MaxRows(), 1);
    const QString aviso = "No hay un programa para abrir planillas de cálculo en este equipo. El libro se guardó en:\r";

    // Exit status 3: the opener found no program. The window did not wait
    // for it; the user is told once it has ended.
    AbridorFalso abridor(3);
    w->findChild<QPushButton *>("toExcel")->click();
    EXPECT_EQ(Escritorio::abridoresEnCurso(), 1);
    EXPECT_TRUE(msg->vacio());
    ASSERT_TRUE(abridoresTerminados());
    ASSERT_EQ(abridor.pedidos().size(), 1);
    const QString libro = abridor.pedidos()[0];
    EXPECT_TRUE(libro.endsWith(".xlsx"));
    EXPECT_TRUE(QFile::exists(libro));
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().prompt, aviso + QDir::toNativeSeparators(libro));
    EXPECT_EQ(msg->ultimo().icono(), vb::Information);
    QFile::remove(libro);

    // An opener that succeeds: nothing is told.
    msg->limpiar();
    abridor.cambiar(0);
    w->findChild<QPushButton *>("toExcel")->click();
    ASSERT_TRUE(abridoresTerminados());
    ASSERT_EQ(abridor.pedidos().size(), 2);
    EXPECT_TRUE(msg->vacio());
    QFile::remove(abridor.pedidos()[1]);

    // No opener on the machine: told at once.
    abridor.quitar();
    w->findChild<QPushButton *>("toExcel")->click();
    EXPECT_EQ(Escritorio::abridoresEnCurso(), 0);
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_TRUE(msg->ultimo().prompt.startsWith(aviso));
    QFile::remove(msg->ultimo().prompt.mid(aviso.size()));
}

TEST_F(AbridorEscritorio, ManualDiceDondeEstaCuandoElAbridorFalla)
{
    arrancar();
    ingresar("admin", "admin");
    const QString manual = QDir(carpeta()).filePath("ManualUsuario.pdf");
    {
        QFile f(manual);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n");
    }
    AbridorFalso abridor(3);
    msg->limpiar();
    principal->accion("mnu_ManualUsuario")->trigger();
    principal->findChild<QToolButton *>("ToolBar_12")->click();
    EXPECT_TRUE(msg->vacio());
    ASSERT_TRUE(abridoresTerminados());
    EXPECT_EQ(abridor.pedidos(), QStringList(2, manual));
    ASSERT_EQ(msg->mostrados().size(), 2u);
    for (const MensajeMostrado &m : msg->mostrados()) {
        EXPECT_EQ(m.prompt, "No hay un programa para abrir el manual de usuario (PDF) en este equipo. El manual "
                            "está en:\r" +
                                QDir::toNativeSeparators(manual));
        EXPECT_EQ(m.icono(), vb::Information);
    }

    // Removed meanwhile: the opener fails (2) and the user is told it is missing.
    msg->limpiar();
    abridor.cambiar(2);
    QFile::remove(manual);
    principal->accion("mnu_ManualUsuario")->trigger();
    ASSERT_TRUE(abridoresTerminados());
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().prompt, "No se encuentra el manual de usuario:\r" + QDir::toNativeSeparators(manual));
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
}

} // namespace
