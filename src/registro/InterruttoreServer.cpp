#include "InterruttoreServer.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <fcntl.h>
#include <libpq-fe.h>
#include <sys/socket.h>
#include <unistd.h>

InterruttoreServer::~InterruttoreServer() { scollega(); }

void InterruttoreServer::collega(const QSqlDatabase &db)
{
    scollega();
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    // The driver's name for it: Qt's documentation says "PGconn*", Qt 6 spells the struct's own name.
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return;
    PGconn *connessione = *static_cast<PGconn *const *>(handle.constData());
    const int socket = connessione ? PQsocket(connessione) : -1;
    if (socket < 0)
        return;
    std::lock_guard l(mutex_);
    // libpq closes its own descriptor when the server hangs up; this one stays ours until scollega().
    socket_ = ::fcntl(socket, F_DUPFD_CLOEXEC, 0);
    if (interrotto_ && socket_ >= 0)
        ::shutdown(socket_, SHUT_RDWR);
}

void InterruttoreServer::scollega()
{
    std::lock_guard l(mutex_);
    if (socket_ >= 0)
        ::close(socket_);
    socket_ = -1;
}

void InterruttoreServer::interrompi()
{
    std::lock_guard l(mutex_);
    interrotto_ = true;
    if (socket_ >= 0)
        ::shutdown(socket_, SHUT_RDWR);
}

bool InterruttoreServer::interrotto() const
{
    std::lock_guard l(mutex_);
    return interrotto_;
}

void InterruttoreServer::riprendi()
{
    std::lock_guard l(mutex_);
    interrotto_ = false;
}
