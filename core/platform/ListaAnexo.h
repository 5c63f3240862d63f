#pragma once
// The list-and-dialog pattern of the master-data windows: a list window
// (grid vaSpread with a button in column 1 of every data row, header sort,
// button array Command_0..) paired with a modal dialog ("...Anexo") that adds,
// modifies, deletes or searches one row, its mode carried in Tag ("NEW",
// "MOD", "DEL", "BUS").
//
// A concrete list calls construir() in its constructor, then Usr_LlenarDatos(),
// and implements Usr_LlenarDatos() and anexo(). A concrete dialog lays out its
// boxes, calls definirCampos() (boxes in grid-column order: code, description,
// ...) and conectarBotones(), and implements Usr_ValidaDatos(), insertar(),
// modificar() and eliminar().
#include "platform/Mensajes.h"
#include "platform/Ventanas.h"

#include <QList>
#include <QPointer>
#include <QStringList>

class Grid;
class QAbstractButton;
class QPushButton;
class FrmAnexo;

class FrmLista : public Formulario {
    Q_OBJECT
public:
    // What a button of the array does.
    enum Accion { Agregar, Buscar, Eliminar, Imprimir, Cerrar };

    // Empties the grid and refills it from the table.
    virtual void Usr_LlenarDatos() = 0;
    // The row search (Usr_BuscaEnGrid of GridAyudas.h) over the list's code and description columns.
    void Usr_Busca(const QString &codigo, const QString &descripcion);

    Grid *grilla() const { return m_grid; }
    // Button i of the array (Command_i), or nullptr.
    QPushButton *Command(int i) const;

protected:
    explicit FrmLista(QWidget *parent = nullptr);

    // Builds the window: caption, titles of grid columns 2 onward, print job
    // name and the button array (Command_0.. in the given order, with the
    // standard captions "Agregar", "Buscar", ...).
    void construir(const QString &titulo, const QStringList &columnas, const QString &trabajoImpresion,
                   const QList<Accion> &botones = {Agregar, Buscar, Eliminar, Imprimir, Cerrar});
    // Grid columns compared by the search (default 2 and 3).
    void setColumnasBusqueda(int colCodigo, int colDescripcion);
    // "Imprimir" asks "Se imprimirá el listado. ¿Desea continuar?" first (default true).
    void setPreguntarImpresion(bool preguntar) { m_preguntarImpresion = preguntar; }

    // Appends a data row whose cells from column 2 onward are celdas.
    void agregarFila(const QStringList &celdas);

    // The dialog of this list (created on first use).
    virtual FrmAnexo *anexo() = 0;
    // Enabled states of the dialog's boxes for a mode, set before it is shown.
    // Default (codes typed by the user): "BUS" enables code and description
    // and disables every other box; "DEL" disables code and description; "MOD"
    // disables the code and enables the description; "NEW" leaves the design.
    virtual void Usr_HabilitaCampos(FrmAnexo *dlg, const QString &modo);

    // The actions of the buttons, for windows that arrange them otherwise.
    void accionAgregar();
    void accionBuscar();
    void accionEliminar();
    void accionImprimir();
    // Opens data row fila in the dialog in "MOD" mode.
    void Usr_AbreFila(int fila);
    // Copies the cells of row fila (columns 2 onward) into the dialog's boxes.
    void Usr_CargaAnexo(FrmAnexo *dlg, int fila);

private:
    void ejecutar(Accion a);
    void mostrarAnexo(FrmAnexo *dlg, const QString &modo);

    Grid *m_grid = nullptr;
    QList<QPushButton *> m_botones;
    QString m_trabajoImpresion;
    int m_colCodigo = 2;
    int m_colDescripcion = 3;
    bool m_preguntarImpresion = true;
};

class FrmAnexo : public Dialogo {
    Q_OBJECT
public:
    explicit FrmAnexo(QWidget *parent = nullptr);

    // The list that opened the dialog; refilled after every write.
    void setLista(FrmLista *lista) { m_lista = lista; }
    FrmLista *lista() const { return m_lista; }

    // The input boxes in grid-column order (0 code, 1 description, ...).
    const QList<QWidget *> &campos() const { return m_campos; }
    QWidget *campo(int i) const { return m_campos.value(i); }
    // Text of box i (a check box gives "1" or "0").
    QString textoCampo(int i) const;
    void setTextoCampo(int i, const QString &texto);

    // Puts valores into the boxes in order.
    virtual void Usr_CargaValores(const QStringList &valores);
    // Empties every box.
    virtual void Usr_LimpiaCampos();

    // "Aceptar": acts by Tag. A failing statement shows "Error: N - description"
    // and leaves the dialog open.
    void Aceptar();

protected:
    void definirCampos(const QList<QWidget *> &campos) { m_campos = campos; }
    void conectarBotones(QAbstractButton *aceptar, QAbstractButton *cancelar);

    // True when the boxes may be written in modo; otherwise tells the user,
    // puts the focus on the box and returns false.
    virtual bool Usr_ValidaDatos(const QString &modo) = 0;
    virtual void insertar() = 0;
    // False when the row is no longer there (deleted at another station
    // since the list showed it): nothing was written.
    virtual bool modificar() = 0;
    // Deletes the row; false when the delete is refused (the dialog stays open).
    virtual bool eliminar() = 0;
    // Validation helpers. When box i is empty (blanks are not empty): shows
    // mensaje, puts the focus on the box and returns false.
    bool exigirCampo(int i, const QString &mensaje, int estilo = vb::Exclamation);
    // When existe: "Código existente." and "Por favor, ingrese un Código
    // distinto." on two lines (exclamation), focus on the code box, false.
    bool exigirCodigoNuevo(bool existe);
    // After an add: focus on the first enabled box.
    virtual void enfocarTrasAgregar();

    // Icon of the "Error: " message (clients, courts, slots: exclamation).
    int m_iconoError = vb::Exclamation;

private:
    QPointer<FrmLista> m_lista;
    QList<QWidget *> m_campos;
};
