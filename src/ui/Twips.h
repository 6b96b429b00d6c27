#pragma once

#include <QRect>
#include <QRgb>
#include <QtMath>

// The windows are designed in twips; at the logical 96 dpi fifteen make one
// logical pixel. Qt scales logical pixels on high-DPI screens by itself, so the
// physical dpi never enters these conversions.
namespace Twips {
constexpr int perPixel = 15;

inline int inPixel(double twips) { return qRound(twips / perPixel); }
inline QRect inPixel(const QRect &twips)
{
    return {inPixel(twips.x()), inPixel(twips.y()), inPixel(twips.width()), inPixel(twips.height())};
}
inline int daPixel(int pixel) { return pixel * perPixel; }
} // namespace Twips

// 24-bit colour of the window definitions; -1 stands for "not given".
constexpr int RGB(int r, int g, int b) { return (r << 16) | (g << 8) | b; }
inline QRgb inQRgb(int colore) { return qRgb((colore >> 16) & 0xFF, (colore >> 8) & 0xFF, colore & 0xFF); }

class QWidget;
// Fills a widget with a back colour of the definitions; -1 leaves it transparent.
void riempiSfondo(QWidget *widget, int colore);
