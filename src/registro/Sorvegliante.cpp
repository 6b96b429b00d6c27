#include "Sorvegliante.h"

#include "InterruttoreServer.h"
#include "LettoreServer.h"

namespace {

using namespace std::chrono_literals;

// How long a call waits before the server is asked whether it still answers, and how long
// that question waits: together the 2 s a window may be kept waiting.
constexpr auto pazienza = 1000ms;
constexpr auto domanda = 1000ms;

} // namespace

Sorvegliante::Sorvegliante(InterruttoreServer &chiamate, LettoreServer &sonda) : chiamate_(chiamate), sonda_(sonda) {}

Sorvegliante::~Sorvegliante()
{
    {
        std::lock_guard l(mutex_);
        fine_ = true;
    }
    sveglia_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void Sorvegliante::inizia()
{
    std::lock_guard l(mutex_);
    if (profondita_++ > 0)
        return;
    if (!thread_.joinable())
        thread_ = std::thread([this] { lavora(); });
    ++turno_;
    inCorso_ = true;
    interrotta_ = false;
    chiamate_.riprendi();
    sveglia_.notify_all();
}

void Sorvegliante::finisci()
{
    std::lock_guard l(mutex_);
    if (--profondita_ > 0)
        return;
    inCorso_ = false;
    sveglia_.notify_all();
}

bool Sorvegliante::interrotta() const
{
    std::lock_guard l(mutex_);
    return interrotta_;
}

bool Sorvegliante::inCorso() const
{
    std::lock_guard l(mutex_);
    return profondita_ > 0;
}

void Sorvegliante::lavora()
{
    std::unique_lock l(mutex_);
    std::uint64_t visto = 0;
    for (;;) {
        sveglia_.wait(l, [&] { return fine_ || (inCorso_ && turno_ != visto); });
        if (fine_)
            return;
        visto = turno_;
        const auto finita = [&] { return fine_ || !inCorso_ || turno_ != visto; };
        // Asked after a moment, and again every moment for as long as the call lasts and the server answers.
        while (!sveglia_.wait_for(l, pazienza, finita)) {
            l.unlock();
            const bool risponde = sonda_.risponde(domanda);
            l.lock();
            if (!risponde) {
                if (!finita()) {
                    interrotta_ = true;
                    chiamate_.interrompi();
                }
                break;
            }
        }
    }
}
