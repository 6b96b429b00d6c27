#pragma once

#include <array>

// One step of the ladder of levels a teacher fits the exercises to: for each
// exercise kind (0: second set empty, 1: fewer elements, 2: more) whether the
// level offers it, the range of N and, for kind 2, the most elements the second
// set starts with. Level 4 holds the program's usual draws.
class Livello {
public:
    static constexpr int primo = 1;
    static constexpr int ultimo = 6;
    static constexpr int consueto = 4;
    static constexpr int tipi = 3;

    // A kind at a level; massimoN 0 means the level does not offer it.
    struct Regola {
        int minimoN = 0;
        int massimoN = 0;
        int massimoM = 0; // kind 2 only
    };

    constexpr Livello(int numero, Regola vuoto, Regola meno, Regola piu, int capienza)
        : numero_(numero), regole_{vuoto, meno, piu}, capienza_(capienza)
    {
    }

    static constexpr bool valido(int numero) { return numero >= primo && numero <= ultimo; }
    // The level of that number, primo..ultimo.
    static const Livello &di(int numero);

    int numero() const { return numero_; }
    bool offre(int tipo) const { return regole_[tipo].massimoN > 0; }
    const Regola &regola(int tipo) const { return regole_[tipo]; }
    // The level a kind is drawn at: this one when it offers the kind, else the first above that does.
    const Livello &perTipo(int tipo) const;

    // The start count M of the second set for a first set of N: kind 1 from 1 to N - 2 (the
    // pupil adds at least one), kind 2 from N + 2 to the level's largest (takes away at least
    // three); kind 0 starts empty.
    int minimoM(int tipo, int n) const;
    int massimoM(int tipo, int n) const;

    // The most elements the second set holds: 10 as always, the whole grid of 15 from level 5 on.
    int capienzaSecondo() const { return capienza_; }

private:
    int numero_;
    std::array<Regola, tipi> regole_;
    int capienza_;
};
