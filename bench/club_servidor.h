#pragma once
// The generated club on a PostgreSQL server. It is copied once from the
// cached file into a database of its own, named by the club's key, and kept
// there; every run works on a database copied from that one, as it works on a
// copy of the file.
#include <QString>

struct TamanioClub;
struct DatosServidor;

// The server's database base (user "club") on t.servidor.
DatosServidor baseDeMedida(const TamanioClub &t, const QString &base);
// A new database copied from the club kept on the server (filled from the
// cached file the first time), dropped when the program ends. Returns its
// name. Throws DbError.
QString copiaEnServidor(const TamanioClub &t);
