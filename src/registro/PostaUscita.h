#pragma once

#include "registro/Risultato.h"

#include <QList>
#include <QString>

#include <memory>

class Connessione;

// The outbox: results not yet in the register, in a SQLite file of their own in
// the user's data folder (0600), made when the first one arrives. Used by the
// sender's thread only.
class PostaUscita {
public:
    explicit PostaUscita(const QString &file);
    ~PostaUscita();

    // Keeps the results, in one transaction.
    bool metti(const QList<Risultato> &risultati);
    // The oldest results, at most `quanti`; none when there is no outbox.
    QList<Risultato> prendi(int quanti);
    // Removes the results once the register has committed them.
    bool togli(const QList<Risultato> &risultati);
    int conta();
    QString errore() const { return errore_; }
    QString file() const { return file_; }

private:
    bool togliDa(class QSqlDatabase &db, const QList<Risultato> &risultati);
    bool apri(bool crea);

    QString file_;
    std::unique_ptr<Connessione> connessione_;
    QString errore_;
};
