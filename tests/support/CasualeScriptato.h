#pragma once

#include "core/Casuale.h"

#include <deque>
#include <initializer_list>

// Gives the numbers a test queues, in order; when the queue runs dry it falls
// back to a real generator so long runs still work. Counts the seeds.
class CasualeScriptato : public Casuale {
public:
    void accoda(std::initializer_list<double> valori) { coda_.insert(coda_.end(), valori); }
    // Queues the r that makes Int(r × k) + m give the value v.
    void accodaValore(int v, int k, int m) { coda_.push_back((v - m + 0.5) / k); }
    bool esaurito() const { return coda_.empty(); }

    double r() override;
    void semina(double secondi) override;

    int semine = 0;
    int estrazioni = 0;

private:
    std::deque<double> coda_;
    GeneratoreCasuale riserva_;
};
