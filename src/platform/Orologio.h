#pragma once

// The time of day, in seconds since midnight with fractions. Injectable so that
// tests can script the answer clock and the seeds of the random draws.
class Orologio {
public:
    virtual ~Orologio() = default;
    virtual double secondiDallaMezzanotte() const = 0;

    // The program-wide clock: the system clock unless a test installed another.
    static Orologio &corrente();
    // Installs a clock (not owned); nullptr restores the system clock.
    static void imposta(Orologio *orologio);
};

class OrologioDiSistema : public Orologio {
public:
    double secondiDallaMezzanotte() const override;
};
