#pragma once

#include "ui/DefinizioneControllo.h"

#include <array>
#include <cstddef>

// What every worksheet window's definition starts with: the title line, the
// situation line and the column of pink buttons on the right.
namespace TestataScheda {

constexpr QColor rosa(255, 192, 255);
constexpr QColor rosaForte(255, 128, 255);
constexpr QColor bianco(255, 255, 255);

struct Riga {
    QRect posizione;
    const char *testo;
};

struct Comando {
    const char *nome;
    const char *testo;
    int sinistra, alto;
    int tab;
};

constexpr int numeroControlli = 2 + 6;

// Writes the two lines and the six buttons at d[n...], advancing n.
template <std::size_t N>
constexpr void definisci(std::array<DefinizioneControllo, N> &d, std::size_t &n, Riga titolo, Riga situazione,
                         const Comando (&comandi)[6])
{
    d[n++] = {.tipo = TipoControllo::Etichetta,
              .nome = "Label1",
              .posizione = titolo.posizione,
              .testo = titolo.testo,
              .sfondo = rosa,
              .primoPiano = QColor(192, 0, 0),
              .carattere = {"Arial", 20.25, true}};
    d[n++] = {.tipo = TipoControllo::Etichetta,
              .nome = "Label2",
              .posizione = situazione.posizione,
              .testo = situazione.testo,
              .sfondo = rosa,
              .primoPiano = QColor(0, 0, 255),
              .carattere = {"Arial", 14.25, false}};
    for (const Comando &c : comandi)
        d[n++] = {.tipo = TipoControllo::Pulsante,
                  .nome = c.nome,
                  .posizione = {c.sinistra, c.alto, 2145, 645},
                  .testo = c.testo,
                  .sfondo = rosaForte,
                  .tabIndex = c.tab};
}

} // namespace TestataScheda
