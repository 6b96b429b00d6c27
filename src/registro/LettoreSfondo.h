#pragma once

#include "registro/Registro.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// Reads of a register on a thread of its own, one after the other, through one register made
// there (Registro::fabbricaLettore) whose connection lasts as long as this object: a window hands
// over its long reads and stays responsive, and pays for the connection once.
class LettoreSfondo {
public:
    using Lettura = std::function<void(Registro &)>;

    explicit LettoreSfondo(Registro::Fabbrica fabbrica);
    // Waits for the read under way; those not started are dropped.
    ~LettoreSfondo();
    LettoreSfondo(const LettoreSfondo &) = delete;
    LettoreSfondo &operator=(const LettoreSfondo &) = delete;

    void accoda(Lettura lettura);
    // Whether this object is going: a read of several parts stops before the next one.
    bool chiuso() const;

private:
    void lavora();

    Registro::Fabbrica fabbrica_;
    mutable std::mutex mutex_;
    std::condition_variable sveglia_;
    std::deque<Lettura> coda_;
    bool fine_ = false;
    std::thread thread_;
};
