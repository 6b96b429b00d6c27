#pragma once

#include <QString>

// A pupil's own mark, as on their peg and drawer: one of the element pictures
// (1..12) on one of six background colours. Unique within a class, so a class
// holds at most 72 pupils.
struct Contrassegno {
    int figura = 0; // 1..12, the picture store's element pictures
    int colore = 0; // 0..numeroColori-1

    static constexpr int numeroFigure = 12;
    static constexpr int numeroColori = 6;

    // "giallo", "rosso", ...: how the colour is named to the pupil.
    static QString nomeColore(int colore);

    bool valido() const { return figura >= 1 && figura <= numeroFigure && colore >= 0 && colore < numeroColori; }
    friend bool operator==(const Contrassegno &, const Contrassegno &) = default;
};
