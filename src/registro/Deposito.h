#pragma once

#include "registro/Risultato.h"

#include <QList>
#include <QString>

// Where results end up: the register's file on this PC, or the lab's server.
// Made, used and destroyed on the sender's thread (but interrompi()).
class Deposito {
public:
    virtual ~Deposito() = default;
    // Stores the results in one transaction. One already stored (same id) is not stored again,
    // but an "offerto" there takes the outcome it now carries;
    // one whose pupil is no longer in the register (erased meanwhile) is dropped.
    // False, and nothing stored, on failure.
    virtual bool consegna(const QList<Risultato> &risultati) = 0;
    virtual QString errore() const = 0;
    // A store away from this PC: every result goes to the outbox first, so none is lost
    // if the program ends before the store answers.
    virtual bool lontano() const = 0;
    // The id of the register behind the store (Schema::identitaDi), connecting if need be;
    // empty while it cannot be reached.
    virtual QString identita() = 0;
    // The one call from another thread: breaks off what waits on a store that does not answer,
    // and every later call fails at once.
    virtual void interrompi() {}
};
