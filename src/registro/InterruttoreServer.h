#pragma once

#include <mutex>

class QSqlDatabase;

// Breaks off, from another thread, a call that waits on the lab's server for an answer that
// does not come: a server stopped or cut off without closing its connections leaves libpq
// waiting for ever. The connection's socket is shut down, so the waiting call fails at once
// and the connection is of no further use. The owner links each connection once it is open
// and unlinks it before closing it; the socket is held through a duplicate of its own, so it
// can never be another file's by the time it is shut down.
class InterruttoreServer {
public:
    InterruttoreServer() = default;
    ~InterruttoreServer();
    InterruttoreServer(const InterruttoreServer &) = delete;
    InterruttoreServer &operator=(const InterruttoreServer &) = delete;

    // The owner's thread. A connection linked after a break is shut down at once.
    void collega(const QSqlDatabase &db);
    void scollega();

    // Any thread: breaks off what waits on the linked connection, and marks the break until riprendi().
    void interrompi();
    bool interrotto() const;
    void riprendi();

private:
    mutable std::mutex mutex_;
    int socket_ = -1;
    bool interrotto_ = false;
};
