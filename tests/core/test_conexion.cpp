#include "support/Entorno.h"

#include "db/Esquema.h"

#include <QFile>
#include <memory>

using ConexionTest = Entorno;

TEST_F(ConexionTest, ValoresConComillaSeGuardanYEncuentran)
{
    db().execute("INSERT INTO clientes (nombre, telefono) VALUES (?, ?)", {"O'Brien", "1'2"});
    EXPECT_EQ(valor("SELECT telefono FROM clientes WHERE nombre = ?", {"O'Brien"}), "1'2");
}

TEST_F(ConexionTest, ClaveDuplicadaEsError3022)
{
    db().execute("INSERT INTO canchas (id, descripcion) VALUES ('C1', 'Uno')");
    try {
        db().execute("INSERT INTO canchas (id, descripcion) VALUES ('c1', 'Otra')");
        FAIL() << "se esperaba un error";
    } catch (const DbError &e) {
        EXPECT_EQ(e.numero(), 3022);
    }
}

TEST_F(ConexionTest, TransaccionSinCommitSeDeshace)
{
    {
        Transaccion t(db());
        db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H1', '9:00')");
    }
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 0);
    EXPECT_FALSE(db().enTransaccion());
    {
        Transaccion t(db());
        db().execute("INSERT INTO horarios (codigo, descripcion) VALUES ('H1', '9:00')");
        t.commit();
    }
    EXPECT_EQ(contar("SELECT count(*) FROM horarios"), 1);
}

TEST_F(ConexionTest, ArchivoCifradoYClaveErronea)
{
    QFile f(gRutaBase);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.read(16).startsWith("SQLite format 3"));
    f.close();
    EXPECT_THROW(std::unique_ptr<Conexion>(Conexion::abrir(gRutaBase, "otra")), DbError);
    EXPECT_THROW(std::unique_ptr<Conexion>(Conexion::abrir(carpeta() + "/no_existe.mdb", Esquema::claveBase())),
                 DbError);
}

TEST_F(ConexionTest, OrdenEspanol)
{
    db().execute("INSERT INTO canchas (id, descripcion) VALUES ('A', 'Ñandú'), ('B', 'nube'), ('C', 'Árbol'), ('D', 'oso')");
    Recordset rs = db().openRecordset(QString("SELECT descripcion FROM canchas ORDER BY descripcion") + kCollateEs);
    QStringList l;
    for (; !rs.eof(); rs.moveNext())
        l << rs.texto("descripcion");
    EXPECT_EQ(l, (QStringList{"Árbol", "nube", "Ñandú", "oso"}));
}
