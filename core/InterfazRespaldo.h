#pragma once
// The database maintenance actions of the main window's menu "Base de datos":
// backup, restore (which ends the program) and the compaction used by the
// reset. They ask the user and report; the work is done by Respaldo.
#include <QString>

// "Generar Backup": a copy of the live database to a file the user chooses,
// readable by the user only. Cancelling the dialog does nothing; a failed
// copy is reported: "Ha ocurrido un error en el proceso." and the reason.
void mnu_backup_Click();

// "Restaurar Backup": after the user's confirmation, replaces the live
// database with a chosen copy and ends the program. A file that is not a
// whole copy of this club's database made by this version or an earlier one
// is refused with "Ha ocurrido un error en el proceso." and the reason below
// it, and the program goes on with its data untouched. The replaced data is
// kept beside the live file (on a server, a copy of it in the program
// folder). While the work goes on a window says so and the program's
// windows are painted; a restore that waits too long for another station
// ends with the reason.
void mnu_restaurarbkp_Click();

// At start-up, before the database is opened: finishes a restore that an
// earlier run left half-done after the copy was checked, or undoes one
// stopped before, and tells the user which.
void terminarRestauracionPendiente();

// Compacts the database file ruta (closed) keeping its password clave. True
// when done; false after telling the user why ("Error compactando dbAccess: ").
bool CompactarBase(const QString &ruta, const QString &clave);
// The same for the database gConexion works on, left open (on a server its
// room is given back by the server: ruta is the database's name).
bool CompactarBaseEnUso();
