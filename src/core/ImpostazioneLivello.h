#pragma once

#include <QString>

#include <optional>

// What a teacher set for a class or a pupil: nothing (the usual draws), a fixed level
// (da == a), or a path between two levels that adapts to the pupil (da < a).
struct ImpostazioneLivello {
    int da = 0;
    int a = 0;

    bool impostata() const { return da != 0; }
    bool percorso() const { return da < a; }

    // "3" or "1-4" (blanks allowed around the dash); nullopt when not a level or a path of levels.
    static std::optional<ImpostazioneLivello> leggi(const QString &testo);
    // "livello 3", "percorso 1-4", or "" when nothing is set.
    QString testo() const;

    friend bool operator==(const ImpostazioneLivello &, const ImpostazioneLivello &) = default;
};

// A pupil's place on a path, kept with each result and with the pupil: a rating on the
// ladder's own scale and how many answers have moved it. More answers means newer.
struct StatoPercorso {
    // The register refuses a rating outside these (a path keeps well inside them).
    static constexpr double abilitaMinima = -10;
    static constexpr double abilitaMassima = 20;

    double abilita = 0;
    int risposte = 0;

    bool noto() const { return risposte > 0; }
};
