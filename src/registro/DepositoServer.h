#pragma once

#include "registro/Deposito.h"
#include "registro/InterruttoreServer.h"

#include <QSqlDatabase>
#include <QString>

#include <memory>

class QSqlQuery;

// The school lab's server as the sender's store, with the pupils' login. Results
// are added with INSERT ... ON CONFLICT DO NOTHING, so one handed over twice (the
// program killed between the server's commit and the outbox's removal) is stored
// once; the server stamps its own arrival time. A server whose schema is not this
// program's version gets no writes: the results wait in the outbox until it is.
class DepositoServer : public Deposito {
public:
    explicit DepositoServer(const QString &conninfo);
    ~DepositoServer() override;

    bool consegna(const QList<Risultato> &risultati) override;
    QString errore() const override { return errore_; }
    bool lontano() const override { return true; }
    QString identita() override;
    void interrompi() override { interruttore_.interrompi(); }

protected:
    // This PC's clock, ms since 1970 UTC; a test puts it wrong.
    virtual qint64 orologioPc() const;

private:
    bool connetti();
    void chiudi();

    QString conninfo_;
    QString nome_;
    QSqlDatabase db_;
    std::unique_ptr<QSqlQuery> inserisci_; // prepared once per connection
    bool pronto_ = false;
    QString errore_;
    QString identita_;
    InterruttoreServer interruttore_;
};
