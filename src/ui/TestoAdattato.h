#pragma once

#include <QFont>
#include <QRectF>

class QString;
class QWidget;

// Captions that fit their control. A control draws its text in its own font
// when the text fits, which it does at the design size and above; in a control
// made smaller than its design the font shrinks until the text fits, but never
// below a legible size. What must fit is the ink: the room a font keeps above
// its tallest and below its deepest letter may fall outside the control.
namespace TestoAdattato {
// The smallest legible text, in device pixels.
constexpr double minimoPixel = 8.0;

// The smallest legible point size on the screen of w.
double minimoPunti(const QWidget &w);
// Where the letters of testo lie when QPainter::drawText draws it into spazio with these flags.
QRectF inchiostro(const QFont &f, const QString &testo, const QRectF &spazio, int flags);
// The rectangle to draw into so that the letters lie within spazio, moved up or down if need be.
QRectF posto(const QFont &f, const QString &testo, const QRectF &spazio, int flags);
// The font in which testo fits spazio: progetto itself when it fits, else the largest
// smaller one that does, not below minimo points.
QFont carattere(const QFont &progetto, const QString &testo, const QSizeF &spazio, int flags, double minimo);
} // namespace TestoAdattato
