#include "support/Entorno.h"

#include "AyudaListas.h"
#include "Frm_T_Clientes.h"
#include "Frm_T_ClientesAnexo.h"
#include "RegistroMaestros.h"
#include "platform/Aperturas.h"

#include <QPlainTextEdit>
#include <QPointer>

using namespace ayuda;

namespace {

class ClientesTest : public Entorno {
protected:
    Frm_T_Clientes *abrir()
    {
        registrarVentanasMaestros();
        EXPECT_TRUE(Aperturas::abrir("mnu_clientes"));
        lista = Ventanas::existente<Frm_T_Clientes>();
        procesarEventos();
        return lista;
    }
    Frm_T_ClientesAnexo *dialogo() { return Ventanas::existente<Frm_T_ClientesAnexo>(); }
    Grid *g() { return grilla(lista); }
    void agregarEnBase(int id, const QString &nombre)
    {
        db().execute("INSERT INTO clientes (id, nombre, telefono) VALUES (?, ?, '555')", {id, nombre});
    }

    Frm_T_Clientes *lista = nullptr;
};

TEST_F(ClientesTest, AgregarDosSeguidosConElDialogoAbiertoYVacio)
{
    abrir();
    ASSERT_NE(lista, nullptr);
    EXPECT_EQ(lista->windowTitle(), "Clientes");
    EXPECT_EQ(columna(g(), 3), QStringList{"CONSUMIDOR FINAL"});

    clic(lista, 0);
    Frm_T_ClientesAnexo *d = dialogo();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Tag, "NEW");
    EXPECT_EQ(d->windowTitle(), "Clientes - Anexo");
    EXPECT_FALSE(mask(d, 0)->isEnabled());

    // Validation: the name first, then the telephone.
    clic(d, 0);
    EXPECT_EQ(msg->ultimo().prompt, "Debe ingresar un Nombre");
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    EXPECT_EQ(d->focusWidget(), mask(d, 1));
    escribir(mask(d, 1), "O'Brien");
    clic(d, 0);
    EXPECT_EQ(msg->ultimo().prompt, "Debe ingresar un Telefono");
    EXPECT_EQ(d->focusWidget(), mask(d, 2));
    EXPECT_EQ(contar("SELECT count(*) FROM clientes"), 1);

    escribir(mask(d, 2), "011 'casa'");
    escribir(mask(d, 3), "Calle 1");
    d->findChild<QPlainTextEdit *>("txtCom")->setPlainText("paga el 'lunes'");
    clic(d, 0);
    ASSERT_EQ(dialogo(), d);
    EXPECT_TRUE(d->isVisible());
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(mask(d, i)->text().isEmpty());
    EXPECT_TRUE(d->findChild<QPlainTextEdit *>("txtCom")->toPlainText().isEmpty());
    EXPECT_EQ(d->focusWidget(), mask(d, 1));
    EXPECT_EQ(columna(g(), 3), (QStringList{"CONSUMIDOR FINAL", "O'Brien"}));
    EXPECT_EQ(g()->text(4, 2), "011 'casa'");
    EXPECT_EQ(g()->text(6, 2), "paga el 'lunes'");

    escribir(mask(d, 1), "Ana");
    escribir(mask(d, 2), "444");
    clic(d, 0);
    EXPECT_EQ(columna(g(), 3), (QStringList{"CONSUMIDOR FINAL", "O'Brien", "Ana"}));
    EXPECT_EQ(valor("SELECT comentarios FROM clientes WHERE nombre = ?", {"O'Brien"}), "paga el 'lunes'");

    // The quoted name is found by the search.
    clic(d, 1);
    procesarEventos();
    clic(lista, 1);
    escribir(mask(dialogo(), 1), "O'B");
    clic(dialogo(), 0);
    EXPECT_EQ(g()->selectedRow(), 2);
}

