#include "RapportiControllo.h"

RapportiControllo RapportiControllo::da(const QRect &twips, double larghezza, double altezza)
{
    RapportiControllo r;
    if (larghezza > 0) {
        r.Width = static_cast<float>(twips.width() / larghezza);
        r.Left = static_cast<float>(twips.x() / larghezza);
    }
    if (altezza > 0) {
        r.Height = static_cast<float>(twips.height() / altezza);
        r.Top = static_cast<float>(twips.y() / altezza);
    }
    return r;
}

QRectF RapportiControllo::applica(double larghezza, double altezza) const
{
    return {static_cast<float>(larghezza * Left), static_cast<float>(altezza * Top),
            static_cast<float>(larghezza * Width), static_cast<float>(altezza * Height)};
}
