#pragma once
// The installation's mail account (t_emailconf, at most one row). The
// password is kept scrambled with CodificaTexto; callers always see it plain.
#include <QString>
#include <optional>

struct CuentaEmail {
    QString usuario;      // the sending account: SMTP login and sender address
    QString contrasena;   // plain
    QString destinatario; // one or more addresses separated by commas
};

namespace dbEmailConf {
// The stored account; nothing when none was saved. Null columns read as "".
// Throws DbError.
std::optional<CuentaEmail> leer();
// Replaces the stored account by cuenta, recording the current user, whole
// or not at all (its guard joins the caller's transaction). Throws DbError.
void guardar(const CuentaEmail &cuenta);
} // namespace dbEmailConf
