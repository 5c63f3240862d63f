// The window registry: one instance per window, created on first use,
// forgotten when unloaded, and the modal seam.
#include "support/Entorno.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

class VentanaPrueba : public Formulario {
    Q_OBJECT
public:
    VentanaPrueba() { ++creadas; }
    static inline int creadas = 0;
    bool dejarCerrar = true;

protected:
    bool antesDeDescargar() override { return dejarCerrar; }
};

class OtraVentana : public Formulario {
    Q_OBJECT
};

// Closes itself while it loads, as a window does when it has nothing to show.
class VentanaQueSeCierra : public Formulario {
    Q_OBJECT
public:
    VentanaQueSeCierra() { close(); }
};

class DialogoQueSeCierra : public Dialogo {
    Q_OBJECT
public:
    DialogoQueSeCierra() { close(); }
};

class DialogoPrueba : public Dialogo {
    Q_OBJECT
public:
    DialogoPrueba()
    {
        caja = new QLineEdit(this);
        caja->setObjectName("caja");
        ++creados;
    }
    static inline int creados = 0;
    static inline int descargados = 0;
    QLineEdit *caja;

protected:
    void alDescargar() override { ++descargados; }
};

} // namespace

class VentanasTest : public Entorno {
protected:
    void SetUp() override
    {
        Entorno::SetUp();
        VentanaPrueba::creadas = 0;
        DialogoPrueba::creados = 0;
        DialogoPrueba::descargados = 0;
    }
};

TEST_F(VentanasTest, UnaInstanciaQueSeReusaHastaDescargarla)
{
    VentanaPrueba *a = Ventanas::obtener<VentanaPrueba>();
    EXPECT_EQ(Ventanas::obtener<VentanaPrueba>(), a);
    EXPECT_EQ(VentanaPrueba::creadas, 1);
    EXPECT_EQ(Ventanas::existente<VentanaPrueba>(), a);
    EXPECT_EQ(a->objectName(), "VentanaPrueba");

    Ventanas::mostrarEnArea(a);
    a->descargar();
    // Forgotten at once, even before the deferred deletion runs.
    EXPECT_EQ(Ventanas::existente<VentanaPrueba>(), nullptr);
    QPointer<VentanaPrueba> viejo(a);
    procesarEventos();
    EXPECT_TRUE(viejo.isNull());

    VentanaPrueba *b = Ventanas::obtener<VentanaPrueba>();
    EXPECT_EQ(VentanaPrueba::creadas, 2);
    EXPECT_NE(b, nullptr);
}

TEST_F(VentanasTest, UnaVentanaQueNoSeDejaCerrarSigueCargada)
{
    VentanaPrueba *a = Ventanas::obtener<VentanaPrueba>();
    a->dejarCerrar = false;
    Ventanas::mostrarEnArea(a);
    a->descargar();
    procesarEventos();
    EXPECT_EQ(Ventanas::existente<VentanaPrueba>(), a);
    a->dejarCerrar = true;
}

TEST_F(VentanasTest, DescargarTodasMenosUnaPorNombreSinMayusculas)
{
    Ventanas::obtener<VentanaPrueba>();
    Ventanas::obtener<OtraVentana>();
    Ventanas::obtener<DialogoPrueba>();
    Ventanas::descargarTodasMenos("otraventana");
    procesarEventos();
    EXPECT_EQ(Ventanas::cargadas(), QStringList{"OtraVentana"});
    EXPECT_EQ(DialogoPrueba::descargados, 1);
}

TEST_F(VentanasTest, DialogoAceptadoSeDescargaYVuelveVacio)
{
    modal->guion([](QDialog *d) {
        auto *dp = static_cast<DialogoPrueba *>(d);
        EXPECT_TRUE(d->isVisible());
        dp->caja->setText("algo");
        d->accept();
    });
    DialogoPrueba *d = Ventanas::obtener<DialogoPrueba>();
    EXPECT_EQ(Modal::mostrar(d), QDialog::Accepted);
    EXPECT_EQ(modal->mostrados(), QStringList{"DialogoPrueba"});
    EXPECT_EQ(DialogoPrueba::descargados, 1);
    EXPECT_EQ(Ventanas::existente<DialogoPrueba>(), nullptr);
    procesarEventos();

    DialogoPrueba *otra = Ventanas::obtener<DialogoPrueba>();
    EXPECT_EQ(DialogoPrueba::creados, 2);
    EXPECT_TRUE(otra->caja->text().isEmpty());
}

TEST_F(VentanasTest, GuionQueDejaElDialogoAbiertoLoCierra)
{
    modal->guion([](QDialog *) {});
    DialogoPrueba *d = Ventanas::obtener<DialogoPrueba>();
    EXPECT_EQ(Modal::mostrar(d), QDialog::Rejected);
    EXPECT_EQ(Ventanas::existente<DialogoPrueba>(), nullptr);
}

TEST_F(VentanasTest, VentanaQueSeCierraAlCargarNoSeMuestraNiSeGuarda)
{
    auto *w = Ventanas::obtener<VentanaQueSeCierra>();
    Ventanas::showForm(w, false);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(Ventanas::existente<VentanaQueSeCierra>(), nullptr);

    auto *d = Ventanas::obtener<DialogoQueSeCierra>();
    EXPECT_EQ(Modal::mostrar(d), QDialog::Rejected);
    EXPECT_TRUE(modal->mostrados().isEmpty());
    EXPECT_FALSE(d->isVisible());
    procesarEventos();
    EXPECT_TRUE(Ventanas::cargadas().isEmpty());
}

#include "test_ventanas.moc"
