#include "Rapporti.h"

#include "ElencoControlli.h"
#include "core/Twips.h"

void Rapporti::cattura(const ElencoControlli &elenco, double larghezza, double altezza)
{
    rapporti_.assign(elenco.conta(), RapportiControllo{});
    for (int i = 0; i < elenco.conta(); ++i) {
        const Controllo &c = elenco.at(i);
        if (c.tipo == TipoControllo::Menu || c.tipo == TipoControllo::Timer)
            continue;
        rapporti_[i] = RapportiControllo::da(c.progetto, larghezza, altezza);
    }
}

void Rapporti::applica(const ElencoControlli &elenco, double larghezza, double altezza) const
{
    const int n = qMin(elenco.conta(), conta());
    for (int i = 0; i < n; ++i) {
        const Controllo &c = elenco.at(i);
        QWidget *w = c.widget();
        if (!c.siSposta() || !w)
            continue;
        const QRectF t = rapporti_[i].applica(larghezza, altezza);
        // Round the edges, not the sizes, so neighbours stay flush.
        const int x = Twips::inPixel(t.x());
        const int y = Twips::inPixel(t.y());
        const int r = Twips::inPixel(t.x() + t.width());
        const int b = Twips::inPixel(t.y() + t.height());
        w->setGeometry(x, y, r - x, b - y);
    }
}
