#pragma once

#include "core/ImpostazioneLivello.h"

#include <QtGlobal>

// How a pupil moves on a path of levels, so that about three answers in four come out right.
// The pupil's rating and each level's difficulty lie on one scale; the chance of a right answer
// is the logistic of their difference. Every verified answer nudges the rating towards what
// happened (hard at first, so that a newcomer finds their place in a few dozen exercises, gently
// afterwards), and each exercise is drawn at the level of the path where that chance is nearest
// the aim. Plain values in, plain values out: the window keeps the state.
class PercorsoAdattivo {
public:
    static constexpr double obiettivo = 0.75;

    explicit PercorsoAdattivo(ImpostazioneLivello percorso) : percorso_(percorso) {}

    const ImpostazioneLivello &percorso() const { return percorso_; }

    // A level's place on the rating's scale.
    static double difficolta(int livello);
    // The chance that a pupil of that rating answers an exercise of that level right.
    static double riuscita(double abilita, int livello);
    // How far one answer moves the rating, after that many answers on a path.
    static double passo(int risposte);
    // Whether a right answer came without hesitation: the presses it needed, and a few seconds
    // to look. Only ever used to choose between two levels the rating finds equally fit.
    static bool svelta(qint64 secondi, int passi);

    // Where a pupil who never answered on this path stands: its lowest level, met at the aim.
    StatoPercorso inizio() const;
    // The pupil's place after an answer to an exercise drawn at `livello`; `esatta` only when
    // right with no help.
    StatoPercorso dopo(const StatoPercorso &stato, int livello, bool esatta) const;
    // The level of the next exercise, within the path. `attuale` is the level of the exercise
    // just done (0: none yet) and `svelta` what svelta() said of its last answer: they only
    // settle a tie, the quick answer taking the harder level, any other keeping the pupil where
    // they are.
    int livello(const StatoPercorso &stato, int attuale = 0, bool svelta = false) const;

private:
    // The rating kept within reach of the path's ends, so that a pupil beyond an end comes back
    // within a few answers when things change.
    double entro(double abilita) const;

    ImpostazioneLivello percorso_;
};
