#include "TempoRisposta.h"

#include <cmath>

qint64 TempoRisposta::secondi(double inizio, double adesso) { return static_cast<qint64>(std::floor(adesso - inizio)); }

QString TempoRisposta::formato(qint64 secondi)
{
    if (secondi >= massimoMostrato)
        return QString::number(massimoMostrato);
    if (secondi >= 0)
        return QLatin1Char(' ') + QString::number(secondi);
    return QString::number(secondi);
}
