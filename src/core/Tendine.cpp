#include "Tendine.h"

void Tendine::avvia(int larghezzaEsterna)
{
    sinistra_ = destra_ = larghezzaEsterna > 0 ? larghezzaEsterna / 2 : 0;
    inApertura_ = true;
    if (sinistra_ <= soglia)
        chiudiApertura();
}

bool Tendine::tick()
{
    if (!inApertura_)
        return false;
    if (sinistra_ - passo < 0 || destra_ - passo < 0) {
        chiudiApertura();
        return false;
    }
    sinistra_ -= passo;
    destra_ -= passo;
    if (sinistra_ <= soglia)
        chiudiApertura();
    return inApertura_;
}

void Tendine::chiudiApertura()
{
    sinistra_ = destra_ = 0;
    inApertura_ = false;
}
