#include "Orologio.h"

#include <QTime>

namespace {
Orologio *installato = nullptr;
}

Orologio &Orologio::corrente()
{
    static OrologioDiSistema sistema;
    return installato ? *installato : sistema;
}

void Orologio::imposta(Orologio *orologio) { installato = orologio; }

double OrologioDiSistema::secondiDallaMezzanotte() const
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}
