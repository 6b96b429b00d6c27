#pragma once

#include <QSqlDatabase>
#include <QString>

// Reaching the school lab's PostgreSQL server through Qt's QPSQL driver with a
// libpq connection string ("host=server dbname=quorvel user=quorvel_alunni",
// "service=quorvel") or a postgresql:// URI, as the administrator wrote it.
// Passwords come only the libpq way (~/.pgpass, pg_service.conf, PGPASSFILE):
// nothing here writes or asks for one.
namespace ConnessioneServer {

// Whether a --registro value or a setting names a server rather than a SQLite file.
bool eServer(const QString &valore);

// The connection string in key='value' form, as QPSQL hands its connect options
// to libpq; empty with *errore set when it cannot be used.
QString normalizza(const QString &conninfo, QString *errore);

// Opens a QPSQL connection named `nome` (the caller removes it). Unless the connection
// string says otherwise, a server that does not answer fails the connection within `attesa`
// seconds (libpq's least is 2), TCP keepalives and tcp_user_timeout notice a dead peer on an
// open connection, and every statement ends on the server after `limite` seconds (0: never).
// False with *errore in Italian, naming the server.
bool apri(const QString &nome, const QString &conninfo, QSqlDatabase *db, QString *errore, int attesa = 2,
          int limite = 30);

// A value quoted for a key='value' connection string.
QString citato(const QString &valore);

// "quorvel su server": the database and host, for the teacher; never a password.
QString descrivi(const QString &conninfo);

} // namespace ConnessioneServer
