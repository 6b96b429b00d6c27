#pragma once

#include "registro/Registro.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The notice for the families of a class: what the register keeps of each pupil,
// where, who can read it, for how long, and how to ask for a copy or an erasure.
// Written from the register's own configuration, so it says what this school
// really does; plain text, printed by RapportiRegistro.
class Informativa {
public:
    struct Dati {
        QString classe;
        QDate oggi;
        int anniConservati = Registro::conservazionePredefinita;
        QString uscita; // this PC's outbox
        // A file on this PC: its path, the account that owns it and the PC's name.
        QString file;
        QString account;
        QString computer;
        // Otherwise the lab's server, as it told of itself, and the class's teachers by their logins
        // (empty when the server does not tell).
        std::optional<Registro::Server> server;
        QStringList insegnanti;
    };
    struct Sezione {
        QString titolo;
        QStringList paragrafi;
    };

    // What the register says of itself; none with *errore in Italian when it cannot be asked.
    static std::optional<Dati> raccogli(Registro &registro, const Classe &classe, QDate oggi, QString *errore);

    explicit Informativa(Dati dati);

    QString titolo() const;
    QList<Sezione> sezioni() const;
    // The date and where the notice comes from, for its foot.
    QString chiusura() const;
    // The whole notice as plain text: the title, then each section's title and paragraphs.
    QString testo() const;
    // "Informativa 1ª A.pdf"
    static QString nomeFile(const QString &classe);

private:
    Dati dati_;
};
