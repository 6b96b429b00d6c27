#include "GeneratoreEsercizio.h"

#include "core/Casuale.h"
#include "core/Livello.h"

#include <algorithm>

bool GeneratoreEsercizio::Esercizio::occupa(int k) const
{
    const auto fine = posizioni.begin() + 1 + elementiPrimo;
    return std::find(posizioni.begin() + 1, fine, k) != fine;
}

GeneratoreEsercizio::Esercizio GeneratoreEsercizio::genera(int tipo, Casuale &casuale)
{
    return genera(tipo, Livello::di(Livello::consueto), casuale);
}

GeneratoreEsercizio::Esercizio GeneratoreEsercizio::genera(int tipo, const Livello &scelto, Casuale &casuale)
{
    // Level 4 must draw exactly as the program always did: the same numbers from the
    // source, in the same order, with the same re-seeds.
    const Livello &livello = scelto.perTipo(tipo);
    const Livello::Regola &regola = livello.regola(tipo);
    Esercizio e;
    casuale.seminaDallOrologio();
    e.figura = static_cast<qint16>(casuale.estrai(12, 1));

    if (tipo != 1)
        casuale.seminaDallOrologio();
    const int n = casuale.estrai(regola.massimoN - regola.minimoN + 1, regola.minimoN);
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
        } while (m > livello.massimoM(1, n));
    } else if (tipo == 2) {
        // Drawn from 3, the smallest N + 2; the level's largest M is always accepted.
        const int massimo = livello.massimoM(2, n);
        do {
            casuale.seminaDallOrologio();
            m = casuale.estrai(massimo - 2, 3);
        } while (m < livello.minimoM(2, n));
    }
    e.elementiIniziali = static_cast<qint16>(m);
    return e;
}
