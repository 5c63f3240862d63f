#pragma once
// SQL functions of our own, added to every connection.
//
// TURNO_FRECUENTE(clave, orden, valor), an aggregate: among the rows whose
// clave is not Null, the clave that appears most often (claves compared
// ignoring the case of ASCII letters, as COLLATE NOCASE does; on a tie the
// lowest clave in that order), and of its rows the one with the lowest orden
// (then the lowest valor); returns that row's valor, Null when every clave
// is Null. E.g. TURNO_FRECUENTE(canchas_id, fecha, id) over a client's
// reservations: its earliest reservation on the court it books most.
struct sqlite3;

void registrarFuncionesSql(sqlite3 *db);
