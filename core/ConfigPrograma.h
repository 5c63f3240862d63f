#pragma once
// The program's small configuration file, club.ini in the program folder.
// Missing keys read as texts that tell where to set them.
#include <QString>

struct DatosServidor;

namespace ConfigPrograma {

// Path of the configuration file.
QString archivo();

// Support lines shown by "Soporte técnico".
QString soporteTelefono();
QString soporteMensajeria();
QString soporteEmail();

// Mail: the SMTP server every mail goes through ([correo] servidor,
// smtp.gmail.com when not set), and a file of certificate authorities to
// trust besides the system's ([correo] certificados, "" when not set).
QString servidorCorreo();
// The port of that server for SMTP over SSL ([correo] puerto, 465 when not
// set).
QString puertoCorreo();
QString certificadosCorreo();

// The database: the encrypted file in the program folder unless section
// [base] says motor=postgresql; then true, with the server's host, port,
// database and user (and schema, optional) in d. Never a password: libpq
// reads it from ~/.pgpass or the file PGPASSFILE names.
bool baseEnServidor(DatosServidor &d);
// The same, read from another configuration file (the creation tool's).
bool baseEnServidor(const QString &ini, DatosServidor &d);

} // namespace ConfigPrograma
