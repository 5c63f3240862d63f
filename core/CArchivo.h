#pragma once
// Small file helper: one sequential text file at a time (write, append or
// read line by line) and file and folder operations. Members that can fail
// return false and keep a description of the failure in Error(); nothing is
// shown to the user. The path helpers split at "/" and at "\".
#include <QFile>
#include <QString>
#include <QTextStream>
#include <memory>

class CArchivo {
public:
    // Modes of OpenTextFile, as the scripting runtime numbers them.
    enum ModoTexto { ParaLeer = 1, ParaEscribir = 2, ParaAgregar = 8 };

    CArchivo() = default;
    ~CArchivo() { Cerrar(); }
    CArchivo(const CArchivo &) = delete;
    CArchivo &operator=(const CArchivo &) = delete;

    // Description of the last failure.
    QString Error() const { return m_error; }
    // Path of the text file opened last.
    QString nom_Archivo() const { return m_nombre; }

    // Size in bytes. A missing file throws std::runtime_error.
    qint64 obtenerTamanioArchivo(const QString &ruta) const;

    // Open the text file (UTF-8) for writing from scratch, for appending or
    // for reading; a file opened before is closed first.
    bool Abrir_Escritura(const QString &ruta);
    bool Abrir_Agregar_Escritura(const QString &ruta);
    bool Abrir_Lectura(const QString &ruta);
    // Writes texto as one line of the open file.
    bool Grabar(const QString &texto);
    // True at the end of the open file (or when none is open for reading).
    bool findeArchivo() const;
    // The next line of the open file; "" at the end or on error.
    QString leer();
    void Cerrar();

    // Deletes the file, also a read-only one; true when there was none.
    bool Eliminar(const QString &ruta);
    // carpeta := the path up to and including its last separator ("" when it
    // has none).
    bool ObtenerNombreDirectorio(const QString &ruta, QString &carpeta) const;
    // The part of the path after its last separator.
    QString ObtenerNombreArchivo(const QString &ruta) const;

    // Copies origen over destino. The copy is written beside the target and
    // then put in its place, so a failed copy never leaves a damaged target.
    bool CopiarArchivo(const QString &pnom_File_porigen, const QString &pnom_file_destino);
    // Creates the folder (one level: its parent must exist); true when it
    // already exists.
    bool CrearCarpeta(const QString &pnom_carpeta);
    // Moves a file, replacing an existing target.
    bool MoveFile(const QString &origen, const QString &destino);
    // Copies a file, replacing an existing target (as CopiarArchivo).
    bool CopyFile(const QString &origen, const QString &destino);
    // Deletes a file; a missing file is a failure.
    bool DeleteFile(const QString &ruta);
    bool FileExists(const QString &nom_Archivo) const;
    // A text file opened in modo; nullptr (with Error) when it cannot be.
    std::unique_ptr<QFile> OpenTextFile(const QString &ruta, ModoTexto modo);
    // The short form of a path; this platform has no short names, so the
    // path itself.
    QString GetShortFileName(const QString &ruta) const { return ruta; }

private:
    bool abrir(const QString &ruta, QIODevice::OpenMode modo);
    bool fallar(const QString &descripcion);

    QString m_error;
    QString m_nombre;
    std::unique_ptr<QFile> m_archivo;
    std::unique_ptr<QTextStream> m_texto;
};
