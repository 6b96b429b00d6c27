#pragma once

// The exercise window's design: its size, colours, fonts and every control in twips.
// Included once, by the window's own source.

#include "frmOperativo.h"

namespace {

constexpr QColor rosa(255, 192, 255);
constexpr QColor pesca(255, 224, 192);
constexpr QColor arancio(255, 192, 128); // the focused keypad or help button
constexpr QColor mattone(192, 64, 0);
constexpr QColor rosso(255, 0, 0);
constexpr QColor rossoScuro(192, 0, 0);
constexpr QColor blu(0, 0, 255);
constexpr QColor oro(255, 184, 0);
constexpr int caselle = GeneratoreEsercizio::numeroCaselle;

constexpr DefinizioneFinestra finestra{.titolo = "Costruisci l'insieme consecutivo minore",
                                       .larghezzaClient = 11910,
                                       .altezzaClient = 8580,
                                       .sfondo = rosa,
                                       .grande = true,
                                       .icona = ":/figure/icona_operativo.ico"};

constexpr Carattere intestazione{"Arial", 8.25, true};
constexpr Carattere valore{"Arial", 14.25, true};
constexpr Carattere tastierino{"MS Sans Serif", 13.5, true};
constexpr Carattere aiuto{"Arial", 20.25, true};

// Slot lefts and tops of the two sets, row by row (the designer's grid is not quite regular).
constexpr int sinistraPrimo[caselle] = {300,  1140, 1950, 2790, 3630, 300,  1140, 1950,
                                        2790, 3630, 300,  1110, 1920, 2760, 3600};
constexpr int altoPrimo[caselle] = {270,  270,  270,  270,  270,  1170, 1170, 1170,
                                    1170, 1170, 2010, 2010, 2010, 2010, 2010};
constexpr int sinistraSecondo[caselle] = {240,  1080, 1920, 2775, 3630, 255,  1080, 1920,
                                          2775, 3630, 255,  1095, 1920, 2760, 3600};
constexpr int altoSecondo[caselle] = {255,  255,  255,  255,  255,  1140, 1155, 1155,
                                      1155, 1155, 2025, 2040, 2040, 2040, 2040};

struct Punteggio {
    const char *intestazione;
    int sinistraIntestazione;
    const char *nome;
    int sinistra;
    const char *suggerimento;
};
constexpr Punteggio punteggi[5] = {
    {"Oper", 45, "LblOperazione", 105, nullptr},
    {" Risposte esatte", 990, "lblRisEsatte", 1035, nullptr},
    {" Risposte errate", 1935, "lblRisErrate", 1965, nullptr},
    {"Tempo parziale", 2880, "LblTempoParziale", 2910, "Secondi impiegati per ogni risposta"},
    {"Tempo totale", 3825, "LblTempoTotale", 3870, "Secondi impiegati per ogni esercizio"},
};

struct Tasto {
    const char *testo;
    QRect posizione;
    int tab;
    const char *descrizione;
};
constexpr Tasto tasti[RegoleTastierino::numeroTasti] = {
    {"AGGIUNGI", {90, 420, 2625, 930}, 0, "Aggiunge un elemento al secondo insieme"},
    {"TOGLI", {2805, 420, 2625, 915}, 10, "Toglie un elemento dal secondo insieme"},
    {"VERIFICA", {90, 1440, 2625, 930}, 11, "Controlla la risposta"},
    {"AVANTI", {2805, 1440, 2625, 915}, 12, "Passa al prossimo esercizio"},
    {"ESCI", {105, 2505, 5325, 930}, 13, "Torna alla finestra iniziale"},
};

// Front to back: the score box, the second set, the first set, the three panels, the texts.
constexpr auto definizioni = [] {
    std::array<DefinizioneControllo, 1 + 10 + 2 * (1 + caselle + 1) + 6 + 4 + 3 + 3 + 1> d{};
    size_t n = 0;
    d[n++] = {.tipo = TipoControllo::Cornice,
              .nome = "frmElaborazione",
              .posizione = {300, 6300, 4890, 1695},
              .sfondo = rosa,
              .bordo = true};
    for (int i = 0; i < 5; ++i) {
        d[n++] = {.tipo = TipoControllo::Etichetta,
                  .nome = "Label5",
                  .indice = i,
                  .contenitore = "frmElaborazione",
                  .posizione = {punteggi[i].sinistraIntestazione, 300, 930, 555},
                  .testo = punteggi[i].intestazione,
                  .primoPiano = rossoScuro,
                  .carattere = intestazione,
                  .allineamento = Allineamento::Centro};
        d[n++] = {.tipo = TipoControllo::Etichetta,
                  .nome = punteggi[i].nome,
                  .contenitore = "frmElaborazione",
                  .posizione = {punteggi[i].sinistra, 960, 810, 480},
                  .primoPiano = blu,
                  .carattere = valore,
                  .allineamento = Allineamento::Centro,
                  .suggerimento = punteggi[i].suggerimento,
                  .descrizione = punteggi[i].intestazione};
    }
    // The pictures of a set lie in front of its outline.
    d[n++] = {
        .tipo = TipoControllo::Cornice, .nome = "FraSfondoD", .posizione = {6075, 1020, 4620, 3240}, .sfondo = rosa};
    for (int k = 1; k <= caselle; ++k)
        d[n++] = {.tipo = TipoControllo::Immagine,
                  .nome = "Image2",
                  .indice = k,
                  .contenitore = "FraSfondoD",
                  .posizione = {sinistraSecondo[k - 1], altoSecondo[k - 1], 735, 735}};
    d[n++] = {.tipo = TipoControllo::Sagoma,
              .nome = "Shape1",
              .indice = 0,
              .contenitore = "FraSfondoD",
              .posizione = {30, 30, 4545, 3030},
              .primoPiano = rosso};
    d[n++] = {
        .tipo = TipoControllo::Cornice, .nome = "FraSfondoS", .posizione = {570, 1020, 4620, 3240}, .sfondo = rosa};
    for (int k = 1; k <= caselle; ++k)
        d[n++] = {.tipo = TipoControllo::Immagine,
                  .nome = "Image1",
                  .indice = k,
                  .contenitore = "FraSfondoS",
                  .posizione = {sinistraPrimo[k - 1], altoPrimo[k - 1], 735, 735}};
    d[n++] = {.tipo = TipoControllo::Sagoma,
              .nome = "Shape1",
              .indice = 1,
              .contenitore = "FraSfondoS",
              .posizione = {30, 30, 4545, 3030},
              .primoPiano = rosso};

    d[n++] = {.tipo = TipoControllo::Cornice,
              .nome = "fraTastierino",
              .posizione = {5370, 4800, 5670, 3765},
              .sfondo = rosa,
              .bordo = true};
    for (int i = 0; i < RegoleTastierino::numeroTasti; ++i)
        d[n++] = {.tipo = TipoControllo::PulsanteOpzione,
                  .nome = "Option1",
                  .indice = i,
                  .contenitore = "fraTastierino",
                  .posizione = tasti[i].posizione,
                  .testo = tasti[i].testo,
                  .sfondo = pesca,
                  .carattere = tastierino,
                  .tabIndex = tasti[i].tab,
                  .descrizione = tasti[i].descrizione};

    d[n++] = {.tipo = TipoControllo::Cornice,
              .nome = "fraAiuto",
              .posizione = {5355, 4800, 5670, 3765},
              .sfondo = rosa,
              .bordo = true};
    d[n++] = {.tipo = TipoControllo::Etichetta,
              .nome = "LblAiuto",
              .contenitore = "fraAiuto",
              .posizione = {195, 495, 5235, 720},
              .testo = "Ti aiuto ?",
              .sfondo = pesca,
              .carattere = {"Arial", 21.75, true},
              .allineamento = Allineamento::Centro};
    d[n++] = {.tipo = TipoControllo::PulsanteOpzione,
              .nome = "Option3",
              .indice = 0,
              .contenitore = "fraAiuto",
              .posizione = {120, 1575, 2700, 840},
              .testo = "SI",
              .sfondo = pesca,
              .carattere = aiuto,
              .tabIndex = 27,
              .descrizione = "Mostra la soluzione"};
    d[n++] = {.tipo = TipoControllo::PulsanteOpzione,
              .nome = "Option3",
              .indice = 1,
              .contenitore = "fraAiuto",
              .posizione = {2865, 1575, 2700, 840},
              .testo = "NO",
              .sfondo = pesca,
              .carattere = aiuto,
              .tabIndex = 28,
              .descrizione = "Riprova senza aiuto"};

    d[n++] = {.tipo = TipoControllo::Cornice,
              .nome = "fraIntervento",
              .posizione = {5355, 4800, 5670, 3765},
              .sfondo = rosa,
              .bordo = true};
    d[n++] = {.tipo = TipoControllo::Etichetta,
              .nome = "lblIntervento",
              .contenitore = "fraIntervento",
              .posizione = {690, 570, 4095, 1095},
              .testo = "Intervengo io",
              .carattere = {"Arial", 27.75, true},
              .allineamento = Allineamento::Centro};
    d[n++] = {.tipo = TipoControllo::PulsanteOpzione,
              .nome = "optOK",
              .contenitore = "fraIntervento",
              .posizione = {1110, 1872, 3330, 945},
              .testo = "OK",
              .carattere = aiuto,
              .tabIndex = 7,
              .descrizione = "Mostra la soluzione"};

    d[n++] = {.tipo = TipoControllo::Etichetta,
              .nome = "Label2",
              .posizione = {75, 495, 11925, 495},
              .sfondo = rosa,
              .primoPiano = mattone,
              .carattere = valore};
    d[n++] = {.tipo = TipoControllo::Etichetta,
              .nome = "Label1",
              .posizione = {90, 0, 11925, 495},
              .testo = "COSTRUISCI L'INSIEME CHE VIENE PRIMA",
              .sfondo = rosa,
              .primoPiano = mattone,
              .carattere = {"Arial", 20.25, true}};
    d[n++] = {.tipo = TipoControllo::Etichetta,
              .nome = "LblEsito",
              .posizione = {270, 4830, 5055, 975},
              .primoPiano = blu,
              .carattere = {"Arial", 48, true},
              .allineamento = Allineamento::Centro};
    // In the gap between the two sets, where the eye passes from one to the other.
    d[n++] = {.tipo = TipoControllo::Etichetta,
              .nome = "lblStella",
              .posizione = {5205, 2190, 855, 900},
              .testo = "\u2605",
              .primoPiano = oro,
              .carattere = {"DejaVu Sans", 33, false},
              .allineamento = Allineamento::Centro};
    return d;
}();

} // namespace
