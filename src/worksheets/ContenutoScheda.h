#pragma once

#include "core/GeometriaScheda.h"
#include "ui/Disegno.h"

#include <array>

// The pictures a sheet prints, as the window's slots hold them: for each exercise
// the 15 cells of the first set and, for kinds 2 and 3, of the second set.
struct ContenutoScheda {
    using Celle = std::array<Disegno, GeometriaScheda::celle>;
    std::array<Celle, GeometriaScheda::esercizi> primo;
    std::array<Celle, GeometriaScheda::esercizi> secondo;
};
