#include "Orario.h"

#include <algorithm>
#include <cstdlib>

QDateTime Orario::momento(const QDateTime &quando, qint64 inviato, qint64 arrivo)
{
    if (inviato <= 0 || arrivo <= 0 || !quando.isValid())
        return quando;
    const qint64 errore = arrivo - inviato;
    qint64 ms = quando.toMSecsSinceEpoch();
    if (std::llabs(errore) > tolleranzaMs)
        ms += errore;
    return QDateTime::fromMSecsSinceEpoch(std::min(ms, arrivo), Qt::UTC);
}
