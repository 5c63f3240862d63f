#pragma once
// The files the program writes hold the club's clients, sales, password
// hashes and mail account: they are readable by their user only, whatever
// folder they are written to.
#include <QString>

namespace ArchivosPrivados {
// From now on every file this process (and every program it starts) creates
// is readable and writable by its user only (0600), and every folder is the
// user's only (0700): the process's file mode mask. Called once at start by
// the program and by crear_base; does nothing where there is no such mask.
void desdeAhora();
// Makes the existing file ruta readable and writable by its user only: for
// a file that took the permissions of another (a copy of a chosen file, a
// second name of the database). False when it could not be done.
bool hacerPrivado(const QString &ruta);
} // namespace ArchivosPrivados
