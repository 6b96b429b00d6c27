#pragma once

#include "registro/Contrassegno.h"

#include <QString>

// A pupil: the name as the teacher writes it (1-60 characters after trimming,
// unique in the class) and the contrassegno they find themselves by.
struct Alunno {
    QString id;
    QString classe; // the class's id
    QString nome;
    Contrassegno contrassegno;
};
