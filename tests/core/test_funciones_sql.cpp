#include "support/Entorno.h"

namespace {
class FuncionesSqlTest : public Entorno {
protected:
    // TURNO_FRECUENTE over the rows given as "(clave, orden, valor), ...".
    QString frecuente(const QString &filas)
    {
        return valor("WITH t(c, o, v) AS (VALUES " + filas + ") SELECT TURNO_FRECUENTE(c, o, v) FROM t");
    }
};
} // namespace

TEST_F(FuncionesSqlTest, TurnoFrecuenteElijeLaClaveMasRepetidaYSuFilaDeMenorOrden)
{
    // "b" twice against "A" and "a" (the same key ignoring case) three times.
    EXPECT_EQ(frecuente("('b', '2024-01-01', 1), ('A', '2024-03-01', 2), ('b', '2024-01-02', 3), "
                        "('a', '2024-02-01', 4), ('A', '2024-02-01', 9)"),
              "4");
    // A tie goes to the lowest key as NOCASE orders it ("b" before "C"); the
    // rows need not come grouped.
    EXPECT_EQ(frecuente("('C', '2024-01-01', 1), ('b', '2024-05-01', 2), ('C', '2024-01-02', 3), "
                        "('b', '2024-04-01', 4)"),
              "4");
    // Keys arriving out of order, one between two already seen, and the same
    // key in both cases one after the other: "c" (3) wins over "a" and "d"
    // (2 each); its earliest row by orden, then by valor.
    EXPECT_EQ(frecuente("('d', '2024-01-01', 1), ('a', '2024-01-01', 2), ('c', '2024-03-01', 7), "
                        "('C', '2024-02-01', 8), ('c', '2024-02-01', 5), ('a', '2024-01-02', 3), "
                        "('D', '2024-01-03', 4)"),
              "5");
    // A tie among keys that came in descending order goes to the lowest; a
    // byte above ASCII orders after the letters.
    EXPECT_EQ(frecuente("('é', '2024-01-01', 1), ('z', '2024-01-01', 2), ('M', '2024-01-01', 3), "
                        "('é', '2024-01-01', 4), ('z', '2024-01-01', 5), ('m', '2024-01-01', 6)"),
              "3");
    EXPECT_EQ(frecuente("('é', '2024-01-01', 1), ('z', '2024-01-01', 2), ('é', '2024-01-01', 4)"), "1");
    // Null keys count for nothing; only Null keys give Null.
    EXPECT_EQ(frecuente("(NULL, '2024-01-01', 1), (NULL, '2024-01-01', 2), ('Z', '2024-09-01', 3)"), "3");
    EXPECT_EQ(frecuente("(NULL, '2024-01-01', 1)"), "");
    EXPECT_EQ(valor("SELECT TURNO_FRECUENTE(canchas_id, fecha, id) FROM reservas"), "");
}
