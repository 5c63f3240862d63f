#pragma once
// Prices of each court per time slot (table valores_canchas). The statements
// run on gConexion and throw DbError; the window holds the transaction of an
// operation made of several calls.
#include <QList>
#include <QString>
#include <optional>

namespace dbValoresCanchas {

// One time slot with the price of one court in it.
struct FilaValor {
    QString codigo;      // horarios.codigo
    QString descripcion; // horarios.descripcion
    double importe = 0;  // the stored price; 0 when the court has none for the slot
};

// Every time slot, ordered by its description text (as the agenda lists
// them), with the price of court canchaId.
QList<FilaValor> valoresDeCancha(const QString &canchaId);

// Price of the court in the slot; std::nullopt when no row holds one.
std::optional<double> precio(const QString &canchaId, const QString &horarioCodigo);

// Deletes every price of the court.
void borrarValores(const QString &canchaId);
// Stores one price of the court for a slot.
void insertarValor(const QString &canchaId, const QString &horarioCodigo, double importe);
// Replaces the target court's prices with the rows stored for the source
// court (only the slots the source has a row for), all or nothing, within
// the caller's transaction when one is open. Returns the rows copied.
int copiarValores(const QString &origenId, const QString &destinoId);

} // namespace dbValoresCanchas
