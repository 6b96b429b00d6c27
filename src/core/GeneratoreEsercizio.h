#pragma once

#include <QtGlobal>

#include <array>

class Casuale;
class Livello;

// The random draws of one exercise: picture, first-set size N and its slots,
// and for kinds 1 and 2 the start count M of the second set.
class GeneratoreEsercizio {
public:
    static constexpr int numeroCaselle = 15;

    struct Esercizio {
        qint16 figura = 0;
        int elementiPrimo = 0;
        qint16 elementiIniziali = 0;
        std::array<qint16, numeroCaselle + 1> estratte{};
        std::array<qint16, numeroCaselle + 1> posizioni{};

        // Whether slot k (1..15) holds an element of the first set.
        bool occupa(int k) const;
    };

    // Kind 0: second set empty; 1: fewer elements than the answer; 2: more.
    // The usual draws, those of level 4.
    static Esercizio genera(int tipo, Casuale &casuale);
    // At a level; a kind the level does not offer is drawn at the first level above that does.
    static Esercizio genera(int tipo, const Livello &livello, Casuale &casuale);
};
