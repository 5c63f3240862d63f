#pragma once
// A one-sheet spreadsheet workbook (.xlsx) made from texts as a grid shows
// them. A text that is a number as the program writes numbers ("1,234.50",
// "-3", "1234.5") becomes a number with the matching number format, a
// day-first date or moment ("15/03/2024", "15/03/2024 18:30:00") a date with
// the matching date format, so the sheet shows the same and adds up; any
// other text (a code "007", a number of more than 15 digits) stays text.
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace HojaCalculo {

// What a cell's text becomes in the sheet.
struct Celda {
    enum Tipo { Vacia, Texto, Numero, Fecha } tipo = Vacia;
    double numero = 0;
    QDateTime momento;
    QString formato; // the sheet's number or date format ("#,##0.00", "dd/mm/yyyy")
};
Celda reconocer(const QString &texto);

struct Hoja {
    QList<QStringList> filas;   // sheet rows from row 1, cells from column A
    QSet<int> negritas;         // sheet rows (from 1) in bold black type
    int columnasAjustadas = 26; // columns from A whose width fits their texts (A:Z)
};

// Writes hoja into a new workbook at ruta (replacing a file there). On
// failure returns false and *error tells why.
bool escribir(const QString &ruta, const Hoja &hoja, QString *error);

// The folder workbooks are written to before the desktop opens them: the
// user's own "club_planillas-<uid>" in base (the system's temporary folder),
// private to the user (0700; a wider one of the user's is narrowed). One of
// that name that is not a folder of this user (another user's, a link) is
// never used: a new private folder with a name of its own is made beside it.
// "" when no folder could be made; *error tells why.
QString carpetaPropia(const QString &base, QString *error);

} // namespace HojaCalculo
