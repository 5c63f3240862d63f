#include "support/Entorno.h"

using TransaccionTest = Entorno;

namespace {

void horario(Conexion &c, const QString &codigo)
{
    c.execute("INSERT INTO horarios (codigo, descripcion) VALUES (?, ?)", {codigo, codigo});
}

} // namespace

TEST_F(TransaccionTest, LaParteInternaConfirmadaSeDeshaceConLaExterna)
{
    {
        Transaccion fuera(db());
        horario(db(), "H1");
        {
            Transaccion dentro(db());
            horario(db(), "H2");
            dentro.commit();
        }
        EXPECT_TRUE(db().enTransaccion());
        EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 2);
    }
    EXPECT_FALSE(db().enTransaccion());
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 0);

    // Committed at both levels, everything stays.
    {
        Transaccion fuera(db());
        horario(db(), "H1");
        Transaccion dentro(db());
        horario(db(), "H2");
        dentro.commit();
        fuera.commit();
    }
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 2);
}

TEST_F(TransaccionTest, UnErrorInternoAtrapadoDejaUsableLaExterna)
{
    {
        Transaccion fuera(db());
        horario(db(), "H1");
        // The inner part writes, then fails; the caller catches and goes on.
        const int numero = numeroDeError([this] {
            Transaccion dentro(db());
            horario(db(), "H2");
            horario(db(), "h1"); // duplicate key
            dentro.commit();
        });
        EXPECT_EQ(numero, 3022);
        EXPECT_TRUE(db().enTransaccion());
        EXPECT_EQ(valor("SELECT group_concat(codigo) FROM horarios"), "H1");
        // A second inner part on the same outer one still works.
        {
            Transaccion dentro(db());
            horario(db(), "H3");
            dentro.commit();
        }
        horario(db(), "H4");
        fuera.commit();
    }
    EXPECT_FALSE(db().enTransaccion());
    EXPECT_EQ(valor("SELECT group_concat(codigo) FROM (SELECT codigo FROM horarios ORDER BY codigo) AS h"), "H1,H3,H4");

    // Three levels: the middle one failing undoes the innermost committed part too.
    {
        Transaccion fuera(db());
        horario(db(), "H5");
        {
            Transaccion medio(db());
            {
                Transaccion dentro(db());
                horario(db(), "H6");
                dentro.commit();
            }
        }
        fuera.commit();
    }
    EXPECT_EQ(contar("SELECT count(*) FROM horarios WHERE codigo IN ('H5', 'H6')"), 1);
    EXPECT_EQ(valor("SELECT codigo FROM horarios WHERE codigo IN ('H5', 'H6')"), "H5");
}

TEST_F(TransaccionTest, SiElMotorAbandonaLaTransaccionNadaSeEscribeFueraDeElla)
{
    // RAISE(ROLLBACK) makes the engine drop the whole transaction, outer
    // work included.
    db().execute("CREATE TRIGGER abandona BEFORE INSERT ON horarios WHEN NEW.codigo = 'X' "
                 "BEGIN SELECT RAISE(ROLLBACK, 'abandonada'); END");
    {
        Transaccion fuera(db());
        horario(db(), "H1");
        EXPECT_NE(numeroDeError([this] {
                      Transaccion dentro(db());
                      horario(db(), "X");
                      dentro.commit();
                  }),
                  0);
        // The caller going on must not write outside its transaction.
        EXPECT_NE(numeroDeError([this] { horario(db(), "H2"); }), 0);
        EXPECT_NE(numeroDeError([&fuera] { fuera.commit(); }), 0);
    }
    EXPECT_FALSE(db().enTransaccion());
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 0);
    // The connection is usable again afterwards.
    Transaccion t(db());
    horario(db(), "H3");
    t.commit();
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 1);
}

TEST_F(TransaccionTest, UnaSentenciaFallidaNoDejaNadaDeLaOperacionQueNoLaDeshace)
{
    // A failed statement that ends the operation leaves nothing of it.
    EXPECT_EQ(numeroDeError([this] {
                  Transaccion t(db());
                  horario(db(), "H1");
                  horario(db(), "H2");
                  horario(db(), "h1"); // duplicate key
                  t.commit();
              }),
              3022);
    EXPECT_FALSE(db().enTransaccion());
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 0);

    // Caught without a part of its own, the failure leaves the operation
    // whole or nothing: the server keeps nothing of a transaction after a
    // failed statement, so its commit is refused rather than told done.
    {
        Transaccion t(db());
        horario(db(), "H1");
        EXPECT_EQ(numeroDeError([this] { horario(db(), "h1"); }), 3022);
        if (db().esServidor()) {
            EXPECT_NE(numeroDeError([this] { horario(db(), "H2"); }), 0);
            EXPECT_NE(numeroDeError([&t] { t.commit(); }), 0);
        } else {
            horario(db(), "H2");
            t.commit();
        }
    }
    EXPECT_FALSE(db().enTransaccion());
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), db().esServidor() ? 0 : 2);

    // The number last handed out, asked on a connection that has handed out
    // none, leaves its transaction usable.
    const auto otra = otraEstacion();
    {
        Transaccion t(*otra);
        EXPECT_EQ(otra->lastInsertId(), 0);
        horario(*otra, "H7");
        t.commit();
    }
    EXPECT_EQ(contar("SELECT count(*) FROM horarios WHERE codigo = 'H7'"), 1);
}
