#pragma once
// The program's small configuration file, club.ini in the program folder.
// Missing keys read as texts that tell where to set them.
#include <QString>

namespace ConfigPrograma {

// Path of the configuration file.
QString archivo();

// Support lines shown by "Soporte técnico".
QString soporteTelefono();
QString soporteMensajeria();
QString soporteEmail();

} // namespace ConfigPrograma
