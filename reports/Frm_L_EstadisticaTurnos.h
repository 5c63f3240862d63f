#pragma once
// Court occupation statistics: for every court, how many collected
// reservations it had in the period and what they were worth, sorted by the
// amount (descending), with both totals below the grid.
#include "Frm_L_InformeGrilla.h"

class QLabel;

class Frm_L_EstadisticaTurnos : public Frm_L_InformeGrilla {
    Q_OBJECT
public:
    explicit Frm_L_EstadisticaTurnos(QWidget *parent = nullptr);

protected:
    void Usr_LlenaGrilla() override;

private:
    // Adds up the turns and amounts of the rows shown into the two labels.
    void Usr_Totales();

    QLabel *m_totalTurnos = nullptr;
    QLabel *m_totalMonto = nullptr;
};

class Frm_L_EstadisticaTurnosAnexo : public Frm_L_InformeGrillaAnexo {
    Q_OBJECT
public:
    explicit Frm_L_EstadisticaTurnosAnexo(QWidget *parent = nullptr)
        : Frm_L_InformeGrillaAnexo(QStringLiteral("Turnos / Alquileres - Anexo"), parent)
    {}
};
