#include "support/Entorno.h"

#include "platform/Grid.h"
#include "platform/ListaAnexo.h"

#include <QPushButton>

namespace {

// A list with the users' arrangement: four buttons, printing without asking.
class ListaCuatro : public FrmLista {
public:
    ListaCuatro()
    {
        construir("Prueba", {"Código", "Descripción"}, "Prueba", {Agregar, Eliminar, Imprimir, Buscar});
        setPreguntarImpresion(false);
        Usr_LlenarDatos();
    }
    void Usr_LlenarDatos() override
    {
        grilla()->setMaxRows(0);
        agregarFila({"A1", "Uno"});
    }

protected:
    FrmAnexo *anexo() override { return nullptr; }
};

using ListaAnexoTest = Entorno;

TEST_F(ListaAnexoTest, ConjuntoDeBotonesConfigurableEImpresionSinPregunta)
{
    ListaCuatro l;
    QStringList captions;
    for (int i = 0; l.Command(i); ++i)
        captions << l.Command(i)->text();
    EXPECT_EQ(captions, (QStringList{"Agregar", "Eliminar", "Imprimir", "Buscar"}));
    EXPECT_EQ(l.findChild<QPushButton *>("Command_1"), l.Command(1));
    EXPECT_EQ(l.grilla()->text(3, 0), "Descripción");
    EXPECT_EQ(l.grilla()->text(2, 1), "A1");

    if (Grid::hayImpresora())
        GTEST_SKIP() << "esta máquina tiene impresora";
    l.Command(2)->click();
    ASSERT_EQ(msg->mostrados().size(), 1u);
    EXPECT_EQ(msg->ultimo().icono(), vb::Exclamation);
}

} // namespace
