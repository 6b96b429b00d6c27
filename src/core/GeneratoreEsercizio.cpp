#include "GeneratoreEsercizio.h"

#include "core/Casuale.h"

#include <algorithm>

bool GeneratoreEsercizio::Esercizio::occupa(int k) const
{
    const auto fine = posizioni.begin() + 1 + elementiPrimo;
    return std::find(posizioni.begin() + 1, fine, k) != fine;
}

GeneratoreEsercizio::Esercizio GeneratoreEsercizio::genera(int tipo, Casuale &casuale)
{
    Esercizio e;
    casuale.seminaDallOrologio();
    e.figura = static_cast<qint16>(casuale.estrai(12, 1));

    if (tipo != 1)
        casuale.seminaDallOrologio();
    const int n = tipo == 1 ? casuale.estrai(7, 3) : casuale.estrai(8, 1);
    e.elementiPrimo = n;

    for (int i = 1; i <= n; ++i) {
        const auto prese = e.estratte.begin() + 1;
        int s = 0;
        do {
            s = casuale.estrai(numeroCaselle, 1);
        } while (std::find(prese, prese + (i - 1), s) != prese + (i - 1));
        e.estratte[i] = static_cast<qint16>(s);
        e.posizioni[i] = static_cast<qint16>(s);
    }

    int m = 0;
    if (tipo == 1) {
        // N >= 3 always leaves 1 among the accepted values.
        do {
            m = casuale.estrai(n, 1);
        } while (m >= n - 1);
    } else if (tipo == 2) {
        // N <= 8 always leaves 10 among the accepted values.
        do {
            casuale.seminaDallOrologio();
            m = casuale.estrai(8, 3);
        } while (m <= n + 1);
    }
    e.elementiIniziali = static_cast<qint16>(m);
    return e;
}
