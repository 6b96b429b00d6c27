#include "Orologio.h"

#include <QTime>

#include <chrono>

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

double OrologioDiSistema::secondiMonotoni() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
