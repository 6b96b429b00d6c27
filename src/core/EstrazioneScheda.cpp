#include "EstrazioneScheda.h"

#include "core/Casuale.h"
#include "core/Livello.h"

#include <algorithm>

namespace {
constexpr int primaM = 2;
constexpr int ultimaM = 10;
} // namespace

void EstrazioneScheda::estraiCaselle(Casuale &casuale, int base, EsercizioEstratto &esercizio)
{
    esercizio.Estratte.clear();
    for (int i = 0; i < esercizio.ElementiPrimo; ++i) {
        int casella = 0;
        do
            casella = base + casuale.estrai(15, 0);
        while (std::find(esercizio.Estratte.begin(), esercizio.Estratte.end(), casella) != esercizio.Estratte.end());
        esercizio.Estratte.push_back(casella);
    }
}

EsercizioEstratto EstrazioneScheda::insiemeVuoto(Casuale &casuale, int base)
{
    EsercizioEstratto esercizio;
    casuale.seminaDallOrologio();
    esercizio.Figura = casuale.estrai(12, 1);
    esercizio.ElementiPrimo = casuale.estrai(9, 2);
    estraiCaselle(casuale, base, esercizio);
    return esercizio;
}

bool EstrazioneScheda::ammissibile(int tipo, int elementiPrimo, int ultimaCasella)
{
    const int secondo = ultimaCasella + 1;
    const int risposta = elementiPrimo - 1;
    return tipo == 2 ? secondo < risposta : secondo > risposta;
}

EsercizioEstratto EstrazioneScheda::conSecondoInsieme(Casuale &casuale, int base, int tipo)
{
    EsercizioEstratto esercizio;
    for (;;) {
        casuale.seminaDallOrologio();
        esercizio.Figura = casuale.estrai(12, 1);
        esercizio.ElementiPrimo = casuale.estrai(9, 1);
        estraiCaselle(casuale, base, esercizio);
        bool esiste = false;
        for (int m = primaM; m <= ultimaM && !esiste; ++m)
            esiste = ammissibile(tipo, esercizio.ElementiPrimo, m);
        // Without this the loop on M below would never end.
        if (!esiste)
            continue;
        do {
            casuale.seminaDallOrologio();
            esercizio.UltimaCasella = casuale.estrai(9, primaM);
        } while (!ammissibile(tipo, esercizio.ElementiPrimo, esercizio.UltimaCasella));
        return esercizio;
    }
}

int EstrazioneScheda::minimoN(int tipo, const Livello &livello)
{
    const int n = livello.perTipo(tipo - 1).regola(tipo - 1).minimoN;
    return tipo == 1 ? std::max(n, 2) : n;
}

int EstrazioneScheda::massimoN(int tipo, const Livello &livello)
{
    return livello.perTipo(tipo - 1).regola(tipo - 1).massimoN;
}

EsercizioEstratto EstrazioneScheda::insiemeVuoto(Casuale &casuale, int base, const Livello &livello)
{
    EsercizioEstratto esercizio;
    casuale.seminaDallOrologio();
    esercizio.Figura = casuale.estrai(12, 1);
    const int minimo = minimoN(1, livello);
    esercizio.ElementiPrimo = casuale.estrai(massimoN(1, livello) - minimo + 1, minimo);
    estraiCaselle(casuale, base, esercizio);
    return esercizio;
}

EsercizioEstratto EstrazioneScheda::conSecondoInsieme(Casuale &casuale, int base, int tipo, const Livello &scelto)
{
    const Livello &livello = scelto.perTipo(tipo - 1);
    EsercizioEstratto esercizio;
    casuale.seminaDallOrologio();
    esercizio.Figura = casuale.estrai(12, 1);
    const int minimo = minimoN(tipo, livello);
    esercizio.ElementiPrimo = casuale.estrai(massimoN(tipo, livello) - minimo + 1, minimo);
    estraiCaselle(casuale, base, esercizio);
    // Every N of a level leaves at least one M: no draw is thrown away.
    const int n = esercizio.ElementiPrimo;
    const int primaM = livello.minimoM(tipo - 1, n);
    casuale.seminaDallOrologio();
    const int m = casuale.estrai(livello.massimoM(tipo - 1, n) - primaM + 1, primaM);
    esercizio.UltimaCasella = m - 1;
    return esercizio;
}

EsercizioEstratto EstrazioneScheda::perScheda(Casuale &casuale, int base, int tipo, const Livello *livello)
{
    if (tipo == 1)
        return livello ? insiemeVuoto(casuale, base, *livello) : insiemeVuoto(casuale, base);
    return livello ? conSecondoInsieme(casuale, base, tipo, *livello) : conSecondoInsieme(casuale, base, tipo);
}