TEST_F(ClientesTest, ModificarYEliminarDesdeLaLista)
{
    agregarEnBase(2, "Ana");
    agregarEnBase(3, "Bruno");
    db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha) VALUES (3, 'C1', '2024-03-15')");
    abrir();

    clicCelda(g(), 1, 2);
    QPointer<Frm_T_ClientesAnexo> d = dialogo();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->Tag, "MOD");
    EXPECT_EQ(mask(d, 0)->text(), "2");
    EXPECT_EQ(mask(d, 1)->text(), "Ana");
    EXPECT_FALSE(mask(d, 0)->isEnabled());
    EXPECT_TRUE(mask(d, 1)->isEnabled());
    escribir(mask(d, 1), "Ana María");
    clic(d, 0);
    procesarEventos();
    EXPECT_FALSE(d);
    EXPECT_EQ(valor("SELECT nombre FROM clientes WHERE id = 2"), "Ana María");
    EXPECT_EQ(g()->text(3, 2), "Ana María");

    g()->setActiveCell(3, 3);
    clic(lista, 2);
    d = dialogo();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->Tag, "DEL");
    EXPECT_EQ(mask(d, 1)->text(), "Bruno");
    for (QWidget *w : d->campos())
        EXPECT_FALSE(w->isEnabled());
    clic(d, 0);
    procesarEventos();
    EXPECT_FALSE(d);
    EXPECT_EQ(columna(g(), 2), (QStringList{"1", "2"}));
    EXPECT_EQ(contar("SELECT count(*) FROM reservas WHERE clientes_id = 3"), 1);
}

TEST_F(ClientesTest, ConsumidorFinalNoSeEliminaPeroSeModifica)
{
    abrir();
    g()->setActiveCell(2, 1);
    clic(lista, 2);
    QPointer<Frm_T_ClientesAnexo> d = dialogo();
    ASSERT_TRUE(d);
    clic(d, 0);
    procesarEventos();
    EXPECT_EQ(msg->ultimo().prompt, "No es posible eliminar el cliente CONSUMIDOR FINAL");
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(contar("SELECT count(*) FROM clientes WHERE id = 1"), 1);
    clic(d, 1);
    procesarEventos();
    EXPECT_FALSE(d);

    clicCelda(g(), 1, 1);
    escribir(mask(dialogo(), 1), "CONSUMIDOR FINAL (mostrador)");
    escribir(mask(dialogo(), 2), "-");
    clic(dialogo(), 0);
    EXPECT_EQ(valor("SELECT nombre FROM clientes WHERE id = 1"), "CONSUMIDOR FINAL (mostrador)");
}

TEST_F(ClientesTest, BusquedaPorPrefijoEnElOrdenActual)
{
    agregarEnBase(2, "Ana");
    agregarEnBase(10, "ana");
    agregarEnBase(100, "Bruno");
    abrir();
    // Ordered by name: Ana (2), ana (10), Bruno (100), CONSUMIDOR FINAL (1).
    clicCabecera(g(), 3);
    ASSERT_EQ(columna(g(), 2), (QStringList{"2", "10", "100", "1"}));

    auto buscar = [&](const QString &codigo, const QString &nombre) {
        clic(lista, 1);
        Frm_T_ClientesAnexo *d = dialogo();
        EXPECT_EQ(d->Tag, "BUS");
        EXPECT_TRUE(mask(d, 0)->isEnabled());
        EXPECT_FALSE(mask(d, 2)->isEnabled());
        EXPECT_FALSE(d->findChild<QPlainTextEdit *>("txtCom")->isEnabled());
        mask(d, 0)->setText(codigo);
        mask(d, 1)->setText(nombre);
        clic(d, 0);
        procesarEventos();
        EXPECT_EQ(dialogo(), nullptr);
        return g()->selectedRow();
    };
    EXPECT_EQ(buscar("1", ""), 2); // 10 comes before 100 and 1 in this order
    EXPECT_EQ(buscar("", "ana"), 2);
    EXPECT_EQ(buscar("", "Ana"), 1);
    EXPECT_EQ(buscar(" 10 ", ""), 2); // the typed code is trimmed
    EXPECT_EQ(buscar("10", "B"), 3);  // both must hold: 10 is "ana", 100 "Bruno"
    EXPECT_EQ(buscar("", "CONS"), 4);
    g()->clearSelection();
    EXPECT_EQ(buscar("", ""), 0);
    EXPECT_EQ(buscar("   ", ""), 1);
    EXPECT_EQ(buscar("9", ""), 1); // no match: the selection stays
    EXPECT_TRUE(msg->vacio());

    // Cancelling a search leaves the selection.
    buscar("100", "");
    clic(lista, 1);
    mask(dialogo(), 0)->setText("2");
    clic(dialogo(), 1);
    procesarEventos();
    EXPECT_EQ(g()->selectedRow(), 3);
}

