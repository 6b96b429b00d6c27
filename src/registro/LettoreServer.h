#pragma once

#include "registro/Alunno.h"
#include "registro/Classe.h"

#include <QList>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class RegistroSql;

// Reads of the lab's server on a thread of its own, with a connection of its own, for a
// caller that cannot wait long (the window a pupil is looking at): the caller waits at most
// the time it gives, and a read that has not answered by then is broken off, so the thread
// is soon free again. One read at a time; a caller finding the thread still busy gets no answer.
class LettoreServer {
public:
    explicit LettoreServer(const QString &conninfo);
    // Breaks off a read under way and waits for the thread.
    ~LettoreServer();
    LettoreServer(const LettoreServer &) = delete;
    LettoreServer &operator=(const LettoreServer &) = delete;

    using Attesa = std::chrono::milliseconds;
    // None when the server did not answer within `attesa`, or answered with an error.
    // With the classes, the id of the register that gave them, in `identita`.
    std::optional<QList<Classe>> classi(Attesa attesa, QString *identita = nullptr);
    std::optional<QList<Alunno>> alunni(const QString &classe, Attesa attesa);
    // Whether the server answers a question within `attesa`.
    bool risponde(Attesa attesa);

private:
    using Lettura = std::function<void(RegistroSql &)>;
    // False when the thread was busy or `lettura` did not end in time.
    bool esegui(Lettura lettura, Attesa attesa);
    void lavora();

    QString conninfo_;
    std::mutex mutex_;
    std::condition_variable sveglia_;
    std::condition_variable fatto_;
    Lettura lettura_;
    quint64 chiesta_ = 0;
    quint64 finita_ = 0;
    bool fine_ = false;
    class RegistroLettore *registro_ = nullptr; // while the thread has it
    std::thread thread_;
};
