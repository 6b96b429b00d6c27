#pragma once

#include "registro/Risultato.h"

#include <QList>
#include <QString>

#include <memory>

class Connessione;

// The outbox: results not yet in the register, in a SQLite file of their own in
// the user's data folder (0600), made when the first one arrives. Each object is
// used by one thread; several may use the file at once.
class PostaUscita {
public:
    // Sicura: each commit is on the disk before it returns (the sender's thread). Rapida: a commit
    // the system holds even if the program is killed at once, made durable by sincronizza() on
    // another connection; it waits little for another writer (the window's thread).
    enum class Scrittura { Sicura, Rapida };
    explicit PostaUscita(const QString &file, Scrittura scrittura = Scrittura::Sicura);
    ~PostaUscita();

    // Keeps the results, in one transaction; one kept already takes the help's outcome it now carries.
    bool metti(const QList<Risultato> &risultati);
    // The oldest results for the register `registro` (and those meant for whichever register
    // takes them; every one when it is empty), at most `quanti`; none when there is no outbox.
    QList<Risultato> prendi(int quanti, const QString &registro);
    // Removes the results once the register has committed them.
    bool togli(const QList<Risultato> &risultati);
    // Those `prendi` would give for `registro`; every one when it is empty.
    int conta(const QString &registro = {});
    // Puts on the disk what any connection committed to this outbox so far.
    bool sincronizza();
    // Forgets a pupil's results (the pupil was erased). From any thread: a connection of its own.
    static bool dimentica(const QString &file, const QString &alunno, QString *errore);
    // Takes in the results of an outbox file an earlier version left, then removes that file.
    bool assorbi(const QString &vecchio);
    QString errore() const { return errore_; }
    QString file() const { return file_; }

private:
    bool scrivi(const QList<Risultato> &risultati);
    bool togliDa(class QSqlDatabase &db, const QList<Risultato> &risultati);
    bool apri(bool crea);

    QString file_;
    Scrittura scrittura_;
    std::unique_ptr<Connessione> connessione_;
    QString errore_;
};
