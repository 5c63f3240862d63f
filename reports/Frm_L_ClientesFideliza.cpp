#include "Frm_L_ClientesFideliza.h"

#include "ConsultasInformes.h"
#include "platform/Grid.h"
#include "platform/Mensajes.h"

#include <QBoxLayout>
#include <QLocale>
#include <QRadioButton>

namespace {
enum Columna { kCodigo = 1, kNombre, kTelefono, kUltimo, kCancha, kDia, kHora, kComentarios };

QRadioButton *nuevaOpcion(const QString &nombre, const QString &texto, QWidget *parent)
{
    auto *o = new QRadioButton(texto, parent);
    o->setObjectName(nombre);
    return o;
}
} // namespace

Frm_L_ClientesFideliza::Frm_L_ClientesFideliza(QWidget *parent) : Frm_L_InformeGrilla(parent)
{
    setObjectName(QStringLiteral("Frm_L_ClientesFideliza"));
    construir(QStringLiteral("Fidelización de clientes"), QStringLiteral("fDesde"), QStringLiteral("fHasta"),
              {QStringLiteral("Código"), QStringLiteral("Descripción"), QStringLiteral("Teléfono"),
               QStringLiteral("Último Turno"), QStringLiteral("Cancha Frecuente"), QStringLiteral("Día Frecuente"),
               QStringLiteral("Hora Frecuente"), QStringLiteral("Comentarios")});
    m_opt1 = nuevaOpcion(QStringLiteral("opt1Turno"), QStringLiteral("Con al menos 1 turno registrado"), this);
    m_opt3 = nuevaOpcion(QStringLiteral("opt3Turnos"), QStringLiteral("Con al menos 3 turnos registrados"), this);
    m_opt10 = nuevaOpcion(QStringLiteral("opt10Turnos"), QStringLiteral("Con al menos 10 turnos registrados"), this);
    m_opt1->setChecked(true);
    auto *opciones = new QHBoxLayout;
    for (QRadioButton *o : {m_opt1, m_opt3, m_opt10})
        opciones->addWidget(o);
    opciones->addStretch();
    arriba()->addLayout(opciones);

    Grid *g = grilla();
    const int anchos[] = {0, 60, 200, 110, 95, 130, 105, 110, 200};
    for (int c = kCodigo; c <= kComentarios; ++c)
        g->setColumnWidth(c, anchos[c]);
    resize(1100, 540);

    Usr_CargaPeriodos(PeriodosInforme::fidelizacion(), 3);
    grilla()->setMaxRows(0);
}

int Frm_L_ClientesFideliza::minimoTurnos() const
{
    if (m_opt10->isChecked())
        return 10;
    return m_opt3->isChecked() ? 3 : 1;
}

void Frm_L_ClientesFideliza::Usr_LlenaGrilla()
{
    QList<ConsultasInformes::FilaFideliza> filas;
    if (!consultar([&] { filas = ConsultasInformes::clientesSinTurnos(minimoTurnos(), desde(), hasta()); }))
        return;
    if (filas.isEmpty()) {
        MsgBox(QStringLiteral("No hay datos."), vb::Information);
        return;
    }
    const QLocale es(QLocale::Spanish);
    Grid *g = grilla();
    g->setMaxRows(0);
    for (const auto &f : filas) {
        g->appendRow({QString::number(f.id), f.nombre, f.telefono, Formatos::fecha(f.ultimoTurno), f.canchaFrecuente,
                      f.fechaFrecuente.isValid() ? es.dayName(f.fechaFrecuente.dayOfWeek()) : QString(),
                      f.horaFrecuente, f.comentarios});
    }
}
