#include "GridAyudas.h"

#include "HojaCalculo.h"
#include "platform/Escritorio.h"
#include "platform/Grid.h"
#include "platform/Mensajes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

int Usr_BuscaEnGrid(Grid *grid, int colCodigo, int colDescripcion, const QString &codigo, const QString &descripcion)
{
    const bool conCodigo = !codigo.isEmpty();
    const bool conDescripcion = !descripcion.isEmpty();
    if (!grid || (!conCodigo && !conDescripcion))
        return 0;
    const QString c = codigo.trimmed();
    const QString d = descripcion.trimmed();
    for (int r = 1; r <= grid->MaxRows(); ++r) {
        if (conCodigo && !grid->text(colCodigo, r).startsWith(c, Qt::CaseSensitive))
            continue;
        if (conDescripcion && !grid->text(colDescripcion, r).startsWith(d, Qt::CaseSensitive))
            continue;
        grid->selectBlock(1, r, grid->MaxCols(), r);
        return r;
    }
    return 0;
}

bool Usr_ImprimirGrilla(Grid *grid, const QString &nombreTrabajo) { return grid->imprimir(nombreTrabajo); }

QList<qint16> SS_Claves;
QList<bool> SS_Ascendente;
qint16 SS_UltimaClave = 0;
bool SS_OrdenarFilas = true;

void SS_Ordenar(Grid *grid, int primeraFila, int altoFilas)
{
    if (grid->isBlockSelected())
        grid->clearSelection();
    QList<Grid::ClaveOrden> claves;
    for (int i = 0; i <= SS_UltimaClave && i < SS_Claves.size(); ++i) {
        if (SS_Claves[i] == 0)
            break;
        claves.append({SS_Claves[i], i < SS_Ascendente.size() ? SS_Ascendente[i] : true});
    }
    if (claves.isEmpty())
        return;
    if (SS_OrdenarFilas)
        grid->sort(primeraFila, grid->MaxRows(), claves);
    else
        grid->sortColumns(1, grid->MaxCols(), primeraFila, grid->MaxRows(), claves);
    if (altoFilas >= 0 && grid->DataRowCnt() > 0)
        grid->fitRowHeights(1, grid->DataRowCnt());
}

int SS_BuscarFila(Grid *grid, const QList<int> &columnas, const QString &valor, bool seleccionar)
{
    if (columnas.isEmpty())
        return 0;
    for (int r = 1; r <= grid->MaxRows(); ++r) {
        QString junto;
        for (int c : columnas)
            junto += grid->text(c, r);
        if (junto != valor)
            continue;
        if (seleccionar)
            grid->selectBlock(0, r, grid->MaxCols(), r);
        return r;
    }
    return 0;
}

int SS_BuscarFila(Grid *grid, int columna, const QString &valor, bool seleccionar)
{
    return SS_BuscarFila(grid, QList<int>{columna}, valor, seleccionar);
}

void SS_ColorCelda(Grid *grid, int col, int row, const QColor &color) { grid->setCellBackColor(col, row, color); }

void PintarFilaSpread(Grid *grid, int row, const QColor &color, bool fondo)
{
    if (fondo)
        grid->setRowBackColor(row, color);
    else
        grid->setRowForeColor(row, color);
}

bool Usr_EliminaLinea(Grid *grid)
{
    const int filas = grid->MaxRows();
    if (filas == 0) {
        MsgBox(QStringLiteral("No hay productos cargados en la grilla."), vb::Information);
        return false;
    }
    const int fila = grid->ActiveRow();
    grid->removeRows(fila >= 1 && fila <= filas ? fila : filas);
    return true;
}

bool clsSpread::exportToExcel(Grid *xSpread, bool xNegritaEnCabecera, bool xNegritaEnUltimaFila,
                              const QString &xAddComments)
{
    const int filas = xSpread->MaxRows();
    if (filas == 0) {
        MsgBox(QStringLiteral("No hay datos para exportar a excel. Se ha indicado 0 en el parámetro Filas "),
               vb::OKOnly);
        return false;
    }
    HojaCalculo::Hoja hoja;
    for (int r = 0; r <= filas; ++r) {
        QStringList fila;
        for (int c = 1; c <= xSpread->MaxCols(); ++c)
            fila << xSpread->text(c, r);
        hoja.filas << fila;
    }
    if (xNegritaEnCabecera)
        hoja.negritas.insert(1);
    if (xNegritaEnUltimaFila)
        hoja.negritas.insert(filas + 1);
    if (!xAddComments.isEmpty()) {
        hoja.filas << QStringList() << QStringList();
        hoja.filas << QStringList{QStringLiteral("Observaciones: ") + xAddComments};
    }

    // A name of its own in the user's private folder of the temporary folder,
    // kept after this call so the spreadsheet program can open it.
    QString error;
    const QString carpeta = HojaCalculo::carpetaPropia(QDir::tempPath(), &error);
    if (carpeta.isEmpty()) {
        MsgBox(error, vb::Critical);
        return false;
    }
    QTemporaryFile reserva(QDir(carpeta).filePath(QStringLiteral("planilla-XXXXXX.xlsx")));
    reserva.setAutoRemove(false);
    if (!reserva.open()) {
        MsgBox(QStringLiteral("No se pudo crear el libro en ") + QDir::toNativeSeparators(carpeta), vb::Critical);
        return false;
    }
    const QString ruta = reserva.fileName();
    reserva.close();
    if (!HojaCalculo::escribir(ruta, hoja, &error)) {
        QFile::remove(ruta);
        MsgBox(error, vb::Critical);
        return false;
    }
    // Told also when the desktop's opener ends in failure after this returns.
    Escritorio::abrir(ruta, [ruta] {
        MsgBox(QStringLiteral("No hay un programa para abrir planillas de cálculo en este equipo. El libro se "
                              "guardó en:\r") +
                   QDir::toNativeSeparators(ruta),
               vb::Information);
    });
    return true;
}
