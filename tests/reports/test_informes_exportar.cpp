#include "support/Entorno.h"

#include "Frm_L_ClientesFideliza.h"
#include "Frm_L_EstadisticaTurnos.h"
#include "RegistroInformes.h"
#include "platform/Aperturas.h"
#include "platform/Escritorio.h"
#include "platform/Grid.h"
#include "platform/Reloj.h"

#include <QFile>
#include <QProcess>
#include <QPushButton>

namespace {

class InformesExportarTest : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        registrarVentanasInformes();
    }
    EscritorioDePrueba escritorio;
};

TEST_F(InformesExportarTest, ExportaLaGrillaComoSeVeYUnaVaciaAvisa)
{
    db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Central')");
    db().execute("INSERT INTO clientes (nombre) VALUES ('Ana')");
    const qint64 ana = db().lastInsertId();
    const QString hoy = Reloj::hoy().toString(Qt::ISODate);
    db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha, horarios_id, estado, importe_total) "
                 "VALUES (?, 'C1', ?, 'H1', 'COB', 1500)",
                 {ana, hoy});

    // The loyalty control opens with an empty grid: nothing to export.
    ASSERT_TRUE(Aperturas::abrir("mnu_ControlFidelidad"));
    auto *fideliza = Ventanas::existente<Frm_L_ClientesFideliza>();
    ASSERT_NE(fideliza, nullptr);
    fideliza->findChild<QPushButton *>("toExcel")->click();
    ASSERT_FALSE(msg->vacio());
    EXPECT_EQ(msg->ultimo().prompt, "No hay datos para exportar a excel. Se ha indicado 0 en el parámetro Filas ");
    EXPECT_TRUE(escritorio.abiertas().isEmpty());

    ASSERT_TRUE(Aperturas::abrir("mnu_EstadisticaHorasOcupadas"));
    auto *estadistica = Ventanas::existente<Frm_L_EstadisticaTurnos>();
    ASSERT_NE(estadistica, nullptr);
    Grid *g = estadistica->findChild<Grid *>("vaSpread");
    ASSERT_GE(g->MaxRows(), 1);
    const int antes = int(msg->mostrados().size());
    estadistica->findChild<QPushButton *>("toExcel")->click();
    EXPECT_EQ(int(msg->mostrados().size()), antes);
    ASSERT_EQ(escritorio.abiertas().size(), 1);
    const QString libro = escritorio.abiertas()[0].toLocalFile();
    QProcess unzip;
    unzip.start("unzip", {"-p", libro, "xl/sharedStrings.xml"});
    unzip.waitForFinished();
    const QString textos = QString::fromUtf8(unzip.readAllStandardOutput());
    // The titles and the rows as the grid shows them.
    EXPECT_TRUE(textos.contains(g->text(2, 0))) << textos.toStdString();
    EXPECT_TRUE(textos.contains("Central"));
    QFile::remove(libro);
}

} // namespace
