#pragma once

#include "ContenutoScheda.h"
#include "core/EstrazioneScheda.h"

#include <array>
#include <vector>

class Casuale;
class Livello;
class SuperficieStampa;

// One sheet of a class set as drawn: its four exercises, cells counted from 0.
struct SchedaEstratta {
    std::array<EsercizioEstratto, GeometriaScheda::esercizi> esercizi;

    // The pictures the sheet prints, cell by cell as the window's slots would hold them.
    ContenutoScheda contenuto(int tipo) const;
    // Same pictures in the same cells: a pupil could copy from the neighbour.
    bool uguale(const SchedaEstratta &altra) const;
};

// A class set: K sheets of one kind, each drawn afresh, printed as one document
// with "Scheda n / K" on each sheet and, if asked, the answer keys after them.
class SchedeClasse {
public:
    static constexpr int minimo = 1;
    static constexpr int massimo = 40;

    SchedeClasse(int tipo, std::vector<SchedaEstratta> schede) : tipo_(tipo), schede_(std::move(schede)) {}
    // By the rules of the worksheet windows' own draws, at a level if one is given; a
    // sheet equal to an earlier one of the set is drawn again.
    static SchedeClasse estrai(Casuale &casuale, int tipo, int copie, const Livello *livello = nullptr);

    int tipo() const { return tipo_; }
    const std::vector<SchedaEstratta> &schede() const { return schede_; }

    // The whole set as one document. False when nothing was sent; the user has
    // then been told, once.
    bool stampa(SuperficieStampa &superficie, bool soluzioni) const;

private:
    int tipo_;
    std::vector<SchedaEstratta> schede_;
};
