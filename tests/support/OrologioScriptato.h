#pragma once

#include "core/Orologio.h"

#include <cmath>

// Clocks that say what the test sets: the time of day and, apart, the monotonic clock.
class OrologioScriptato : public Orologio {
public:
    double secondiDallaMezzanotte() const override { return adesso; }
    double secondiMonotoni() const override { return trascorsi; }
    // Real time passing: both clocks move on, the time of day past midnight too.
    void avanza(double secondi)
    {
        trascorsi += secondi;
        adesso = std::fmod(adesso + secondi, 86400.0);
    }
    double adesso = 36000.0;
    double trascorsi = 5000.0;
};
