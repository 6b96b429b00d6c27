#pragma once

#include "registro/Deposito.h"
#include "registro/Risultato.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// The path of a result from the window to the register, off the window's
// thread: a queue in memory, then the store (the register's file or the lab's
// server) or, when the store cannot take it or is away from this PC, the
// outbox first. Results leave the outbox only once the store has committed
// them; the store skips ids it already holds, so none is stored twice. A result
// meant for another register (its id says so) waits in the outbox for that one.
class Spedizioniere {
public:
    using Fabbrica = std::function<std::unique_ptr<Deposito>()>;
    // `fabbrica` makes the store on the sender's thread; `fileUscita` is the outbox, which first
    // takes in the outboxes `vecchie` that earlier versions left.
    Spedizioniere(Fabbrica fabbrica, const QString &fileUscita, const QStringList &vecchie = {});
    // Stores or keeps in the outbox what is still in memory, then stops. A store that does not
    // answer is broken off after a moment: what it did not take stays in the outbox.
    ~Spedizioniere();

    void metti(const Risultato &risultato);
    // In memory, being written, or in the outbox.
    int inAttesa();
    bool svuota(int ms);
    // The last failure of the store or the outbox, for the teacher; empty after a success.
    QString errore();

private:
    void lavora();
    // Hands `lotto` to the store (unless `prova` is false: it failed a moment ago), or to the
    // outbox; false when neither took it.
    bool spedisci(Deposito &deposito, class PostaUscita &posta, const QList<Risultato> &lotto, bool prova);
    bool consegnaUscita(Deposito &deposito, PostaUscita &posta);

    Fabbrica fabbrica_;
    QString fileUscita_;
    QStringList vecchie_;
    std::mutex mutex_;
    std::condition_variable sveglia_;
    std::condition_variable fatto_;
    QList<Risultato> coda_;
    int inVolo_ = 0;
    int inUscita_ = -1; // unknown until the thread has looked
    bool fine_ = false;
    bool subito_ = false;
    QString errore_;
    Deposito *deposito_ = nullptr; // while the thread has it
    bool finito_ = false;
    std::thread thread_;
};
