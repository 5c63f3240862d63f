#include "AyudaCaja.h"

#include "Frm_L_InformeDeMovCaja.h"
#include "Frm_T_MovCaja_Conceptos.h"
#include "Module.h"

#include <QKeyEvent>
#include <QPushButton>

using namespace ayuda;

namespace {

class ConceptosCajaTest : public CajaBase {
protected:
    QPushButton *boton(QWidget *w, int i) { return w->findChild<QPushButton *>(QStringLiteral("cmdButton_%1").arg(i)); }
    void enter(QLineEdit *e) { QTest::keyClick(e, Qt::Key_Return); }
};

TEST_F(ConceptosCajaTest, AltaEdicionBajaOrdenYErrores)
{
    EXPECT_TRUE(Aperturas::abrir("mnu_CajaConceptos"));
    procesarEventos();
    auto *w = Ventanas::existente<Frm_T_MovCaja_Conceptos>();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Movimientos de Caja ");
    Grid *g = grilla(w);
    QLineEdit *codigo = caja(w, "mskBox_0"), *descripcion = caja(w, "mskBox_1");
    // Only the users' own concepts, by description; no button without a code.
    EXPECT_EQ(columna(g, 1), (QStringList{"BAR", "LUZ"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(boton(w, i)->isEnabled());

    // A system code finds no row: add mode, and the save fails on the key.
    escribir(codigo, "INI");
    EXPECT_TRUE(codigo->isEnabled());
    EXPECT_TRUE(boton(w, 1)->isEnabled());
    EXPECT_FALSE(boton(w, 2)->isEnabled());
    escribir(descripcion, "Otro inicio");
    boton(w, 1)->click();
    EXPECT_EQ(msg->textos(), QStringList{"Código de Movimientos de Caja  ya Ingresado "});
    EXPECT_EQ(codigo->text(), "INI"); // the fields stay after a failed save
    EXPECT_EQ(valor("SELECT descripcion FROM caja_conceptos WHERE id = 'INI'"), "Inicio de caja");

    // A user code loads its row: only the description changes.
    boton(w, 0)->click();
    escribir(codigo, "BAR");
    EXPECT_FALSE(codigo->isEnabled());
    EXPECT_EQ(descripcion->text(), "Bar");
    EXPECT_TRUE(boton(w, 2)->isEnabled());
    escribir(descripcion, "Bar y kiosco");
    boton(w, 1)->click();
    EXPECT_EQ(valor("SELECT descripcion FROM caja_conceptos WHERE id = 'BAR'"), "Bar y kiosco");
    EXPECT_TRUE(codigo->isEnabled() && codigo->text().isEmpty());

    // A new code with Enter; the checks first.
    msg->limpiar();
    escribir(codigo, "GAS");
    enter(descripcion);
    EXPECT_EQ(msg->textos(), QStringList{"Debe Ingresar Descripción"});
    escribir(codigo, "GAS");
    escribir(descripcion, "Gas 'natural'");
    enter(descripcion);
    // A code in other letters than an existing one, the system's included,
    // finds no row (the search is exact) and is refused as a duplicate.
    for (const char *repetido : {"bar", "Gas", "ini", "vEn"}) {
        msg->limpiar();
        escribir(codigo, repetido);
        EXPECT_TRUE(codigo->isEnabled());
        escribir(descripcion, "otro");
        boton(w, 1)->click();
        EXPECT_EQ(msg->textos(), QStringList{"Código de Movimientos de Caja  ya Ingresado "}) << repetido;
        boton(w, 0)->click();
    }
    EXPECT_EQ(contar("SELECT count(*) FROM caja_conceptos"), 9);
    EXPECT_EQ(columna(g, 1), (QStringList{"BAR", "GAS", "LUZ"}));
    EXPECT_EQ(columna(g, 2), (QStringList{"Bar y kiosco", "Gas 'natural'", "Luz"}));

    // Title clicks: left ascending, right descending; a click clears the fields.
    escribir(codigo, "LUZ");
    raton::clic(g, 1, 0, Qt::RightButton);
    EXPECT_TRUE(codigo->text().isEmpty());
    EXPECT_EQ(columna(g, 1), (QStringList{"LUZ", "GAS", "BAR"}));
    raton::clic(g, 2, 0);
    EXPECT_EQ(columna(g, 2), (QStringList{"Bar y kiosco", "Gas 'natural'", "Luz"}));

    // A row header loads the concept; "Eliminar" deletes it without a question,
    // and the movements keep what they copied.
    db().execute("INSERT INTO caja_movimientos (caja_cabeza_id, mov_tipo, caja_conceptos_id, "
                 "caja_conceptos_descripcion, importe) VALUES (1, 'EGR', 'LUZ', 'Luz', -5)");
    msg->limpiar();
    raton::clic(g, 0, 3);
    EXPECT_EQ(codigo->text(), "LUZ");
    EXPECT_FALSE(codigo->isEnabled());
    boton(w, 2)->click();
    EXPECT_TRUE(msg->vacio());
    EXPECT_EQ(columna(g, 1), (QStringList{"BAR", "GAS"}));
    EXPECT_EQ(valor("SELECT caja_conceptos_descripcion FROM caja_movimientos"), "Luz");

    // Deleted at another station while its description is changed here: the
    // user is told nothing was saved, and the list no longer shows it.
    escribir(codigo, "GAS");
    EXPECT_FALSE(codigo->isEnabled());
    otraEstacion()->execute("DELETE FROM caja_conceptos WHERE id = 'GAS'");
    escribir(descripcion, "Gas envasado");
    boton(w, 1)->click();
    EXPECT_EQ(msg->textos(), QStringList{"El registro ya no existe (se eliminó mientras se lo modificaba): los "
                                         "cambios no se guardaron."});
    EXPECT_EQ(columna(g, 1), QStringList{"BAR"});
    EXPECT_EQ(contar("SELECT count(*) FROM caja_conceptos WHERE id = 'GAS'"), 0);
}

// Concept codes equal when every letter is folded are one concept on either
// engine, though ÑU and ñu are two codes elsewhere: ñu finds no row and is
// refused as a duplicate.
TEST_F(ConceptosCajaTest, UnCodigoQueSoloDifiereEnÑEsElMismoConcepto)
{
    EXPECT_TRUE(Aperturas::abrir("mnu_CajaConceptos"));
    procesarEventos();
    auto *w = Ventanas::existente<Frm_T_MovCaja_Conceptos>();
    ASSERT_NE(w, nullptr);
    QLineEdit *codigo = caja(w, "mskBox_0"), *descripcion = caja(w, "mskBox_1");
    escribir(codigo, "ÑU");
    escribir(descripcion, "Ñu");
    boton(w, 1)->click();
    EXPECT_TRUE(msg->vacio());
    for (const char *repetido : {"ñu", "Ñu", "ñU"}) {
        msg->limpiar();
        escribir(codigo, repetido);
        EXPECT_TRUE(codigo->isEnabled()) << repetido;
        EXPECT_TRUE(descripcion->text().isEmpty()) << repetido;
        escribir(descripcion, "otro");
        boton(w, 1)->click();
        EXPECT_EQ(msg->textos(), QStringList{"Código de Movimientos de Caja  ya Ingresado "}) << repetido;
        boton(w, 0)->click();
    }
    EXPECT_EQ(filas("SELECT id || ':' || descripcion FROM caja_conceptos WHERE plegar(id) = plegar('ñu')"), "ÑU:Ñu");
}

// A file of an earlier version, where concept codes compared exactly, with
// BAR and bar both in use: brought up to date at its opening without losing
// a row; from then on codes compare without case, and each of the two is
// still picked, edited and deleted on its own.
TEST_F(ConceptosCajaTest, UnaBaseAnteriorConBARYbarLosConservaYLuegoIgnoraMayusculas)
{
    db().executeScript(
        "DROP TABLE caja_conceptos; DROP TABLE caja_movimientos;"
        "CREATE TABLE caja_conceptos (id TEXT PRIMARY KEY, descripcion TEXT, sistema INTEGER NOT NULL DEFAULT 0);"
        "CREATE TABLE caja_movimientos (id INTEGER PRIMARY KEY AUTOINCREMENT, caja_cabeza_id INTEGER, mov_tipo TEXT "
        "COLLATE NOCASE, fecha_hora DATETIME, caja_conceptos_id TEXT, caja_conceptos_descripcion TEXT, descripcion "
        "TEXT, importe REAL DEFAULT 0, comentarios TEXT, t_usuarios_codigo TEXT COLLATE NOCASE);"
        "CREATE INDEX ix_caja_mov_concepto ON caja_movimientos (caja_conceptos_id);");
    db().execute("INSERT INTO caja_conceptos (id, descripcion, sistema) VALUES ('INI', 'Inicio de caja', 1), "
                 "('ING', 'Ingreso de efectivo', 1), ('EGR', 'Extracción de efectivo', 1), ('BAR', 'Bar', 0), "
                 "('bar', 'Barra', 0), ('LUZ', 'Luz', 0)");
    db().execute("INSERT INTO caja_movimientos (id, caja_cabeza_id, mov_tipo, fecha_hora, caja_conceptos_id, "
                 "caja_conceptos_descripcion, importe, t_usuarios_codigo) VALUES "
                 "(1, 1, 'INI', '2024-03-15 08:00:00', 'INI', 'Inicio de caja', 100, 'ana'), "
                 "(2, 1, 'ING', '2024-03-15 09:00:00', 'BAR', 'Bar', 10, 'ana'), "
                 "(3, 1, 'ING', '2024-03-15 09:30:00', 'bar', 'Barra', 20, 'ana'), "
                 "(9, 1, 'EGR', '2024-03-15 10:00:00', 'LUZ', 'Luz', -5, 'ana')");
    db().execute("DELETE FROM caja_movimientos WHERE id = 9");
    db().execute("INSERT INTO caja_cabeza (id, fecha_hora_apertura, t_usuarios_codigo) VALUES "
                 "(1, '2024-03-15 08:00:00', 'ana')");
    const QString conceptos =
        valor("SELECT group_concat(id || ':' || descripcion || ':' || sistema, ' ') FROM caja_conceptos");
    const QString movimientos = valor("SELECT group_concat(id || ':' || caja_conceptos_id || ':' || importe, ' ') "
                                      "FROM caja_movimientos");

    abrirConexion();
    EXPECT_EQ(valor("SELECT group_concat(id || ':' || descripcion || ':' || sistema, ' ') FROM caja_conceptos"),
              conceptos);
    EXPECT_EQ(valor("SELECT group_concat(id || ':' || caja_conceptos_id || ':' || importe, ' ') FROM "
                    "caja_movimientos"),
              movimientos);
    EXPECT_EQ(valor("PRAGMA integrity_check"), "ok");
    // Up to date: opened again, nothing is written.
    const QString version = valor("PRAGMA schema_version");
    abrirConexion();
    EXPECT_EQ(valor("PRAGMA schema_version"), version);

    // A code in any case is now a duplicate; movements compare the same way
    // and keep numbering after the highest number ever given.
    for (const char *repetido : {"Bar", "BAR", "luz", "ing"})
        EXPECT_EQ(numeroDeError([&] {
                      db().execute("INSERT INTO caja_conceptos (id, descripcion) VALUES (?, 'x')", {repetido});
                  }),
                  3022)
            << repetido;
    EXPECT_EQ(contar("SELECT count(*) FROM caja_movimientos WHERE caja_conceptos_id = 'Luz'"), 0);
    EXPECT_EQ(contar("SELECT count(*) FROM caja_movimientos WHERE caja_conceptos_id = 'ini'"), 1);
    EXPECT_EQ(contar("SELECT count(*) FROM caja_movimientos WHERE caja_conceptos_id = 'Bar'"), 2);
    EXPECT_EQ(valor("SELECT caja_cabeza_id FROM caja_movimientos WHERE caja_conceptos_id = 'INI' AND mov_tipo = "
                    "'ini'"),
              "1");

    // The pickers prefer the code written exactly: an income for bar is bar's.
    msg->limpiar();
    movimiento(1, "7", "bar");
    movimiento(1, "8", "BAR");
    EXPECT_EQ(msg->textos().size(), 2);
    EXPECT_EQ(valor("SELECT group_concat(id || ':' || caja_conceptos_id || ':' || caja_conceptos_descripcion, ' ') "
                    "FROM caja_movimientos WHERE id > 3"),
              "10:bar:Barra 11:BAR:Bar");
    EXPECT_TRUE(Aperturas::abrir("mnu_InfCajaConcepto"));
    procesarEventos();
    auto *informe = Ventanas::existente<Frm_L_InformeDeMovCaja>();
    ASSERT_NE(informe, nullptr);
    for (const char *codigo : {"bar", "BAR"}) {
        escribir(caja(informe, "txtCodigo"), codigo);
        EXPECT_EQ(caja(informe, "txtCodigo")->text(), codigo);
        EXPECT_EQ(informe->findChild<DataCombo *>("dc_Concepto")->Text(), QString(codigo) == "bar" ? "Barra" : "Bar");
    }
    Ventanas::descargar(informe);

    // The editor finds, changes and deletes each of the two alone.
    EXPECT_TRUE(Aperturas::abrir("mnu_CajaConceptos"));
    procesarEventos();
    auto *w = Ventanas::existente<Frm_T_MovCaja_Conceptos>();
    ASSERT_NE(w, nullptr);
    Grid *g = grilla(w);
    EXPECT_EQ(columna(g, 1), (QStringList{"BAR", "bar", "LUZ"}));
    QLineEdit *codigo = caja(w, "mskBox_0"), *descripcion = caja(w, "mskBox_1");
    escribir(codigo, "bar");
    EXPECT_FALSE(codigo->isEnabled());
    EXPECT_EQ(descripcion->text(), "Barra");
    escribir(descripcion, "Barra libre");
    boton(w, 1)->click();
    escribir(codigo, "BAR");
    EXPECT_EQ(descripcion->text(), "Bar");
    boton(w, 2)->click();
    EXPECT_EQ(valor("SELECT group_concat(id || ':' || descripcion, ' ') FROM caja_conceptos WHERE sistema = 0"),
              "bar:Barra libre LUZ:Luz");
    // With BAR gone, bar still keeps any other case out.
    msg->limpiar();
    escribir(codigo, "Bar");
    escribir(descripcion, "otra");
    boton(w, 1)->click();
    EXPECT_EQ(msg->textos(), QStringList{"Código de Movimientos de Caja  ya Ingresado "});
}

} // namespace
