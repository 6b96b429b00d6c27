#include "CasualeScriptato.h"

double CasualeScriptato::r()
{
    ++estrazioni;
    if (coda_.empty())
        return riserva_.r();
    const double v = coda_.front();
    coda_.pop_front();
    return v;
}

void CasualeScriptato::semina(double secondi)
{
    ++semine;
    riserva_.semina(secondi);
}
