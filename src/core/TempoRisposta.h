#pragma once

#include <QString>
#include <QtGlobal>

// How long an answer took and how the score box shows a number of seconds.
class TempoRisposta {
public:
    static constexpr qint64 massimoMostrato = 999;

    // Whole seconds from inizio to adesso, both read from the monotonic clock.
    static qint64 secondi(double inizio, double adesso);

    // " 0", " 7", " 125"; "999" from 999 on; "-3" for a negative value.
    static QString formato(qint64 secondi);
};
