#pragma once
// Message boxes, questions and input boxes: every one the program shows goes
// through here, so tests can read what the user was told and answer it.
// This side only records and forwards: the windows library installs the
// presenter that puts the boxes on the screen (instalarPresentadorPantalla).
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace vb {
// Buttons
constexpr int OKOnly = 0;
constexpr int OKCancel = 1;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int RetryCancel = 5;
// Icons
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
// Default button (the first one when none is given)
constexpr int DefaultButton1 = 0;
constexpr int DefaultButton2 = 256;
constexpr int DefaultButton3 = 512;
// Answers
constexpr int OK = 1;
constexpr int Cancel = 2;
constexpr int Retry = 4;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace vb

// Title of the application; the default title of every box.
QString tituloAplicacion();

// Shows prompt with the buttons, icon and default button of estilo (the sum
// of vb constants above) and returns the answer (vb::OK, vb::Yes, ...).
// An empty title means the application title. A style made of anything else
// is a programming error: MensajesDePrueba refuses it (throws
// std::invalid_argument), the program shows the box with OK only.
// Closing the box without a button answers as its last button (Cancel, No).
int MsgBox(const QString &prompt, int estilo = vb::OKOnly, const QString &titulo = QString());

// Tells the user that the row being changed is no longer there (deleted
// meanwhile, at another station) and nothing was saved.
void avisarRegistroEliminado();

// Asks for a text; returns "" when cancelled.
QString InputBox(const QString &prompt, const QString &titulo = QString(), const QString &porDefecto = QString());

// What was shown, for tests.
struct MensajeMostrado {
    QString prompt;
    int estilo = 0;
    QString titulo; // the title as shown (application title when none given)
    int icono() const { return estilo & 0x70; }
    int botones() const { return estilo & 0x0f; }
    // True when estilo is made only of the constants above.
    bool estiloConocido() const;
    // The answers of the buttons in order (vb::OK alone for an unknown style).
    std::vector<int> respuestas() const;
    // Position in respuestas() of the default button.
    int botonPorDefecto() const;
};

// Puts a box in front of the user and returns the answer.
struct Presentador {
    std::function<int(const MensajeMostrado &)> mostrar;
    std::function<QString(const MensajeMostrado &, const QString &porDefecto)> pedirTexto;
    std::function<void(bool)> espera; // the wait pointer on (true) or off
};

// Installs the presenter of the boxes (an empty one removes it). Without a
// presenter (tools without windows) a box is written to the error output
// and answered as MensajesDePrueba answers by default.
void instalarPresentador(Presentador p);

// Shows the wait pointer while it lives, for data work the user waits on
// (nothing without a presenter).
class EsperaVisible {
public:
    EsperaVisible();
    ~EsperaVisible();
    EsperaVisible(const EsperaVisible &) = delete;
    EsperaVisible &operator=(const EsperaVisible &) = delete;
};

// Replaces the real boxes while it lives: every box is recorded and answered
// from the queue of answers (or by the default button when the queue is
// empty, "" for an input box). A box of unknown style throws
// std::invalid_argument.
class MensajesDePrueba {
public:
    MensajesDePrueba();
    ~MensajesDePrueba();
    MensajesDePrueba(const MensajesDePrueba &) = delete;
    MensajesDePrueba &operator=(const MensajesDePrueba &) = delete;

    void responder(int respuesta) { m_respuestas.push_back(respuesta); }
    void responderTexto(const QString &t) { m_textos.push_back(t); }
    // Runs a function when the next box is shown (before it is answered).
    void alMostrar(std::function<void(const MensajeMostrado &)> f) { m_alMostrar = std::move(f); }

    const std::vector<MensajeMostrado> &mostrados() const { return m_mostrados; }
    QStringList textos() const;
    bool vacio() const { return m_mostrados.empty(); }
    const MensajeMostrado &ultimo() const { return m_mostrados.back(); }
    void limpiar() { m_mostrados.clear(); }

    // Internal: called by MsgBox / InputBox.
    int mostrar(const MensajeMostrado &m);
    QString pedirTexto(const MensajeMostrado &m, const QString &porDefecto);

private:
    std::vector<MensajeMostrado> m_mostrados;
    std::vector<int> m_respuestas;
    std::vector<QString> m_textos;
    std::function<void(const MensajeMostrado &)> m_alMostrar;
};
