#pragma once

#include "core/ImpostazioneLivello.h"
#include "registro/Contrassegno.h"

#include <QString>

// A pupil: the name as the teacher writes it (1-60 characters after trimming,
// unique in the class) and the contrassegno they find themselves by.
struct Alunno {
    QString id;
    QString classe; // the class's id
    QString nome;
    Contrassegno contrassegno;
    ImpostazioneLivello livello; // nothing set: the class's (for a pupil), the usual draws
    StatoPercorso stato;         // the newest place on a path the register knows
};
