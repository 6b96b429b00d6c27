#include "Contrassegno.h"

#include <array>

QString Contrassegno::nomeColore(int colore)
{
    // Six colours a pupil tells apart by name; the windows paint them.
    static const std::array<const char *, numeroColori> nomi{"giallo", "rosso", "blu", "verde", "arancione", "viola"};
    return colore >= 0 && colore < numeroColori ? QString::fromLatin1(nomi[static_cast<size_t>(colore)]) : QString();
}
