// fondos CARPETA: draws the main window's background pictures
// bg-<w>x<h>.jpg for every screen size the program chooses from.
#include "platform/Mensajes.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTextStream>

namespace {

// A court seen from above: outline, net, service lines and centre line.
void dibujarCancha(QPainter &p, const QRectF &r)
{
    p.drawRect(r);
    const double x = r.left(), y = r.top(), w = r.width(), h = r.height();
    p.drawLine(QPointF(x + w / 2, y), QPointF(x + w / 2, y + h));
    const double servicio = w * 0.3;
    p.drawLine(QPointF(x + w / 2 - servicio, y), QPointF(x + w / 2 - servicio, y + h));
    p.drawLine(QPointF(x + w / 2 + servicio, y), QPointF(x + w / 2 + servicio, y + h));
    p.drawLine(QPointF(x + w / 2 - servicio, y + h / 2), QPointF(x + w / 2 + servicio, y + h / 2));
}

QImage fondo(int ancho, int alto)
{
    QImage img(ancho, alto, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient g(0, 0, ancho * 0.35, alto);
    g.setColorAt(0.0, QColor(0x24, 0x4a, 0x5e));
    g.setColorAt(0.55, QColor(0x1f, 0x5b, 0x52));
    g.setColorAt(1.0, QColor(0x17, 0x3d, 0x38));
    p.fillRect(img.rect(), g);

    QRadialGradient luz(QPointF(ancho * 0.3, alto * 0.25), ancho * 0.7);
    luz.setColorAt(0.0, QColor(255, 255, 255, 28));
    luz.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(img.rect(), luz);

    // Court lines, faint, slightly off centre.
    const double escala = alto / 768.0;
    QPen linea(QColor(255, 255, 255, 34), 3.0 * escala);
    p.setPen(linea);
    p.setBrush(Qt::NoBrush);
    // A court keeps its 2:1 shape on every screen.
    const double altoCancha = qMin(alto * 0.6, ancho * 0.64 / 2);
    const QRectF cancha((ancho - 2 * altoCancha) / 2, (alto - altoCancha) / 2 - alto * 0.03, 2 * altoCancha,
                        altoCancha);
    dibujarCancha(p, cancha);
    p.setPen(QPen(QColor(255, 255, 255, 50), 5.0 * escala));
    p.drawLine(QPointF(cancha.center().x(), cancha.top() - 12 * escala),
               QPointF(cancha.center().x(), cancha.bottom() + 12 * escala));

    QFont titulo(QStringLiteral("DejaVu Sans"));
    titulo.setPixelSize(qRound(34 * escala));
    titulo.setWeight(QFont::DemiBold);
    p.setFont(titulo);
    p.setPen(QColor(255, 255, 255, 150));
    const QRectF pie(0, alto * 0.86, ancho - 40 * escala, alto * 0.1);
    p.drawText(pie, Qt::AlignRight | Qt::AlignVCenter, tituloAplicacion());
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "uso: fondos CARPETA\n";
        return 2;
    }
    const QDir carpeta(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(carpeta.path())) {
        err << "no se pudo crear " << carpeta.path() << "\n";
        return 1;
    }
    const QSize tamanos[] = {{800, 600}, {1024, 768}, {1280, 800}, {1280, 1024}, {1366, 768}, {1920, 1080}};
    for (const QSize &t : tamanos) {
        const QString archivo = carpeta.filePath(QStringLiteral("bg-%1x%2.jpg").arg(t.width()).arg(t.height()));
        if (!fondo(t.width(), t.height()).save(archivo, "JPG", 88)) {
            err << "no se pudo escribir " << archivo << "\n";
            return 1;
        }
    }
    return 0;
}
