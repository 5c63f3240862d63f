#pragma once
// The program folder: where the executable lives, unless the command line
// (--carpeta DIR) or the environment (CLUB_CARPETA) points elsewhere.
// It holds db_main.mdb, rptcr/, img/fondos/, the log and the manual.
#include <QString>

namespace CarpetaPrograma {
QString ruta();
void fijar(const QString &carpeta);
// Reads --carpeta / CLUB_CARPETA; call once at start-up.
void desdeArgumentos(const QStringList &args);
// ruta() + "/" + relativa
QString archivo(const QString &relativa);
} // namespace CarpetaPrograma
