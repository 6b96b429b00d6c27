#pragma once

#include "core/ImpostazioneLivello.h"

#include <QString>

// A class of the register ("2ª B 2026/27"). Ids are UUIDs made by the program,
// the same text on SQLite and on the lab's server.
struct Classe {
    QString id;
    QString nome;
    bool archiviata = false;
    ImpostazioneLivello livello; // nothing set: the class's (for a pupil), the usual draws
};
