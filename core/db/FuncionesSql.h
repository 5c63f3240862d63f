#pragma once
// SQL functions of our own, added to every connection.
//
// CLAVE_FRECUENTE(clave), an aggregate: among the rows whose clave is not
// Null, the clave that appears most often (claves compared ignoring the case
// of ASCII letters, as COLLATE NOCASE does; on a tie the lowest clave in that
// order), as its first row wrote it; Null when every clave is Null. E.g.
// CLAVE_FRECUENTE(canchas_id) over a client's reservations: the court it
// books most.
struct sqlite3;

void registrarFuncionesSql(sqlite3 *db);
