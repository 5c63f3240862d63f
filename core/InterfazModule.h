#pragma once
// The general procedures that show something to the user: questions, the
// wait pointer and the reporting of database errors.
#include "db/Conexion.h"

#include <QString>

// Yes/No question with the question icon; true on Yes.
bool Confirmar(const QString &mensaje);

// 1: hourglass pointer; 0: normal pointer; anything else: nothing.
void CursorEspera(int modo);

// Tells the user about a database error and returns what to do:
// 0 retry, 1 go on with the next statement, 2 give up (known), 3 give up.
int ManejoErrorDB(int &intentos, const QString &nombre, const DbError &error);
