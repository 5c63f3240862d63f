#pragma once
// The database's search function: plegar(texto) gives the text with the case
// of every letter folded (Unicode: accented capitals and Ñ included), so that
//   instr(plegar(descripcion), plegar(?)) > 0
// finds "JABÓN Ñandú" when "jabón ñandú" is typed. The engine's own lower()
// folds ASCII letters only.
struct sqlite3;

namespace Plegado {
// Makes plegar() known to a connection; done on every connection opened.
void registrar(sqlite3 *db);
} // namespace Plegado
