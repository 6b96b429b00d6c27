#include "RegoleTastierino.h"

#include "core/CodiciTasto.h"

int RegoleTastierino::cifra(int codice)
{
    if (codice >= CodiciTasto::Cifra(1) && codice <= CodiciTasto::Cifra(numeroTasti))
        return codice - CodiciTasto::Cifra(1);
    return -1;
}

int RegoleTastierino::sceltaInizio(int codice, int pulsanti)
{
    if (codice >= CodiciTasto::Cifra(1) && codice <= CodiciTasto::Cifra(pulsanti))
        return codice - CodiciTasto::Cifra(1);
    if (codice >= CodiciTasto::CifraTastierino(1) && codice <= CodiciTasto::CifraTastierino(pulsanti))
        return codice - CodiciTasto::CifraTastierino(1);
    return -1;
}

int RegoleTastierino::prossimo(int i, const std::array<bool, numeroTasti> &abilitati)
{
    int j = i;
    // Bounded, so a keypad with nothing enabled cannot loop forever.
    for (int passi = 0; passi < numeroTasti; ++passi) {
        j = (j + 1) % numeroTasti;
        if (abilitati[j])
            return j;
    }
    return i;
}

RegoleTastierino::TastoAiuto RegoleTastierino::aiuto(int codice)
{
    if (codice == CodiciTasto::Lettera('S') || codice == CodiciTasto::Cifra(1) ||
        codice == CodiciTasto::CifraTastierino(1))
        return TastoAiuto::Si;
    if (codice == CodiciTasto::Lettera('N') || codice == CodiciTasto::Cifra(2) ||
        codice == CodiciTasto::CifraTastierino(2))
        return TastoAiuto::No;
    if (codice == CodiciTasto::Invio)
        return TastoAiuto::Invio;
    return TastoAiuto::Altro;
}
