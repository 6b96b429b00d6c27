#pragma once

#include "core/ImpostazioneLivello.h"
#include "registro/Alunno.h"

#include <QString>

#include <optional>

// Who answers in the exercise window, as "Chi sei?" left it: nobody named (the
// register holds no class: the program as it always was), a guest, or a pupil
// of the register, whose every answer is kept.
struct ChiRisponde {
    std::optional<Alunno> alunno;
    bool ospite = false;
    // The pupil's own setting, else the class's; nothing set for a guest.
    ImpostazioneLivello livello;
    // Where the pupil stands on a path when the window opens: the newest of the register's and
    // of this program's own memory.
    StatoPercorso stato;

    // What the exercise window shows: the pupil's name, "Ospite", or nothing.
    QString nome() const { return alunno ? alunno->nome : ospite ? QStringLiteral("Ospite") : QString(); }
};

// Written by the start side before the exercise window loads; read by it.
inline ChiRisponde Rispondente;
