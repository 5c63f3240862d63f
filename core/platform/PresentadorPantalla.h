#pragma once
// The message boxes and input boxes of the program as Qt dialogs.

// Makes MsgBox and InputBox show real dialogs over the active window. Called
// once by the program before its first window; tests keep MensajesDePrueba.
void instalarPresentadorPantalla();
