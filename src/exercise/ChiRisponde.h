#pragma once

#include "registro/Alunno.h"

#include <QString>

#include <optional>

// Who answers in the exercise window, as "Chi sei?" left it: nobody named (the
// register holds no class: the program as it always was), a guest, or a pupil
// of the register, whose every answer is kept.
struct ChiRisponde {
    std::optional<Alunno> alunno;
    bool ospite = false;

    // What the exercise window shows: the pupil's name, "Ospite", or nothing.
    QString nome() const { return alunno ? alunno->nome : ospite ? QStringLiteral("Ospite") : QString(); }
};

// Written by the start side before the exercise window loads; read by it.
inline ChiRisponde Rispondente;
