#pragma once

// The design of the worksheet window of kind 1: size, colours and every control in twips.
// Included once, by the window's own source.

#include "frmStampaSchede.h"

namespace {

using TestataScheda::bianco;
using TestataScheda::rosa;

constexpr DefinizioneFinestra finestra{.titolo = "VISUALIZZAZIONE SCHEDA       ",
                                       .larghezzaClient = 11910,
                                       .altezzaClient = 8280,
                                       .sfondo = rosa,
                                       .grande = true};

using Celle = std::array<QPoint, 15>;
constexpr Celle celle1 = {{{120, 150},
                           {975, 150},
                           {1830, 150},
                           {2685, 150},
                           {3540, 150},
                           {105, 1155},
                           {975, 1140},
                           {1830, 1140},
                           {2685, 1140},
                           {3540, 1140},
                           {120, 2085},
                           {975, 2085},
                           {1830, 2085},
                           {2685, 2085},
                           {3540, 2085}}};
constexpr Celle celle23 = {{{90, 150},
                            {960, 150},
                            {1830, 150},
                            {2700, 150},
                            {3540, 150},
                            {105, 1140},
                            {960, 1140},
                            {1830, 1140},
                            {2685, 1140},
                            {3540, 1140},
                            {120, 2085},
                            {990, 2085},
                            {1860, 2085},
                            {2715, 2085},
                            {3570, 2085}}};
constexpr Celle celle4 = {{{75, 150},
                           {960, 150},
                           {1830, 150},
                           {2700, 150},
                           {3540, 150},
                           {105, 1140},
                           {960, 1140},
                           {1830, 1140},
                           {2685, 1140},
                           {3540, 1140},
                           {120, 2070},
                           {990, 2070},
                           {1860, 2070},
                           {2715, 2070},
                           {3570, 2070}}};

struct PosaCornice {
    int indice;
    int sinistra, alto; // in Frame1
    int base;
    const Celle *celle;
};

// In the order of the design: earlier frames lie in front.
constexpr PosaCornice cornici[] = {
    {0, 90, 255, 0, &celle1},
    {2, 4710, 255, 30, &celle23},
    {1, 75, 3390, 15, &celle23},
    {4, 4710, 3390, 75, &celle4},
};

constexpr auto definizioni = [] {
    std::array<DefinizioneControllo, TestataScheda::numeroControlli + 1 + 4 + 60> d{};
    size_t n = 0;
    TestataScheda::definisci(d, n, {{0, -15, 12000, 495}, " SCHEDA: costruire l'insieme consecutivo minore - "},
                             {{0, 495, 12000, 495}, " situazione iniziale: secondo insieme vuoto"},
                             {{"CmdOperazione", "VISUALIZZA 1° INSIEME", 9660, 1725, 1},
                              {"cmdInsieme2", "VISUALIZZA 2° INSIEME", 9660, 2415, 9},
                              {"cmdInsieme3", "VISUALIZZA 3° INSIEME", 9660, 3090, 10},
                              {"cmdInsieme4", "VISUALIZZA 4° INSIEME", 9660, 3795, 13},
                              {"Command1", "STAMPA", 9675, 5925, 4},
                              {"CmdFine", "ESCI", 9660, 6660, 2}});
    d[n++] = {.tipo = TipoControllo::Cornice, .nome = "Frame1", .posizione = {30, 1080, 9405, 6525}, .sfondo = rosa};
    for (const PosaCornice &c : cornici)
        d[n++] = {.tipo = TipoControllo::Cornice,
                  .nome = "FraSfondoS",
                  .indice = c.indice,
                  .contenitore = "Frame1",
                  .posizione = {c.sinistra, c.alto, 4605, 3075},
                  .sfondo = bianco,
                  .bordo = true};
    for (const PosaCornice &c : cornici)
        for (int o = 0; o < 15; ++o) {
            const QPoint p = (*c.celle)[o];
            d[n++] = {.tipo = TipoControllo::Immagine,
                      .nome = "Image1",
                      .indice = c.base + o,
                      .contenitore = "FraSfondoS",
                      .indiceContenitore = c.indice,
                      .posizione = {p.x(), p.y(), 795, 795}};
        }
    return d;
}();

} // namespace
