#pragma once

#include <vector>

class Casuale;
class Livello;

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

    // At a level, a sheet draws as the exercise of its kind does at that level (a sheet's
    // kind 1 is the exercise's kind 0, and so on): N, then the second set's size, each
    // uniform in its range. Kind 1 keeps N at 2 or more: on paper an empty answer looks
    // like a skipped one.
    static EsercizioEstratto insiemeVuoto(Casuale &casuale, int base, const Livello &livello);
    static EsercizioEstratto conSecondoInsieme(Casuale &casuale, int base, int tipo, const Livello &livello);
    // An exercise of a sheet of any kind: at the level if one is given, else as always.
    static EsercizioEstratto perScheda(Casuale &casuale, int base, int tipo, const Livello *livello);
    // The N a sheet of this kind has at this level.
    static int minimoN(int tipo, const Livello &livello);
    static int massimoN(int tipo, const Livello &livello);

private:
    static void estraiCaselle(Casuale &casuale, int base, EsercizioEstratto &esercizio);
};
