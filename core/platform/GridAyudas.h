#pragma once
// Procedures that act on any grid, for the list windows and the grid
// reports alike: row searches, sorts by keys, colouring, spreadsheet export.
#include <QString>

class Grid;

// Selects, as a block from column 1 to the last column, the first data row of
// grid whose cell in colCodigo starts with codigo and whose cell in
// colDescripcion starts with descripcion, both trimmed. Only a non-empty text
// counts (blanks count as text; neither given: no match). The comparison is
// exact and case-sensitive and the cells are not trimmed. Returns the row, or
// 0 when none matches (then nothing changes).
int Usr_BuscaEnGrid(Grid *grid, int colCodigo, int colDescripcion, const QString &codigo, const QString &descripcion);

// Prints every row of grid as job nombreTrabajo on the default printer; on a
// machine without one, tells the user and prints nothing. False then.
bool Usr_ImprimirGrilla(Grid *grid, const QString &nombreTrabajo);

// Removes the active data row of a grid of lines (the last row when none is
// active). With no rows it tells "No hay productos cargados en la grilla."
// and returns false.
bool Usr_EliminaLinea(Grid *grid);
