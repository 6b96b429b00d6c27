#include "RegistroFinestre.h"

#include <algorithm>

RegistroFinestre &RegistroFinestre::istanza()
{
    static RegistroFinestre registro;
    return registro;
}

void RegistroFinestre::chiudiTutto()
{
    if (inChiusura_)
        return;
    inChiusura_ = true;
    // An unload handler may unload other windows: take one at a time, newest
    // first, passing over those whose unload is already under way.
    for (;;) {
        auto prossima =
            std::find_if(caricate_.crbegin(), caricate_.crend(), [](Scaricabile *f) { return !f->scaricata(); });
        if (prossima == caricate_.crend())
            break;
        (*prossima)->scarica();
    }
    inChiusura_ = false;
}

std::function<void()> &RegistroFinestre::ritorno()
{
    static std::function<void()> r;
    return r;
}

void RegistroFinestre::impostaRitorno(std::function<void()> r) { ritorno() = std::move(r); }

void RegistroFinestre::tornaAllInizio()
{
    if (!inChiusura_ && ritorno())
        ritorno()();
}

void RegistroFinestre::aggiungi(Scaricabile *f)
{
    if (!caricate_.contains(f))
        caricate_.append(f);
}

void RegistroFinestre::togli(Scaricabile *f)
{
    if (!caricate_.removeOne(f))
        return;
    if (caricate_.isEmpty())
        emit programmaTerminato();
}
