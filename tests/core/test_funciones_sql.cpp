#include "support/Entorno.h"

namespace {
class FuncionesSqlTest : public Entorno {
protected:
    // CLAVE_FRECUENTE over the claves given as "(clave), ...".
    QString frecuente(const QString &filas)
    {
        return valor("WITH t(c) AS (VALUES " + filas + ") SELECT CLAVE_FRECUENTE(c) FROM t");
    }
};
} // namespace

TEST_F(FuncionesSqlTest, ClaveFrecuenteElijeLaMasRepetidaYEnEmpateLaMenor)
{
    // "b" twice against "A" and "a" (the same key ignoring case) three
    // times; the key as its first row wrote it.
    EXPECT_EQ(frecuente("('b'), ('A'), ('b'), ('a'), ('A')"), "A");
    // A tie goes to the lowest key as NOCASE orders it ("b" before "C"); the
    // rows need not come grouped.
    EXPECT_EQ(frecuente("('C'), ('b'), ('C'), ('b')"), "b");
    // Keys arriving out of order, one between two already seen, and the same
    // key in both cases one after the other: "c" (3) wins over "a" and "d"
    // (2 each).
    EXPECT_EQ(frecuente("('d'), ('a'), ('c'), ('C'), ('c'), ('a'), ('D')"), "c");
    // A tie among keys that came in descending order goes to the lowest; a
    // byte above ASCII orders after the letters; a prefix before the longer
    // key.
    EXPECT_EQ(frecuente("('é'), ('z'), ('M'), ('é'), ('z'), ('m')"), "M");
    EXPECT_EQ(frecuente("('é'), ('z'), ('é')"), "é");
    EXPECT_EQ(frecuente("('C10'), ('C1'), ('C10'), ('C1')"), "C1");
    // Null keys count for nothing; only Null keys give Null.
    EXPECT_EQ(frecuente("(NULL), (NULL), ('Z')"), "Z");
    EXPECT_EQ(frecuente("(NULL)"), "");
    EXPECT_EQ(valor("SELECT CLAVE_FRECUENTE(canchas_id) FROM reservas"), "");
    // One result per group, each from its own rows, over an index's order.
    db().execute("INSERT INTO reservas (clientes_id, canchas_id, fecha) VALUES (1, 'X', '2024-01-01'), "
                 "(1, 'y', '2024-01-02'), (1, 'Y', '2024-01-03'), (2, 'X', '2024-01-01'), (2, 'x', '2024-01-04')");
    EXPECT_EQ(valor("SELECT group_concat(c, ',') FROM (SELECT clientes_id, CLAVE_FRECUENTE(canchas_id) AS c "
                    "FROM reservas GROUP BY clientes_id ORDER BY clientes_id)"),
              "y,X");
}
