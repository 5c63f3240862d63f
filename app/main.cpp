#include "Aplicacion.h"
#include "Frm_Main.h"
#include "Module.h"
#include "RegistroPrograma.h"
#include "platform/CarpetaPrograma.h"
#include "platform/PresentadorPantalla.h"
#include "platform/Ventanas.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>

namespace {
// The program's icon: a court seen from above.
QIcon iconoPrograma()
{
    QPixmap p(64, 64);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setBrush(QColor(0x2e, 0x7d, 0x5b));
    g.setPen(Qt::NoPen);
    g.drawRoundedRect(QRectF(2, 8, 60, 48), 6, 6);
    g.setPen(QPen(Qt::white, 2.5));
    g.setBrush(Qt::NoBrush);
    g.drawRect(QRectF(9, 14, 46, 36));
    g.drawLine(QPointF(32, 11), QPointF(32, 53));
    g.drawLine(QPointF(18, 32), QPointF(46, 32));
    return QIcon(p);
}
} // namespace

int main(int argc, char **argv)
{
    retenerMemoriaLiberada();
    AplicacionClub app(argc, argv);
    app.setWindowIcon(iconoPrograma());
    Aplicacion::ponerEnEspanol();
    instalarPresentadorPantalla();
    CarpetaPrograma::desdeArgumentos(app.arguments());
    registrarVentanasDelPrograma();

    Frm_Main *principal = Ventanas::obtener<Frm_Main>();
    if (Aplicacion::terminada()) {
        delete principal;
        cerrarConexion();
        return Aplicacion::codigoSalida();
    }
    if (const QScreen *s = app.primaryScreen())
        principal->resize(s->availableGeometry().size());
    principal->showMaximized();
    const int codigo = app.exec();
    delete Frm_Main::instancia();
    cerrarConexion();
    return Aplicacion::terminada() ? Aplicacion::codigoSalida() : codigo;
}
