#pragma once

#include <array>

// The keyboard rules of the keypad and of the help buttons, apart from widgets.
class RegoleTastierino {
public:
    static constexpr int numeroTasti = 5; // AGGIUNGI, TOGLI, VERIFICA, AVANTI, ESCI

    // The keypad button a main-keyboard digit 1..5 moves to, or -1 for any other key.
    static int cifra(int codice);

    // The start window's button a digit 1..pulsanti of either keyboard moves to, or -1.
    static int sceltaInizio(int codice, int pulsanti);

    // The button Space moves to from i: the next enabled one in index order,
    // wrapping; i itself when no other is enabled.
    static int prossimo(int i, const std::array<bool, numeroTasti> &abilitati);

    enum class TastoAiuto { Altro, Si, No, Invio };
    // S, 1 and keypad 1 go to SI; N, 2 and keypad 2 to NO; Enter presses.
    static TastoAiuto aiuto(int codice);
};
