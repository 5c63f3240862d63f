#include "DataCombo.h"

#include "Module.h"

#include <QFocusEvent>

DataCombo::DataCombo(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(10);
    // activated is raised only by the user's choice, never by code.
    connect(this, &QComboBox::activated, this, [this](int) { emit cambiado(); });
}

void DataCombo::cargar(const QString &sql, const QString &campoLista, const QString &campoClave,
                       const Parametros &valores)
{
    m_lista = campoLista;
    m_clave = campoClave;
    cargar(sql, valores);
}

void DataCombo::cargar(const QString &sql, const Parametros &valores)
{
    m_sql = sql;
    m_valores = valores;
    const int antes = currentIndex();
    const bool senales = blockSignals(true);
    clear();
    try {
        Recordset rs = gConexion->openRecordset(sql, valores);
        if (rs.fieldCount() > 0) {
            const QString lista = m_lista.isEmpty() ? rs.nombres().first() : m_lista;
            const QString clave = m_clave.isEmpty() ? rs.nombres().first() : m_clave;
            for (; !rs.eof(); rs.moveNext())
                addItem(rs.campo(lista).texto(), rs.campo(clave).texto());
        }
    } catch (...) {
        clear();
        blockSignals(senales);
        if (antes != -1)
            emit currentIndexChanged(-1);
        throw;
    }
    setCurrentIndex(-1);
    blockSignals(senales);
    if (antes != -1)
        emit currentIndexChanged(-1);
}

void DataCombo::refrescar()
{
    if (m_sql.isEmpty())
        return;
    const int antes = currentIndex();
    const QString clave = BoundText();
    const bool senales = blockSignals(true);
    try {
        cargar(m_sql, m_valores);
    } catch (...) {
        blockSignals(senales);
        if (antes != -1)
            emit currentIndexChanged(-1);
        throw;
    }
    if (antes >= 0)
        setBoundText(clave);
    blockSignals(senales);
    if (currentIndex() != antes)
        emit currentIndexChanged(currentIndex());
}

QString DataCombo::BoundText() const
{
    const int i = currentIndex();
    return i >= 0 ? itemData(i).toString() : QString();
}

void DataCombo::setBoundText(const QString &clave)
{
    int elegido = -1;
    for (int i = 0; i < count() && elegido < 0; ++i)
        if (itemData(i).toString().compare(clave, Qt::CaseInsensitive) == 0)
            elegido = i;
    setCurrentIndex(elegido);
}

QString DataCombo::Text() const
{
    const int i = currentIndex();
    return i >= 0 ? itemText(i) : QString();
}

void DataCombo::focusOutEvent(QFocusEvent *e)
{
    QComboBox::focusOutEvent(e);
    // Opening the own list is not leaving the picker.
    if (e->reason() != Qt::PopupFocusReason)
        emit perdioFoco();
}
