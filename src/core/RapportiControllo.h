#pragma once

#include <QRect>

// A control's place as fractions of its window's inner size, in the order the
// layout keeps them. Single precision, as the layout always stored them.
struct RapportiControllo {
    float Width = 0;
    float Height = 0;
    float Top = 0;
    float Left = 0;

    // Ratios of a rectangle (twips) to an inner size (twips). A zero inner size
    // cannot be divided by: the ratios then stay 0.
    static RapportiControllo da(const QRect &twips, double larghezza, double altezza);
    // The rectangle, in twips, these ratios give at an inner size (twips).
    QRectF applica(double larghezza, double altezza) const;
};
