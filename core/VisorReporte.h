#pragma once
// The report viewer control of the preview window: a tool bar (first,
// previous, next and last page, the page shown, zoom, print, save as PDF)
// over the pages of one report.
#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QToolButton;
class Reporte;
class VisorPaginas;

class VisorReporte : public QWidget {
    Q_OBJECT
public:
    explicit VisorReporte(QWidget *parent = nullptr);
    ~VisorReporte() override;

    // The report to show; the viewer keeps it (generated) and lets the one it
    // had go. Its pages are shown by ViewReport, not before: a preview shown
    // before then (its first showing) shows none.
    void ReportSource(std::unique_ptr<Reporte> reporte);
    Reporte *reporte() const { return m_reporte.get(); }
    // Shows the report's first page: a full page fitting the viewer's width,
    // a narrow receipt at 100%. A page is painted when it comes into sight.
    void ViewReport();

    int paginas() const;
    int paginaActual() const; // from 1
    void irAPagina(int pagina);
    VisorPaginas *vista() const { return m_vista; }

    // Prints the report on the default printer as one job; the user is told
    // when it was not printed (InterfazImpresion.h).
    void imprimir();
    // Asks where and writes the report as a PDF file.
    void exportarPdf();

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    void cambiarZoom(int indice);
    void actualizarEstado();
    QToolButton *boton(const QString &nombre, const QString &texto, const QString &ayuda, int icono);

    std::unique_ptr<Reporte> m_reporte;
    VisorPaginas *m_vista = nullptr;
    QToolButton *m_primera = nullptr;
    QToolButton *m_anterior = nullptr;
    QToolButton *m_siguiente = nullptr;
    QToolButton *m_ultima = nullptr;
    QToolButton *m_imprimir = nullptr;
    QLabel *m_pagina = nullptr;
    QComboBox *m_zoom = nullptr;
};
