#pragma once
// Procedures that act on any grid, for the list windows and the grid
// reports alike: row searches, sorts by keys, colouring, spreadsheet export.
#include "platform/Grid.h"

#include <QColor>
#include <QList>
#include <QString>

// Selects, as a block from column 1 to the last column, the first data row of
// grid whose cell in colCodigo starts with codigo and whose cell in
// colDescripcion starts with descripcion, both trimmed. Only a non-empty text
// counts (blanks count as text; neither given: no match). The comparison is
// exact and case-sensitive and the cells are not trimmed. Returns the row, or
// 0 when none matches (then nothing changes).
int Usr_BuscaEnGrid(Grid *grid, int colCodigo, int colDescripcion, const QString &codigo, const QString &descripcion);

// Prints every row of grid as job nombreTrabajo on the default printer; when
// it is not printed (no printer, no print service, the job refused) the user
// is told why. False then.
bool Usr_ImprimirGrilla(Grid *grid, const QString &nombreTrabajo);

// Removes the active data row of a grid of lines (the last row when none is
// active). With no rows it tells "No hay productos cargados en la grilla."
// and returns false.
bool Usr_EliminaLinea(Grid *grid);

// ------------------------------------------------------------ sort by keys
// Filled by the caller right before each SS_Ordenar and only read by it:
// the key columns (rows when sorting columns), most significant first, a 0
// ending the list; whether each key sorts ascending; the last index of both
// lists that is read; and whether rows (true) or columns (false) are sorted.
extern QList<qint16> SS_Claves;
extern QList<bool> SS_Ascendente;
extern qint16 SS_UltimaClave;
extern bool SS_OrdenarFilas;

// Clears a block selection, then sorts rows primeraFila..MaxRows (or, when
// columns are sorted, every column over those rows) by the keys of the
// globals; with no key (the first is 0) nothing is sorted. A key missing from
// SS_Ascendente sorts ascending. altoFilas 0 or more then fits the height of
// rows 1..DataRowCnt to their texts; -1 leaves the heights.
void SS_Ordenar(Grid *grid, int primeraFila = 1, int altoFilas = -1);

// The first data row whose texts in columnas, joined in that order, equal
// valor exactly (letter case and blanks count); 0 when none does or the
// list is empty. With seleccionar the found row is selected whole.
int SS_BuscarFila(Grid *grid, const QList<int> &columnas, const QString &valor, bool seleccionar = false);
int SS_BuscarFila(Grid *grid, int columna, const QString &valor, bool seleccionar = false);

// ------------------------------------------------------------ colours
// Background of one cell.
void SS_ColorCelda(Grid *grid, int col, int row, const QColor &color);
// Background (fondo true) or text colour (fondo false) of a whole data row,
// columns 1..MaxCols; the colour defaults to the desktop's grey text.
void PintarFilaSpread(Grid *grid, int row, const QColor &color = colorVB(0x80000011), bool fondo = false);

// ------------------------------------------------------------ spreadsheet
// Copies a grid into a new workbook and opens it with the program the
// desktop associates with .xlsx files.
class clsSpread {
public:
    // Sheet row 1 holds the titles, row r + 1 grid row r, column c grid
    // column c (texts as shown; numbers and dates become numbers and dates).
    // Bold black titles and/or last row on request, widths of A:Z fitted to
    // their texts, and "Observaciones: " with xAddComments in column A three
    // rows below the last one when it is not empty. The workbook is written
    // to a folder of temporary files; when no program opens it the user is
    // told where it is. A grid without rows shows the no-data message and
    // writes nothing. True when the workbook was written; a failure shows
    // its description with the critical icon and gives false.
    bool exportToExcel(Grid *xSpread, bool xNegritaEnCabecera, bool xNegritaEnUltimaFila, const QString &xAddComments);
};
