#pragma once

#include "core/RapportiControllo.h"

#include <vector>

class ElencoControlli;

// The proportional layout of a window: one record per entry of its control
// list, captured once at load at the design size and applied at every resize,
// so each control keeps its proportional place and fonts keep their size.
class Rapporti {
public:
    // Inner size in twips. Menu items and timers have no place: their records stay 0.
    void cattura(const ElencoControlli &elenco, double larghezza, double altezza);
    // Moves and sizes every control but timers, menu items and lists.
    void applica(const ElencoControlli &elenco, double larghezza, double altezza) const;

    int conta() const { return static_cast<int>(rapporti_.size()); }
    const RapportiControllo &operator[](int i) const { return rapporti_.at(i); }

private:
    std::vector<RapportiControllo> rapporti_;
};
