#include "PercorsoAdattivo.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The rating above a level's difficulty at which the chance of a right answer is the aim.
const double sopraLAssetto = std::log(PercorsoAdattivo::obiettivo / (1 - PercorsoAdattivo::obiettivo));

// The first answers move the rating a lot, a pupil's start on the path says little; by the
// thirtieth the steps are small enough that a lucky or unlucky streak moves the pupil at most
// one level (measured in the simulation test).
constexpr double passoIniziale = 1.6;
constexpr double passoFinale = 0.3;
constexpr int risposteAssestamento = 30;

// How far past the path's ends the rating may go: beyond that, answers at the end level
// carry no news worth waiting for.
constexpr double margine = 1.5;

// Two levels whose chances are this close to the aim are a tie.
constexpr double pari = 0.02;

} // namespace

double PercorsoAdattivo::difficolta(int livello)
{
    // Each level a step of one: their N ranges widen evenly enough for that.
    return livello;
}

double PercorsoAdattivo::riuscita(double abilita, int livello)
{
    return 1 / (1 + std::exp(difficolta(livello) - abilita));
}

double PercorsoAdattivo::passo(int risposte)
{
    const double resto = std::max(0.0, 1 - static_cast<double>(risposte) / risposteAssestamento);
    return passoFinale + (passoIniziale - passoFinale) * resto;
}

bool PercorsoAdattivo::svelta(qint64 secondi, int passi) { return secondi <= qMax(passi, 0) + 3; }

StatoPercorso PercorsoAdattivo::inizio() const { return {difficolta(percorso_.da) + sopraLAssetto, 0}; }

double PercorsoAdattivo::entro(double abilita) const
{
    const double basso = std::max(difficolta(percorso_.da) + sopraLAssetto - margine, StatoPercorso::abilitaMinima + 1);
    const double alto = std::min(difficolta(percorso_.a) + sopraLAssetto + margine, StatoPercorso::abilitaMassima - 1);
    return std::clamp(abilita, basso, alto);
}

StatoPercorso PercorsoAdattivo::dopo(const StatoPercorso &stato, int livello, bool esatta) const
{
    const StatoPercorso da = stato.noto() ? stato : inizio();
    const double attesa = riuscita(entro(da.abilita), livello);
    StatoPercorso nuovo;
    nuovo.abilita = entro(entro(da.abilita) + passo(da.risposte) * ((esatta ? 1.0 : 0.0) - attesa));
    nuovo.risposte = da.risposte == std::numeric_limits<int>::max() ? da.risposte : da.risposte + 1;
    return nuovo;
}

int PercorsoAdattivo::livello(const StatoPercorso &stato, int attuale, bool svelta) const
{
    if (!stato.noto())
        return percorso_.da;
    const double abilita = entro(stato.abilita);
    auto distanza = [abilita](int l) { return std::abs(riuscita(abilita, l) - obiettivo); };
    int migliore = percorso_.da;
    for (int l = percorso_.da + 1; l <= percorso_.a; ++l)
        if (distanza(l) < distanza(migliore))
            migliore = l;
    // The chance falls as the level rises: a tie can only be with a neighbour.
    for (int vicino : {migliore - 1, migliore + 1}) {
        if (vicino < percorso_.da || vicino > percorso_.a || distanza(vicino) - distanza(migliore) > pari)
            continue;
        const int piuAlto = std::max(migliore, vicino);
        if (svelta)
            return piuAlto;
        if (attuale == vicino)
            return vicino;
        if (attuale != migliore)
            return std::min(migliore, vicino);
    }
    return migliore;
}
