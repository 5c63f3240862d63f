#pragma once
// Data-bound picker: lists the rows of a query by a shown field and holds the
// chosen row's key as its bound value.
#include "db/Conexion.h"

#include <QComboBox>
#include <QVariant>

class DataCombo : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QString ListField READ ListField WRITE setListField)
    Q_PROPERTY(QString BoundColumn READ BoundColumn WRITE setBoundColumn)
public:
    explicit DataCombo(QWidget *parent = nullptr);

    // Fills the list from sql on gConexion: campoLista is shown, campoClave is
    // the bound value. Nothing is chosen afterwards.
    void cargar(const QString &sql, const QString &campoLista, const QString &campoClave,
                const Parametros &valores = {});
    // Same, with the shown field and the key field taken from ListField and
    // BoundColumn (the first column of the query when they are empty).
    void cargar(const QString &sql, const Parametros &valores = {});
    // Runs the last query again, keeping the bound value when it still exists.
    void refrescar();

    // Key of the chosen row as text; "" when none is chosen.
    QString BoundText() const;
    // Chooses the row whose key equals clave (as text; letter case ignored);
    // a key that no row has leaves nothing chosen and the text empty.
    void setBoundText(const QString &clave);
    // Shown text of the chosen row; "" when none.
    QString Text() const;

    // Field shown in the list and field whose value is the bound value.
    QString ListField() const { return m_lista; }
    void setListField(const QString &campo) { m_lista = campo; }
    QString BoundColumn() const { return m_clave; }
    void setBoundColumn(const QString &campo) { m_clave = campo; }

signals:
    // The user chose a row.
    void cambiado();
    // The picker lost the keyboard focus.
    void perdioFoco();

protected:
    void focusOutEvent(QFocusEvent *e) override;

private:
    QString m_sql;
    QString m_lista;
    QString m_clave;
    Parametros m_valores;
};
