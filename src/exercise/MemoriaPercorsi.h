#pragma once

#include "core/ImpostazioneLivello.h"

#include <QHash>
#include <QString>

// Where each pupil stands on a path, as this run of the program last moved them: a pupil who
// comes back to the exercise window goes on from there, even before the register has stored
// (or while it cannot store) the answers that moved them.
class MemoriaPercorsi {
public:
    static MemoriaPercorsi &istanza();

    // The newer of the two: the one more answers have moved.
    static StatoPercorso piuRecente(const StatoPercorso &a, const StatoPercorso &b);

    // Nothing known (no answers) for a pupil this run has not moved.
    StatoPercorso stato(const QString &alunno) const;
    // Kept only when newer than what is kept already.
    void ricorda(const QString &alunno, const StatoPercorso &stato);
    void dimentica() { stati_.clear(); }

private:
    QHash<QString, StatoPercorso> stati_;
};
