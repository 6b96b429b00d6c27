#pragma once

#include "core/ImpostazioneLivello.h"

#include <QDateTime>
#include <QString>

#include <optional>

// One answer of a pupil (one VERIFICA), as it is kept. Made on the PC with its
// own UUID, so a result handed over twice is stored once. It is handed over at
// VERIFICA, and again with the same id when the help offered then gets its
// outcome: a stored "offerto" becomes "accettato" or "rifiutato", nothing else
// of a stored result ever changes.
struct Risultato {
    enum class Aiuto {
        NonOfferto, // right answer
        Offerto,    // wrong answer, the window closed before SI or NO
        Accettato,  // SI
        Rifiutato,  // NO
    };

    // How the help's outcome is written for the teacher: "no", "offerto", "accettato", "rifiutato".
    static QString nomeAiuto(Aiuto aiuto)
    {
        switch (aiuto) {
        case Aiuto::NonOfferto:
            return QStringLiteral("no");
        case Aiuto::Offerto:
            return QStringLiteral("offerto");
        case Aiuto::Accettato:
            return QStringLiteral("accettato");
        case Aiuto::Rifiutato:
            return QStringLiteral("rifiutato");
        }
        return {};
    }

    QString id;       // UUID, without braces
    QString alunno;   // the pupil's id; a guest's results are never made
    QString sessione; // UUID of one opening of the exercise window
    QDateTime quando; // the PC's clock, UTC
    QString macchina; // the PC's host name
    int tipo = 0;     // exercise kind 0..2
    int n = 0;        // elements of the first set
    int figura = 0;   // picture 1..12
    int risposta = 0; // elements the pupil built
    bool esatto = false;
    Aiuto aiuto = Aiuto::NonOfferto;
    bool intervento = false; // the program stepped in (third refusal in a row)
    qint64 secondi = 0;      // the answer's time, as the window shows it
    // The id of the register the pupil was chosen from; empty when it was not known (then the
    // register this PC reaches takes it, as before registers had ids).
    QString registro;
    // The level the exercise was drawn at (4: the usual draws), and on a path the pupil's place
    // after this answer; none when the pupil is not on a path.
    int livello = 4;
    std::optional<StatoPercorso> percorso;
};
