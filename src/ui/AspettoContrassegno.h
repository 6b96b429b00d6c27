#pragma once

#include <QColor>
#include <QString>

class QPainter;
class QPixmap;
class QRectF;
class QSize;

// How a pupil's contrassegno looks wherever it is shown ("Chi sei?", the
// teacher's window): the element picture on a white ground in the middle of a
// tile of its colour, the colour showing as a broad ring all round, since most
// pictures have a white ground of their own.
namespace AspettoContrassegno {
constexpr int numeroColori = 6;

// The six grounds in the register's order: giallo, rosso, blu, verde, arancione, viola.
// Chosen so that every pair stays apart (CIELAB distance 17 or more) under simulated
// protanopia, deuteranopia and tritanopia, and each still looks like its name.
QColor colore(int indice);

// The tile in the largest square centred in r; nothing for an invalid picture or colour.
void dipingi(QPainter &p, const QRectF &r, int figura, int colore);
// The tile alone at the given logical size, for lists and icons.
QPixmap pixmap(int figura, int colore, const QSize &dimensione, qreal rapportoPixel = 1.0);

// "ciliegie su giallo": the words a child uses for it, with the colour's name as the register gives it.
QString descrizione(int figura, const QString &nomeColore);
} // namespace AspettoContrassegno
