#pragma once

// The design of the worksheet windows of kinds 2 and 3: sizes, colours and every control in twips.
// Included once, by the window's own source.

#include "SchedaDoppia.h"

namespace {

using TestataScheda::bianco;
using TestataScheda::rosa;
using TestataScheda::rosaForte;

struct Insieme {
    const char *nome;
    int indice; // -1: a single frame
    const char *pannello;
    int sinistra, alto, larghezza;
    bool secondo; // Image2, else Image1
    int base;
    int colonne[5];
    int righe[3];
};

struct Progetto {
    DefinizioneFinestra finestra;
    const char *voceMenu;
    QRect label2;
    const char *testoLabel2;
    QRect frame3, frame4, command2;
    int cmdInsieme4;
    Insieme insiemi[8];
};

constexpr Progetto progetti[] = {
    {{.titolo = "VISUALIZZAZIONE SCHEDA         ",
      .larghezzaClient = 11910,
      .altezzaClient = 8340,
      .sfondo = rosa,
      .grande = true},
     "Seleziona  stampante",
     {0, 450, 12000, 360},
     " situazione iniziale: secondo insieme suvvalente",
     {90, 975, 9360, 6675},
     {90, 990, 9348, 6684},
     {165, 7695, 3390, 495},
     3810,
     {{"fraSfondo1D", -1, "Frame3", 60, 195, 4605, true, 0, {75, 1005, 1860, 2715, 3570}, {255, 1155, 2040}},
      {"FraSfondo1S", 0, "Frame3", 4710, 195, 4605, false, 0, {120, 975, 1830, 2685, 3540}, {150, 1140, 2085}},
      {"fraSfondo2D", 0, "Frame3", 60, 3390, 4605, true, 15, {60, 915, 1755, 2610, 3465}, {150, 1140, 2085}},
      {"FraSfondo2S", 1, "Frame3", 4710, 3390, 4605, false, 15, {105, 960, 1830, 2700, 3540}, {150, 1140, 2085}},
      {"fraSondo3D", -1, "Frame4", 75, 195, 4605, true, 30, {120, 990, 1875, 2760, 3630}, {165, 1140, 2085}},
      {"fraSfondo3S", 2, "Frame4", 4725, 195, 4560, false, 30, {120, 960, 1830, 2700, 3600}, {150, 1140, 2085}},
      {"fraSfondo4D", -1, "Frame4", 75, 3375, 4605, true, 45, {120, 975, 1890, 2760, 3630}, {165, 1140, 2085}},
      {"fraSfondo3S", 0, "Frame4", 4725, 3375, 4560, false, 45, {75, 990, 1845, 2730, 3600}, {180, 1200, 2085}}}},
    {{.titolo = "VISUALIZZAZIONE SCHEDA          ",
      .larghezzaClient = 11910,
      .altezzaClient = 8280,
      .sfondo = rosa,
      .grande = true},
     "Selezione stampante",
     {0, 450, 12000, 375},
     " situazione iniziale: secondo insieme prevalente",
     {108, 1068, 9360, 6624},
     {105, 1065, 9330, 6615},
     {165, 7710, 3390, 465},
     3810,
     {{"FraSfondo1S", 0, "Frame3", 45, 270, 4605, false, 0, {120, 975, 1830, 2685, 3540}, {150, 1140, 2085}},
      {"fraSfondo1D", -1, "Frame3", 4680, 285, 4605, true, 0, {75, 1005, 1860, 2715, 3570}, {255, 1155, 2040}},
      {"FraSfondo2S", 1, "Frame3", 45, 3405, 4605, false, 15, {105, 960, 1830, 2700, 3540}, {150, 1140, 2085}},
      {"fraSfondo2D", 0, "Frame3", 4680, 3405, 4605, true, 15, {60, 915, 1755, 2610, 3465}, {180, 1140, 2085}},
      {"fraSfondo3S", 2, "Frame4", 60, 240, 4605, false, 30, {120, 960, 1830, 2700, 3600}, {150, 1140, 2085}},
      {"fraSondo3D", -1, "Frame4", 4680, 240, 4605, true, 30, {120, 990, 1875, 2760, 3630}, {165, 1140, 2085}},
      {"fraSfondo3S", 0, "Frame4", 60, 3450, 4605, false, 45, {75, 990, 1845, 2730, 3600}, {180, 1200, 2085}},
      {"fraSfondo4D", -1, "Frame4", 4725, 3450, 4605, true, 45, {120, 975, 1890, 2760, 3630}, {165, 1140, 2085}}}},
};

constexpr int numeroControlli = TestataScheda::numeroControlli + 1 + 2 + 8 + 120;

template <int tipo>
constexpr std::array<DefinizioneControllo, numeroControlli> definizioni = [] {
    const Progetto &p = progetti[tipo - 2];
    std::array<DefinizioneControllo, numeroControlli> d{};
    size_t n = 0;
    TestataScheda::definisci(d, n, {{0, 0, 12000, 450}, " SCHEDA: costruire l'insieme  consecutivo minore - "},
                             {p.label2, p.testoLabel2},
                             {{"CmdInsieme1", "VISUALIZZA 1° ESERCIZIO", 9660, 1725, 1},
                              {"cmdInsieme2", "VISUALIZZA 2° ESERCIZIO", 9660, 2415, 5},
                              {"cmdInsieme3", "VISUALIZZA 3° ESERCIZIO", 9660, 3090, 6},
                              {"cmdInsieme4", "VISUALIZZA 4° ESERCIZIO", 9660, p.cmdInsieme4, 7},
                              {"Command1", "STAMPA", 9675, 5925, 4},
                              {"CmdFine", "ESCI", 9660, 6660, 2}});
    d[n++] = {.tipo = TipoControllo::Pulsante,
              .nome = "Command2",
              .posizione = p.command2,
              .testo = "Visualizza la prima parte",
              .sfondo = rosaForte,
              .carattere = {"Arial", 9.75, true},
              .tabIndex = 18};
    d[n++] = {.tipo = TipoControllo::Cornice, .nome = "Frame3", .posizione = p.frame3, .sfondo = rosa, .bordo = true};
    d[n++] = {.tipo = TipoControllo::Cornice, .nome = "Frame4", .posizione = p.frame4, .sfondo = rosa, .bordo = true};
    for (const Insieme &s : p.insiemi)
        d[n++] = {.tipo = TipoControllo::Cornice,
                  .nome = s.nome,
                  .indice = s.indice,
                  .contenitore = s.pannello,
                  .posizione = {s.sinistra, s.alto, s.larghezza, 3075},
                  .sfondo = bianco,
                  .bordo = true};
    for (const Insieme &s : p.insiemi)
        for (int o = 0; o < 15; ++o)
            d[n++] = {.tipo = TipoControllo::Immagine,
                      .nome = s.secondo ? "Image2" : "Image1",
                      .indice = s.base + o,
                      .contenitore = s.nome,
                      .indiceContenitore = s.indice,
                      .posizione = {s.colonne[o % 5], s.righe[o / 5], s.secondo ? 825 : 795, s.secondo ? 765 : 795}};
    return d;
}();

} // namespace
