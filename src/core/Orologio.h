#pragma once

// The clocks: the time of day, in seconds since midnight with fractions, which
// seeds the random draws; and a monotonic clock for elapsed times, which no
// change of the time of day (midnight, summer time, a correction) moves.
// Injectable so that tests can script both.
class Orologio {
public:
    virtual ~Orologio() = default;
    virtual double secondiDallaMezzanotte() const = 0;
    // Seconds from an arbitrary origin; never goes back.
    virtual double secondiMonotoni() const = 0;

    // The program-wide clock: the system clock unless a test installed another.
    static Orologio &corrente();
    // Installs a clock (not owned); nullptr restores the system clock.
    static void imposta(Orologio *orologio);
};

class OrologioDiSistema : public Orologio {
public:
    double secondiDallaMezzanotte() const override;
    double secondiMonotoni() const override;
};
