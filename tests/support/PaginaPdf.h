#pragma once

#include "worksheets/ContenutoScheda.h"

#include <QImage>
#include <QPointF>
#include <QString>
#include <QStringList>

// Pages of a PDF as poppler reads and renders them, measured in the twips the
// print routines use.
namespace PaginaPdf {
// Whether pdftoppm and pdftotext are installed.
bool disponibile();
// The standard output of a program that ended well, or an empty string.
QString esegui(const QString &programma, const QStringList &argomenti);
int pagine(const QString &pdf);
// The words of one page (from 1), in reading order, with their top-left corners in points.
struct Parola {
    QString testo;
    QPointF posto;
};
QList<Parola> parole(const QString &pdf, int pagina);

// One page rendered in grey; origine: the printable area's corner on the paper, in millimetres.
class Resa {
public:
    static constexpr int dpi = 100;
    Resa(const QString &pdf, int pagina, QPointF origineMm);
    bool valida() const { return !immagine_.isNull(); }
    const QImage &immagine() const { return immagine_; }

    QPoint px(QPoint twips) const;
    bool cellaDisegnata(QPoint cella) const;
    // Cells of exercise e's box that show a picture.
    int figure(int e, bool riquadroDestro) const;
    // Which box of the sheet of this kind is missing or misplaced; empty when none.
    QString riquadriFuoriPosto(int tipo) const;
    // Where the page is not the sheet of this kind holding these pictures; empty when it is.
    QString differenze(int tipo, const ContenutoScheda &contenuto) const;

private:
    bool scuro(int x, int y) const { return qGray(immagine_.pixel(x, y)) < 128; }
    bool lineaVicina(int x, int y, bool orizzontale) const;

    QImage immagine_;
    QPointF origineMm_;
};
} // namespace PaginaPdf
