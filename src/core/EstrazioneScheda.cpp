#include "EstrazioneScheda.h"

#include "core/Casuale.h"

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
