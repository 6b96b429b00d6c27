#pragma once

class Registro;

// The register the program's windows use, set once at start (not owned).
// None when the program runs without one: no "Chi sei?", nothing recorded.
namespace RegistroCorrente {
Registro *registro();
void imposta(Registro *registro);
} // namespace RegistroCorrente
