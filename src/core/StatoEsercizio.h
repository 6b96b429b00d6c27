#pragma once

#include "core/GeneratoreEsercizio.h"

#include <QtGlobal>

#include <array>
#include <limits>

// The exercises' state. It belongs to the program run, not to one opening of
// the exercise window: the totals carry over from one opening and one kind to
// the next, and only the window's own procedures reset what they must. Once the
// register names who answers, each choice in "Chi sei?" starts the score anew.

inline qint16 NumeroEsercizio = 0;  // of this opening; restarts at every load
inline float ElementiPrimo = 0;     // N, a whole number
inline qint16 ElementiIniziali = 0; // M, start count of the second set (kinds 1 and 2)
inline qint16 ElementiSecondo = 0;  // elements now in the second set, 0 to the level's capacity (10 or 15)
inline qint16 Figura = 0;           // picture of the current exercise, 1..12
inline decltype(GeneratoreEsercizio::Esercizio::estratte) Estratte{};   // slots as drawn, entries 1..N
inline decltype(GeneratoreEsercizio::Esercizio::posizioni) Posizioni{}; // slots of the first set, entries 1..N

inline qint16 RisposteEsatte = 0;
inline qint16 RisposteErrate = 0;
inline qint16 RifiutiAiuto = 0; // help offers declined since the solution was last shown

inline double InizioRisposta = 0; // monotonic seconds when the second set was last put in its start state
inline qint64 TempoParziale = 0;  // whole seconds
inline qint64 TempoTotale = 0;

// A new pupil in front of the screen: the score box starts from nothing, and so does the count of
// refused help offers that brings the program in.
inline void azzeraPunteggio()
{
    RisposteEsatte = 0;
    RisposteErrate = 0;
    RifiutiAiuto = 0;
    TempoParziale = 0;
    TempoTotale = 0;
}

// Everything as at the program's start, for a run that starts the program again in the same process.
inline void azzeraStatoEsercizio()
{
    NumeroEsercizio = 0;
    ElementiPrimo = 0;
    ElementiIniziali = 0;
    ElementiSecondo = 0;
    Figura = 0;
    Estratte = {};
    Posizioni = {};
    InizioRisposta = 0;
    azzeraPunteggio();
}

// Counters stop at the largest 16-bit value instead of wrapping to a negative count.
constexpr qint16 piuUno(qint16 valore)
{
    return valore == std::numeric_limits<qint16>::max() ? valore : static_cast<qint16>(valore + 1);
}
