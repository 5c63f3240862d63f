#pragma once
// The pages of a report in the preview: one column of white sheets with a
// shadow on grey, zoomed to the width, to the whole page or by a factor.
// Each sheet is painted from the report's document only when it comes into
// sight (and kept as a picture of the screen until the zoom changes): a long
// report shows its first page without painting the others first.
#include <QGraphicsView>

class Reporte;
class PaginaVista;

class VisorPaginas : public QGraphicsView {
    Q_OBJECT
public:
    enum class Ajuste { AnchoDePagina, PaginaEntera, Factor };

    explicit VisorPaginas(QWidget *parent = nullptr);
    ~VisorPaginas() override;

    // Shows the pages of reporte (generated, kept alive by the caller while
    // shown), from the first one; nullptr shows none.
    void mostrar(const Reporte *reporte);

    int paginas() const;
    int paginaActual() const; // from 1; 0 without pages
    // Brings the top of page pagina (from 1) into view.
    void irAPagina(int pagina);

    void ajustarAlAncho();
    void ajustarPaginaEntera();
    // 1 shows the paper at its real size on the screen.
    void fijarZoom(double factor);
    double zoom() const { return m_zoom; }
    Ajuste ajuste() const { return m_ajuste; }

signals:
    // The pages, the page in view or the zoom changed.
    void cambiada();
    // Page pagina (from 0) was painted from the report's document.
    void paginaPintada(int pagina);

protected:
    void resizeEvent(QResizeEvent *evento) override;
    void showEvent(QShowEvent *evento) override;

private:
    friend class PaginaVista;
    void ajustar(bool alPrincipioDeLaPagina);
    void fijarAjuste(Ajuste ajuste);
    void seguirPaginaActual();
    int paginaMasVisible() const;

    QGraphicsScene *m_escena = nullptr;
    QList<PaginaVista *> m_paginas;
    int m_actual = 0;
    Ajuste m_ajuste = Ajuste::AnchoDePagina;
    double m_zoom = 1.0;
};
