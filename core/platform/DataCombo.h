#pragma once
// Data-bound picker: lists the rows a data function returns by a shown field
// and holds the chosen row's key as its bound value. It may be bound to a
// code box, so the user can pick by typing the code or by choosing a row.
#include "db/Conexion.h"

#include <QComboBox>
#include <QPointer>
#include <QVariant>
#include <functional>

class QLineEdit;

class DataCombo : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QString ListField READ ListField WRITE setListField)
    Q_PROPERTY(QString BoundColumn READ BoundColumn WRITE setBoundColumn)
public:
    // Where the rows come from: a data module's query, run again by refrescar.
    using Filas = std::function<Recordset()>;

    explicit DataCombo(QWidget *parent = nullptr);

    // Fills the list from filas(): campoLista is shown, campoClave is the
    // bound value. Nothing is chosen afterwards. A DbError of filas() leaves
    // the list empty and reaches the caller.
    void cargar(Filas filas, const QString &campoLista, const QString &campoClave);
    // Same, with the shown field and the key field taken from ListField and
    // BoundColumn (the first column of the rows when they are empty).
    void cargar(Filas filas);
    // Runs the data function again, keeping the bound value when it still exists.
    void refrescar();

    // Key of the chosen row as text; "" when none is chosen.
    QString BoundText() const;
    // Chooses the row whose key equals clave (as text; letter case ignored,
    // but of two keys that differ only in case the one written as clave);
    // a key that no row has leaves nothing chosen and the text empty. Code
    // choosing a row does not write the bound box nor raise cambiado.
    void setBoundText(const QString &clave);
    // Shown text of the chosen row; "" when none.
    QString Text() const;

    // Binds the code box caja to the picker, with one behaviour for every pair:
    // - typing in the box chooses the row with that code (blanks around it
    //   ignored, letter case ignored as the keys); a code no row has leaves
    //   nothing chosen, while the box keeps what is being typed;
    // - when the box loses the focus it shows the chosen row's code as
    //   stored, or becomes empty when the typed code is unknown;
    // - choosing a row in the list writes its code into the box.
    // cambiado is raised whenever the user changes the chosen row by either
    // way. The box is not owned; a destroyed box ends the link.
    void enlazarCaja(QLineEdit *caja);
    // Does now what the bound box's focus loss does, for a button that acts
    // on the pair without taking the focus from the box.
    void tomarCaja();

    // Field shown in the list and field whose value is the bound value.
    QString ListField() const { return m_lista; }
    void setListField(const QString &campo) { m_lista = campo; }
    QString BoundColumn() const { return m_clave; }
    void setBoundColumn(const QString &campo) { m_clave = campo; }

signals:
    // The user chose a row (in the list, or by its code in the bound box).
    void cambiado();
    // The picker lost the keyboard focus.
    void perdioFoco();

protected:
    void focusOutEvent(QFocusEvent *e) override;

private:
    // Chooses the row of the code in the box; cambiado when it changed.
    void elegirPorCaja();

    Filas m_filas;
    QString m_lista;
    QString m_clave;
    QPointer<QLineEdit> m_caja;
};
