// The server's form of the program's statements: only their code is
// rewritten; what is quoted, commented or a $tag$ body reaches the server
// as written, and texts are read back as they were stored.
#include "support/Entorno.h"

#include "db/Dialecto.h"

namespace {

TEST(SentenciaDelServidor, SoloElCodigoSeReescribeYSeCuenta)
{
    int n = -1;
    auto forma = [&n](const QString &sql) { return QString::fromUtf8(Dialecto::sentenciaPostgresql(sql, n)); };

    // Quoted texts, a doubled quote inside one among them.
    EXPECT_EQ(forma("SELECT 'I LIKE it', 'it''s temp.x ?' FROM temp.t WHERE a LIKE ?"),
              "SELECT 'I LIKE it', 'it''s temp.x ?' FROM pg_temp.t WHERE a ILIKE $1");
    EXPECT_EQ(n, 1);
    // Quoted names keep their letters.
    EXPECT_EQ(forma("SELECT count(*) AS \"Total\", \"Like ?\" FROM \"Clientes\""),
              "SELECT count(*) AS \"Total\", \"Like ?\" FROM \"Clientes\"");
    EXPECT_EQ(n, 0);
    // Comments, a block comment nested in another as the server reads them.
    EXPECT_EQ(forma("SELECT a -- ¿y el ? de LIKE temp.x?\nFROM t WHERE b = ? /* ? /* ?3 */ ? */ AND c LIKE ?"),
              "SELECT a -- ¿y el ? de LIKE temp.x?\nFROM t WHERE b = $1 /* ? /* ?3 */ ? */ AND c ILIKE $2");
    EXPECT_EQ(n, 2);
    // $tag$ bodies; $1 is a value, not a tag.
    EXPECT_EQ(forma("SELECT $$I LIKE ?$$, $f$ 'x temp.y $$ $f$, ?2, ?"),
              "SELECT $$I LIKE ?$$, $f$ 'x temp.y $$ $f$, $2, $3");
    EXPECT_EQ(n, 3);
    EXPECT_EQ(forma("SELECT 'a COLLATE BINARY' WHERE id = ? COLLATE BINARY"),
              "SELECT 'a COLLATE BINARY' WHERE id = $1::text COLLATE \"C\"");
    // A clause added at the end goes before a closing comment.
    EXPECT_EQ(forma("INSERT OR IGNORE INTO t (a) VALUES (?); -- ya está"),
              "INSERT INTO t (a) VALUES ($1) ON CONFLICT DO NOTHING; -- ya está");
    EXPECT_EQ(forma("INSERT OR REPLACE INTO t (id, \"Valor\") VALUES (?, '?') /* ? */"),
              "INSERT INTO t (id, \"Valor\") VALUES ($1, '?') ON CONFLICT (id) DO UPDATE SET \"Valor\" = "
              "EXCLUDED.\"Valor\" /* ? */");
    EXPECT_EQ(n, 1);
    // A quote never closed holds the rest.
    EXPECT_EQ(forma("SELECT ? || 'LIKE ?"), "SELECT $1 || 'LIKE ?");
    EXPECT_EQ(n, 1);

    // Only the pairs the program writes for the character 0 and U+FFFF are
    // read back as those; any other U+FFFF stays.
    const QByteArray raro = QString::fromUtf16(u"a\uFFFFx\uFFFF0\uFFFF\uFFFF\uFFFF").toUtf8();
    EXPECT_EQ(Dialecto::textoDelServidor(raro.constData(), static_cast<int>(raro.size())),
              QString::fromUtf16(u"a\uFFFFx\0\uFFFF\uFFFF", 6));
}

using SentenciasServidorTest = Entorno;

TEST_F(SentenciasServidorTest, LoEntreComillasYLosComentariosLleganComoSeEscribieron)
{
    db().execute("INSERT INTO clientes (nombre, telefono, direccion) VALUES (?, 'I LIKE it', 'temp.x') "
                 "-- ¿y el ? del comentario?",
                 {"Ana"});
    Recordset rs = db().openRecordset("SELECT telefono AS \"Teléfono\", direccion, count(*) AS \"Total\" /* ? */ "
                                      "FROM clientes WHERE nombre = ? GROUP BY telefono, direccion",
                                      {"Ana"});
    EXPECT_EQ(rs.nombres(), (QStringList{"Teléfono", "direccion", "Total"}));
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.texto("teléfono"), "I LIKE it");
    EXPECT_EQ(rs.texto("direccion"), "temp.x");
    EXPECT_EQ(rs.entero(2), 1);
    // A text with quotes and a question mark is found by LIKE as a text.
    db().execute("UPDATE clientes SET comentarios = '¿paga? el ''lunes''' WHERE nombre = ?", {"Ana"});
    EXPECT_EQ(valor("SELECT nombre FROM clientes WHERE comentarios LIKE '%?%' AND comentarios LIKE ?", {"%LUNES%"}),
              "Ana");

    // A name the database keeps comes back as it is, even one holding what
    // the program's texts are escaped with.
    const QString nombre = QString::fromUtf16(u"tabla_\uFFFF0", 8);
    db().execute("CREATE TABLE " + Conexion::nombreEnSentencia(nombre) + " (a TEXT)");
    EXPECT_TRUE(db().tablas().contains(nombre));
}

} // namespace
