#include "DataCombo.h"

#include "platform/Foco.h"

#include <QFocusEvent>
#include <QLineEdit>

DataCombo::DataCombo(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(10);
    // activated is raised only by the user's choice, never by code.
    connect(this, &QComboBox::activated, this, [this](int) {
        if (m_caja)
            m_caja->setText(BoundText());
        emit cambiado();
    });
}

void DataCombo::enlazarCaja(QLineEdit *caja)
{
    m_caja = caja;
    // textEdited: only the user's typing, never a text the window sets.
    connect(caja, &QLineEdit::textEdited, this, [this] { elegirPorCaja(); });
    // Guarded: the focus may leave the box while its window is destroyed.
    QPointer<DataCombo> yo = this;
    alPerderFoco(caja, [yo] {
        if (yo)
            yo->tomarCaja();
    });
}

void DataCombo::tomarCaja()
{
    if (!m_caja)
        return;
    elegirPorCaja();
    m_caja->setText(BoundText());
}

void DataCombo::elegirPorCaja()
{
    if (!m_caja)
        return;
    const QString antes = BoundText();
    setBoundText(m_caja->text().trimmed());
    if (BoundText() != antes)
        emit cambiado();
}

void DataCombo::cargar(Filas filas, const QString &campoLista, const QString &campoClave)
{
    m_lista = campoLista;
    m_clave = campoClave;
    cargar(std::move(filas));
}

void DataCombo::cargar(Filas filas)
{
    m_filas = std::move(filas);
    const int antes = currentIndex();
    const bool senales = blockSignals(true);
    clear();
    try {
        Recordset rs = m_filas();
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
    if (!m_filas)
        return;
    const int antes = currentIndex();
    const QString clave = BoundText();
    const bool senales = blockSignals(true);
    try {
        cargar(m_filas);
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
    for (int i = 0; i < count(); ++i) {
        const QString k = itemData(i).toString();
        if (k == clave) {
            elegido = i;
            break;
        }
        if (elegido < 0 && k.compare(clave, Qt::CaseInsensitive) == 0)
            elegido = i;
    }
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
