#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class InterruttoreServer;
class LettoreServer;

// Watches the calls a window makes to the lab's server on its own thread, which no answer may
// keep waiting for long: one still waiting after a moment is broken off when the server does
// not answer a quick question on another connection either. A slow answer from a server that
// still answers is waited for (the server's own statement_timeout bounds it); a hung one is not.
class Sorvegliante {
public:
    Sorvegliante(InterruttoreServer &chiamate, LettoreServer &sonda);
    ~Sorvegliante();
    Sorvegliante(const Sorvegliante &) = delete;
    Sorvegliante &operator=(const Sorvegliante &) = delete;

    // One watched call, for as long as it lives.
    class Turno {
    public:
        explicit Turno(Sorvegliante &s) : s_(s) { s_.inizia(); }
        ~Turno() { s_.finisci(); }
        Turno(const Turno &) = delete;
        Turno &operator=(const Turno &) = delete;

    private:
        Sorvegliante &s_;
    };
    // Whether the last call was broken off because the server did not answer.
    bool interrotta() const;
    // Whether a watched call is under way (on the owner's thread: it is the caller's own).
    bool inCorso() const;

private:
    void inizia();
    void finisci();
    void lavora();

    InterruttoreServer &chiamate_;
    LettoreServer &sonda_;
    mutable std::mutex mutex_;
    std::condition_variable sveglia_;
    std::uint64_t turno_ = 0; // the call under way, or the last one
    int profondita_ = 0;      // a watched call may make another
    bool inCorso_ = false;
    bool interrotta_ = false;
    bool fine_ = false;
    std::thread thread_;
};
