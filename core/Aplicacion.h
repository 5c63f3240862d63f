#pragma once
// The program as a whole: its application object, ending it, the single
// running instance and the screen size. Tests replace the ending and the
// screen through the seams below.
#include <QApplication>
#include <QSize>
#include <QString>

// The application object of the program and of the tests. Its event delivery
// is the last net for an error that leaves a handler of the user's action
// (they all should run through Aperturas::protegida): a DbError is told with
// its message, any other exception with its text, both with the critical
// icon, and the program goes on with the next event.
class AplicacionClub : public QApplication {
public:
    AplicacionClub(int &argc, char **argv);
    bool notify(QObject *receptor, QEvent *evento) override;
};

namespace Aplicacion {

// Ends the program at once: every event loop returns and main() stops. When
// no loop runs yet (the load step), main() sees terminada() and stops.
void terminar(int codigo = 0);
bool terminada();
int codigoSalida();

// One running copy per user and machine, whatever program folder it uses:
// stations sharing one folder each start. The lock lives in the user's
// runtime folder (XDG_RUNTIME_DIR: private to the user, local to the
// machine) and carries the machine's name, so that a runtime folder shared
// by several machines still gives each its own lock. "" when the user has no
// usable runtime folder. equipo names another machine; "" is this one.
QString rutaBloqueo(const QString &equipo = QString());
// Takes the instance lock; false when another running copy holds it. The
// lock of a copy that died is taken over. It stays held until
// liberarInstancia().
bool tomarInstancia();
void liberarInstancia();

// How many errors the net of AplicacionClub caught since the start: a
// handler that let its error out (tests check that none does).
int erroresSinManejar();

// Pixels of the primary screen (or the size a test fixed).
QSize tamanoPantalla();
// Fixes the screen size (tests); an invalid size returns to the real screen.
void fijarTamanoPantalla(const QSize &tamano);

// Qt's own texts (file and print dialogs, the text boxes' context menu, the
// standard buttons) in Spanish: loads Qt's Spanish translation and makes
// Spanish the locale of the dialogs and calendars. The program's numbers keep
// their own formats ("." decimal, "," thousands), which never read the locale.
// Call once, after the QApplication exists; false when the translation file
// is not installed (the texts stay in English).
bool ponerEnEspanol();

} // namespace Aplicacion

// While alive, terminar() only counts the calls instead of ending the program.
class FinDePrueba {
public:
    FinDePrueba();
    ~FinDePrueba();
    FinDePrueba(const FinDePrueba &) = delete;
    FinDePrueba &operator=(const FinDePrueba &) = delete;

    int veces() const { return m_veces; }
    void registrar() { ++m_veces; }

private:
    int m_veces = 0;
};
