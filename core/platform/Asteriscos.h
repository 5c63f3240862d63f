#pragma once
// Password boxes show "*" for every typed character, whatever character the
// platform style would use.
class QLineEdit;

void mostrarAsteriscos(QLineEdit *caja);
