#include "Casuale.h"

#include "Orologio.h"

#include <cstring>

namespace {
Casuale *installato = nullptr;
}

int Casuale::estrai(int k, int m)
{
    int valore = static_cast<int>(r() * k);
    // A scripted r of exactly 1 - epsilon may still round up to k in floating point.
    if (valore >= k)
        valore = k - 1;
    return valore + m;
}

void Casuale::seminaDallOrologio() { semina(Orologio::corrente().secondiDallaMezzanotte()); }

Casuale &Casuale::corrente()
{
    static GeneratoreCasuale programma;
    return installato ? *installato : programma;
}

void Casuale::imposta(Casuale *casuale) { installato = casuale; }

std::uint64_t GeneratoreCasuale::prossimo()
{
    // splitmix64
    std::uint64_t z = (stato_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double GeneratoreCasuale::r()
{
    // 53 random bits: exactly representable, always below 1.
    return static_cast<double>(prossimo() >> 11) * (1.0 / 9007199254740992.0);
}

void GeneratoreCasuale::semina(double secondi)
{
    std::uint64_t bit = 0;
    static_assert(sizeof bit == sizeof secondi);
    std::memcpy(&bit, &secondi, sizeof bit);
    stato_ ^= bit * 0xD6E8FEB86659FD93ULL;
    prossimo();
}
