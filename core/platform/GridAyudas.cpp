#include "GridAyudas.h"

#include "platform/Grid.h"
#include "platform/Mensajes.h"

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

bool Usr_ImprimirGrilla(Grid *grid, const QString &nombreTrabajo)
{
    if (Grid::hayImpresora() && grid->imprimir(nombreTrabajo))
        return true;
    MsgBox(QStringLiteral("No se puede imprimir el listado: este equipo no tiene ninguna impresora "
                          "instalada o disponible."),
           vb::Exclamation);
    return false;
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
