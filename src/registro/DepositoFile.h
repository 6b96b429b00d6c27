#pragma once

#include "registro/Deposito.h"

#include <QString>

#include <memory>

class Connessione;
class QSqlError;

// The register's file on this PC as the sender's store. Its commits reach the disk before
// they return: results leave the outbox only once they are on the disk here. A file that
// is not there is not made: results wait in the outbox for the register.
class DepositoFile : public Deposito {
public:
    explicit DepositoFile(const QString &file);
    ~DepositoFile() override;

    bool consegna(const QList<Risultato> &risultati) override;
    QString errore() const override { return errore_; }
    bool lontano() const override { return false; }
    QString identita() override;

private:
    bool connetti();
    bool fallisce(const QSqlError &e);

    QString file_;
    QString errore_;
    QString identita_;
    // After a failure the connection may be the trouble (file replaced, disk full): a fresh one,
    // dropped at the next call, where no transaction holds it.
    bool rinnova_ = false;
    std::unique_ptr<Connessione> connessione_;
};
