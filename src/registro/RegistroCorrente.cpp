#include "RegistroCorrente.h"

namespace RegistroCorrente {

namespace {
Registro *corrente = nullptr;
}

Registro *registro() { return corrente; }
void imposta(Registro *registro) { corrente = registro; }

} // namespace RegistroCorrente
