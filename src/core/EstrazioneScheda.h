#pragma once

#include <vector>

class Casuale;

// One exercise of a sheet as drawn: its picture, the first set's N distinct
// slots and, for kinds 2 and 3, M (the second set fills offsets 0..M).
struct EsercizioEstratto {
    int Figura = 0;
    int ElementiPrimo = 0;
    std::vector<int> Estratte; // accepted slot numbers, in drawing order
    int UltimaCasella = -1;
};

// The random drawing of worksheet exercises, apart from any window.
class EstrazioneScheda {
public:
    // Kind 1: picture 1..12, N 2..10, N distinct slots among base..base+14.
    static EsercizioEstratto insiemeVuoto(Casuale &casuale, int base);
    // Kinds 2 and 3: picture 1..12, N 1..9, N distinct slots, then M 2..10 until
    // the second set suits the kind; an N that no M suits is drawn afresh.
    static EsercizioEstratto conSecondoInsieme(Casuale &casuale, int base, int tipo);
    // Whether a second set of M + 1 elements suits a first set of N in this kind:
    // kind 2 needs fewer than the answer N - 1, kind 3 more.
    static bool ammissibile(int tipo, int elementiPrimo, int ultimaCasella);

private:
    static void estraiCaselle(Casuale &casuale, int base, EsercizioEstratto &esercizio);
};