TEST_F(ClientesTest, OrdenPorCabeceraYRellenoTrasEscribir)
{
    agregarEnBase(2, "Zoe");
    agregarEnBase(3, "Bea");
    abrir();
    const QStringList porNumero{"1", "2", "3"};
    ASSERT_EQ(columna(g(), 2), porNumero);

    clicCabecera(g(), 1);
    clicCelda(g(), 3, 2);
    EXPECT_EQ(columna(g(), 2), porNumero);
    EXPECT_TRUE(modal->mostrados().isEmpty());

    clicCabecera(g(), 3);
    const QStringList porNombre{"3", "1", "2"};
    EXPECT_EQ(columna(g(), 2), porNombre);
    clicCabecera(g(), 3);
    EXPECT_EQ(columna(g(), 2), porNombre);

    clic(lista, 0);
    escribir(mask(dialogo(), 1), "Alba");
    escribir(mask(dialogo(), 2), "1");
    clic(dialogo(), 0);
    EXPECT_EQ(columna(g(), 2), (QStringList{"1", "2", "3", "4"}));
}

TEST_F(ClientesTest, SentenciaFallidaMuestraElErrorYElDialogoSigueAbierto)
{
    abrir();
    clic(lista, 0);
    QPointer<Frm_T_ClientesAnexo> d = dialogo();
    escribir(mask(d, 1), "Ana");
    escribir(mask(d, 2), "444");
    db().execute("DROP TABLE clientes");
    clic(d, 0);
    procesarEventos();
    ASSERT_FALSE(msg->vacio());
    EXPECT_TRUE(msg->ultimo().prompt.startsWith("Error: ")) << msg->ultimo().prompt.toStdString();
    EXPECT_TRUE(msg->ultimo().prompt.contains(" - "));
    EXPECT_TRUE(msg->ultimo().prompt.contains("clientes"));
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(mask(d, 1)->text(), "Ana");
}

TEST_F(ClientesTest, ImprimirPreguntaYAvisaSinImpresora)
{
    abrir();
    msg->responder(vb::No);
    clic(lista, 3);
    ASSERT_EQ(msg->textos(), QStringList{"Se imprimirá el listado. ¿Desea continuar?"});
    EXPECT_EQ(msg->ultimo().estilo, vb::YesNo | vb::Question);
    EXPECT_EQ(msg->ultimo().titulo, tituloAplicacion());

    if (Grid::hayImpresora())
        GTEST_SKIP() << "esta máquina tiene impresora";
    clic(lista, 3);
    ASSERT_EQ(msg->mostrados().size(), 3u);
    // No print service answers the tests (tests/main.cpp).
    EXPECT_EQ(msg->ultimo().prompt,
              "No se puede imprimir el listado: el servicio de impresión de este equipo no responde.");
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
}

TEST_F(ClientesTest, PedidoDeAgregarAlAbrirYCerrar)
{
    Frm_T_Clientes *l = Ventanas::obtener<Frm_T_Clientes>();
    l->flagIniciaAnexo = true;
    Ventanas::mostrarEnArea(l);
    procesarEventos();
    EXPECT_FALSE(l->flagIniciaAnexo);
    ASSERT_EQ(modal->mostrados(), QStringList{"Frm_T_ClientesAnexo"});
    EXPECT_EQ(dialogo()->Tag, "NEW");
    clic(dialogo(), 1);
    procesarEventos();

    // Later activations do not open it again.
    l->hide();
    l->flagIniciaAnexo = true;
    Ventanas::mostrarEnArea(l);
    procesarEventos();
    EXPECT_EQ(modal->mostrados().size(), 1);

    QPointer<Frm_T_Clientes> p = l;
    clic(l, 4);
    procesarEventos();
    EXPECT_FALSE(p);
}

} // namespace
