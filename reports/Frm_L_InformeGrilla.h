#pragma once
// Frame of the grid reports: a period chosen from a preset list (cmbVer) or
// typed into two date pickers (inside FrameFechas, "Período"), "Actualizar"
// that recomputes the grid, "Imprimir" (after a question), the export of the
// grid to a spreadsheet (toExcel), a descending sort on a click on the title
// of any column but the first, and, when the window has one, a search dialog
// ("Buscar") that selects the first row whose code (column 1) and
// description (column 2) start with the typed texts.
//
// A report window derives from it, calls construir() and implements
// Usr_LlenaGrilla(); extra controls go above the grid (arriba()) or below it
// (abajo()).
#include "PeriodosInforme.h"
#include "platform/Ventanas.h"

#include <QList>
#include <functional>

class Grid;
class QBoxLayout;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;

class Frm_L_InformeGrillaAnexo;

class Frm_L_InformeGrilla : public Formulario {
    Q_OBJECT
public:
    Grid *grilla() const { return m_grid; }
    QDate desde() const;
    QDate hasta() const;
    // Selects the first row matching the search dialog's texts (the row
    // search of the lists, over columns 1 and 2); nothing when none matches.
    void Usr_Busca(const QString &codigo, const QString &descripcion);

protected:
    explicit Frm_L_InformeGrilla(QWidget *parent = nullptr);

    // Builds the window: caption, names of the two date pickers, column
    // titles, and how to get the search dialog (none when empty).
    void construir(const QString &titulo, const QString &nombreDesde, const QString &nombreHasta,
                   const QStringList &columnas, std::function<Frm_L_InformeGrillaAnexo *()> anexo = {});
    // Room for the window's own controls above and below the grid.
    QBoxLayout *arriba() const { return m_arriba; }
    QBoxLayout *abajo() const { return m_abajo; }

    // Fills cmbVer with the presets, chooses entry inicial and applies it.
    void Usr_CargaPeriodos(const QList<PeriodosInforme::Preset> &presets, int inicial);
    // Applies the chosen preset: a fixed one sets both dates and disables the
    // pickers; the free range enables them and keeps the dates. The grid is
    // recomputed only by "Actualizar".
    void Usr_SetPeriodo();
    // Sorts every data row by column col, descending, when row is the title
    // row and col is not the first column.
    void Usr_Ordenar(int col, int row);
    // Recomputes the grid for the period shown.
    virtual void Usr_LlenaGrilla() = 0;
    // Runs a report's query; a database error is shown to the user and gives
    // false (the grid then keeps its rows).
    bool consultar(const std::function<void()> &consulta);

    QDateEdit *pickerDesde() const { return m_desde; }
    QDateEdit *pickerHasta() const { return m_hasta; }

private:
    void imprimir();
    void buscar();

    QList<PeriodosInforme::Preset> m_presets;
    std::function<Frm_L_InformeGrillaAnexo *()> m_anexo;
    QComboBox *m_cmbVer = nullptr;
    QGroupBox *m_frameFechas = nullptr;
    QDateEdit *m_desde = nullptr;
    QDateEdit *m_hasta = nullptr;
    Grid *m_grid = nullptr;
    QPushButton *m_buscar = nullptr;
    QBoxLayout *m_arriba = nullptr;
    QBoxLayout *m_abajo = nullptr;
};

// Search dialog of a grid report: a code and a description to look for.
// "Aceptar" runs the parent's search and closes; "Cancelar" only closes.
class Frm_L_InformeGrillaAnexo : public Dialogo {
    Q_OBJECT
public:
    void setInforme(Frm_L_InformeGrilla *informe) { m_informe = informe; }

protected:
    Frm_L_InformeGrillaAnexo(const QString &titulo, QWidget *parent);

private:
    QPointer<Frm_L_InformeGrilla> m_informe;
    QLineEdit *m_codigo = nullptr;
    QLineEdit *m_desc = nullptr;
};
