#pragma once

#include <QRect>
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
