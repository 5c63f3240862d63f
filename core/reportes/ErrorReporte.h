#pragma once
// Errors of the report engine. Like every error the program reports they
// carry a number (the printing code tells "file not found" apart from the
// rest by it) and a description in Spanish shown to the user as it is, so
// they are caught and told as the database's errors are.
#include "db/Conexion.h"

namespace CodigoReporte {
// The template file does not exist (or cannot be read).
constexpr int ArchivoNoEncontrado = static_cast<int>(0x80043AC3);
// The template exists but is not a valid template: its header, statements or
// layout cannot be read.
constexpr int PlantillaInvalida = static_cast<int>(0x80043AC4);
// The record selection cannot be read, or names a field the report does not have.
constexpr int SeleccionInvalida = static_cast<int>(0x80043AC5);
// A parameter the template does not declare.
constexpr int ParametroDesconocido = static_cast<int>(0x80043AC6);
// The exported file could not be written.
constexpr int Exportacion = static_cast<int>(0x80043AC7);
} // namespace CodigoReporte

class ErrorReporte : public DbError {
public:
    using DbError::DbError;
};
