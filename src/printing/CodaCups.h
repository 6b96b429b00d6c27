#pragma once

#include "Destinazione.h"

#include <memory>

// A queue of the print service, reached through libcups so that the server's
// answer to every job is known. The name may carry an instance ("Coda/bozza").
class CodaCups : public Destinazione {
public:
    explicit CodaCups(QString nome);
    ~CodaCups() override;

    // A4 when the queue has it, else its own default paper; nothing when the
    // queue is unknown, stopped, refusing jobs, or the server does not answer.
    std::optional<Foglio> foglio() override;
    // True only when the server gave the job an id and took the whole document.
    bool consegna(const QByteArray &pdf) override;

private:
    struct Collegamento;
    QString nome_;
    std::unique_ptr<Collegamento> c_;
};
