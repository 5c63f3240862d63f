#include "HojaCalculo.h"

#include "platform/Formatos.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace HojaCalculo {

Celda reconocer(const QString &texto)
{
    Celda c;
    if (texto.isEmpty())
        return c;
    c.tipo = Celda::Texto;
    static const QRegularExpression numero(QStringLiteral("^-?([0-9]{1,3}(,[0-9]{3})+|[0-9]+)(\\.([0-9]+))?$"));
    if (const auto m = numero.match(texto); m.hasMatch()) {
        Formatos::FormatoNumero f{int(m.captured(4).size()), !m.captured(2).isEmpty(), true, 15};
        bool ok = false;
        const double v = Formatos::leer(texto, f, &ok);
        // Only a text the number gives back exactly: "007" or 20 digits stay text.
        if (ok && f.decimales <= 10 && Formatos::texto(v, f) == texto) {
            c.tipo = Celda::Numero;
            c.numero = v;
            c.formato = QString(f.miles ? QStringLiteral("#,##0") : QStringLiteral("0"));
            if (f.decimales > 0)
                c.formato += QLatin1Char('.') + QString(f.decimales, QLatin1Char('0'));
        }
        return c;
    }
    const QDate d = Formatos::leerFecha(texto);
    if (d.isValid() && Formatos::fecha(d) == texto) {
        c.tipo = Celda::Fecha;
        c.momento = QDateTime(d, QTime(0, 0));
        c.formato = QStringLiteral("dd/mm/yyyy");
        return c;
    }
    const QDateTime m = QDateTime::fromString(texto, QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    if (m.isValid() && Formatos::momento(m) == texto) {
        c.tipo = Celda::Fecha;
        c.momento = m;
        c.formato = QStringLiteral("dd/mm/yyyy hh:mm:ss");
    }
    return c;
}

namespace {

// One cell format per (bold, number format), made on first use.
class FormatosDeCelda {
public:
    explicit FormatosDeCelda(lxw_workbook *libro) : m_libro(libro) {}
    lxw_format *de(bool negrita, const QString &formato)
    {
        if (!negrita && formato.isEmpty())
            return nullptr;
        const QString clave = (negrita ? QStringLiteral("N|") : QStringLiteral("|")) + formato;
        if (lxw_format *f = m_hechos.value(clave))
            return f;
        lxw_format *f = workbook_add_format(m_libro);
        if (negrita) {
            format_set_bold(f);
            format_set_font_color(f, LXW_COLOR_BLACK);
        }
        if (!formato.isEmpty())
            format_set_num_format(f, formato.toUtf8().constData());
        m_hechos.insert(clave, f);
        return f;
    }

private:
    lxw_workbook *m_libro;
    QHash<QString, lxw_format *> m_hechos;
};

QString textoDe(lxw_error e) { return QString::fromUtf8(lxw_strerror(e)); }

} // namespace

bool escribir(const QString &ruta, const Hoja &hoja, QString *error)
{
    const QByteArray nombre = ruta.toLocal8Bit();
    lxw_workbook *libro = workbook_new(nombre.constData());
    if (!libro) {
        *error = QStringLiteral("No se pudo crear el libro ") + ruta;
        return false;
    }
    lxw_worksheet *hoja_ = workbook_add_worksheet(libro, nullptr);
    FormatosDeCelda formatos(libro);
    QList<double> anchos;
    lxw_error e = LXW_NO_ERROR;
    for (int r = 0; r < hoja.filas.size() && e == LXW_NO_ERROR; ++r) {
        const bool negrita = hoja.negritas.contains(r + 1);
        const QStringList &fila = hoja.filas[r];
        for (int c = 0; c < fila.size() && e == LXW_NO_ERROR; ++c) {
            const Celda celda = reconocer(fila[c]);
            lxw_format *f = formatos.de(negrita, celda.formato);
            const auto rr = lxw_row_t(r);
            const auto cc = lxw_col_t(c);
            switch (celda.tipo) {
            case Celda::Vacia:
                if (f)
                    e = worksheet_write_blank(hoja_, rr, cc, f);
                break;
            case Celda::Numero: e = worksheet_write_number(hoja_, rr, cc, celda.numero, f); break;
            case Celda::Fecha: {
                const QDate d = celda.momento.date();
                const QTime t = celda.momento.time();
                lxw_datetime dt{d.year(), d.month(), d.day(), t.hour(), t.minute(), double(t.second())};
                e = worksheet_write_datetime(hoja_, rr, cc, &dt, f);
                break;
            }
            case Celda::Texto: e = worksheet_write_string(hoja_, rr, cc, fila[c].toUtf8().constData(), f); break;
            }
            // The width a column needs, in characters, from the text shown.
            if (c < hoja.columnasAjustadas) {
                while (anchos.size() <= c)
                    anchos << 0;
                anchos[c] = std::max(anchos[c], fila[c].size() * (negrita ? 1.2 : 1.1) + 2);
            }
        }
    }
    for (int c = 0; c < anchos.size() && e == LXW_NO_ERROR; ++c)
        if (anchos[c] > 0)
            e = worksheet_set_column(hoja_, lxw_col_t(c), lxw_col_t(c), std::min(anchos[c], 255.0), nullptr);
    const lxw_error cierre = workbook_close(libro);
    if (e == LXW_NO_ERROR)
        e = cierre;
    if (e != LXW_NO_ERROR) {
        *error = textoDe(e);
        return false;
    }
    return true;
}

// The message for a folder that could not be made, with the system's reason.
static QString noSePudoCrear(const QByteArray &ruta)
{
    return QStringLiteral("No se pudo crear la carpeta ") + QDir::toNativeSeparators(QFile::decodeName(ruta)) +
           QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

QString carpetaPropia(const QString &base, QString *error)
{
    const QString nombre = QStringLiteral("club_planillas-%1").arg(::getuid());
    const QByteArray ruta = QFile::encodeName(QDir(base).filePath(nombre));
    if (::mkdir(ruta.constData(), 0700) != 0 && errno != EEXIST) {
        *error = noSePudoCrear(ruta);
        return {};
    }
    // lstat: a link is not followed. In a shared temporary folder (sticky)
    // nobody else can swap a folder of this user for another after the check.
    struct stat st {};
    if (::lstat(ruta.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
        ((st.st_mode & 077) == 0 || ::chmod(ruta.constData(), 0700) == 0))
        return QFile::decodeName(ruta);
    QByteArray propia = ruta + "-XXXXXX";
    if (::mkdtemp(propia.data()))
        return QFile::decodeName(propia);
    *error = noSePudoCrear(propia);
    return {};
}

} // namespace HojaCalculo
