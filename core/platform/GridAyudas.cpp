#include "GridAyudas.h"

#include "platform/Grid.h"

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
