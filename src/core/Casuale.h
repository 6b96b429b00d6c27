#pragma once

#include <cstdint>

// The random source of every draw: uniform numbers in [0, 1), re-seeded from the
// clock at the points the draws ask for. Injectable so tests can script draws.
class Casuale {
public:
    virtual ~Casuale() = default;
    // A fresh number r with 0 <= r < 1.
    virtual double r() = 0;
    // Re-seeds from a clock reading (seconds since midnight).
    virtual void semina(double secondi) = 0;

    // Int(r × k) + m, the form of every draw.
    int estrai(int k, int m);
    // Re-seeds from the program-wide clock.
    void seminaDallOrologio();

    // The program-wide generator unless a test installed another.
    static Casuale &corrente();
    // Installs a generator (not owned); nullptr restores the program's own.
    static void imposta(Casuale *casuale);
};

// A 64-bit mixing generator. Seeding folds the clock reading into the current
// state instead of replacing it, so two seeds that read the same clock value
// still give independent draws and a loop that re-seeds before every draw
// cannot get stuck on one value.
class GeneratoreCasuale : public Casuale {
public:
    explicit GeneratoreCasuale(std::uint64_t stato = 0x9E3779B97F4A7C15ULL) : stato_(stato) {}
    double r() override;
    void semina(double secondi) override;

private:
    std::uint64_t prossimo();
    std::uint64_t stato_;
};
