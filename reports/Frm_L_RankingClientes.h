#pragma once
// Client ranking: every client with what it spent in the period (sales plus
// collected reservations), sorted by that amount, descending.
#include "Frm_L_InformeGrilla.h"

class Frm_L_RankingClientes : public Frm_L_InformeGrilla {
    Q_OBJECT
public:
    explicit Frm_L_RankingClientes(QWidget *parent = nullptr);

protected:
    void Usr_LlenaGrilla() override;
};

class Frm_L_RankingClientesAnexo : public Frm_L_InformeGrillaAnexo {
    Q_OBJECT
public:
    explicit Frm_L_RankingClientesAnexo(QWidget *parent = nullptr)
        : Frm_L_InformeGrillaAnexo(QStringLiteral("Ranking de Clientes - Anexo"), parent)
    {}
};
