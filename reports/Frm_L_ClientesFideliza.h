#pragma once
// Client loyalty control: the regular clients (at least 1, 3 or 10
// reservations on record) with no reservation in the period, with their
// latest reservation and the court, weekday and slot they usually book, so
// that the club can call them. Opens on "hace 15 días" with an empty grid.
#include "Frm_L_InformeGrilla.h"

class QRadioButton;

class Frm_L_ClientesFideliza : public Frm_L_InformeGrilla {
    Q_OBJECT
public:
    explicit Frm_L_ClientesFideliza(QWidget *parent = nullptr);

protected:
    // With no client found: "No hay datos." and the grid keeps its rows.
    void Usr_LlenaGrilla() override;

private:
    // 1, 3 or 10 after the option chosen.
    int minimoTurnos() const;

    QRadioButton *m_opt1 = nullptr;
    QRadioButton *m_opt3 = nullptr;
    QRadioButton *m_opt10 = nullptr;
};
