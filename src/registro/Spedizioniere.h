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

class PostaUscita;

// The path of a result from the window to the register. metti() writes it to the
// outbox on the caller's thread, in a small transaction that the system holds
// even if the program is killed a moment later; the sender's thread then makes
// it durable against a power cut and hands it to the store (the register's file
// or the lab's server). Results leave the outbox only once the store has
// committed them; the store skips ids it already holds, so none is stored twice.
// Only when the outbox cannot take one (a full disk) does it wait in memory,
// where a thread of its own puts it in the outbox as soon as there is room, and
// the store is tried with it at once. A result meant for another register
// (its id says so) waits in the outbox for that one.
class Spedizioniere {
public:
    using Fabbrica = std::function<std::unique_ptr<Deposito>()>;
    // `fabbrica` makes the store on the sender's thread; `fileUscita` is the outbox, which first
    // takes in the outboxes `vecchie` that earlier versions left.
    Spedizioniere(Fabbrica fabbrica, const QString &fileUscita, const QStringList &vecchie = {});
    // Keeps what is still in memory in the outbox, a register on this PC takes what it can, and
    // the thread stops. A store away from this PC is not waited for: its results are in the
    // outbox, for the next start.
    ~Spedizioniere();

    void metti(const Risultato &risultato);
    // In memory, being written, or in the outbox.
    int inAttesa();
    bool svuota(int ms);
    // The last failure of the store or the outbox, for the teacher; empty after a success.
    QString errore();

private:
    void lavora();
    // On the caller's thread: `nuovi`, and what waits in memory, into the outbox; false if it failed.
    bool inUscitaDalChiamante(const QList<Risultato> &nuovi);
    // Its own thread: what waits in memory goes into the outbox as soon as the disk has room,
    // however long the sender's thread is held up by a store that does not answer.
    void custodisci();
    // Hands `lotto` from memory to the store or to the outbox; false when neither took it.
    bool spedisci(Deposito &deposito, PostaUscita &posta, const QList<Risultato> &lotto, bool prova);
    bool consegnaUscita(Deposito &deposito, PostaUscita &posta);

    Fabbrica fabbrica_;
    QString fileUscita_;
    QStringList vecchie_;
    // The caller's own connection to the outbox, on the thread that made this sender.
    std::thread::id chiamante_;
    std::unique_ptr<PostaUscita> postaChiamante_;

    std::mutex mutex_;
    std::condition_variable sveglia_;
    std::condition_variable fatto_;
    QList<Risultato> coda_;
    int inVolo_ = 0;
    int inUscita_ = -1;  // unknown until the thread has looked
    bool nuovi_ = false; // put in the outbox by the caller, not yet made durable and sent
    bool fine_ = false;
    bool subito_ = false;
    QString errore_;
    Deposito *deposito_ = nullptr; // while the thread has it
    bool finito_ = false;
    bool fineCustode_ = false;
    std::thread thread_;
    std::thread custode_;
};
