#pragma once

#include <QList>

#include <sys/types.h>

class ServerPostgresProva;

// The server hung without closing its connections, as after a power cut or a pulled cable:
// the postmaster and its children stopped (SIGSTOP) until this object goes, whatever the
// test's outcome (and scripts/pg-test.sh lets them go if the test dies first).
class ServerSospeso {
public:
    explicit ServerSospeso(const ServerPostgresProva &server);
    ~ServerSospeso();
    ServerSospeso(const ServerSospeso &) = delete;
    ServerSospeso &operator=(const ServerSospeso &) = delete;

    bool riuscito() const { return pid_.size() > 1; }

private:
    QList<pid_t> pid_;
};
