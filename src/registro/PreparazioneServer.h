#pragma once

#include <QString>

// quorvel --registro-prepara: run once by the administrator with the role that owns the
// lab's database (no CREATEROLE needed). Creates or migrates the schema (the same numbered
// steps as the SQLite file) and gives the register's two group roles, which the server's
// administrator made (sqlAmministratore), exactly what they need:
//   <database>_alunni      the pupils' PCs: read the names of the classes that are not archived
//                          and of their pupils, add sessions and plausible results for them;
//                          never read, change or delete a result, never change a class or a pupil
//   <database>_insegnanti  the teacher's window: the classes the teacher is given, their
//                          pupils and results, erasures included; a teacher of a class may give
//                          it to a colleague
// Row-level security on the server enforces whose rows each login sees. Nobody else but the
// owner may connect. Nobody but the server sets a result's arrival time. Running it again
// changes nothing.
namespace PreparazioneServer {

// The groups are named after the register's database, so that two registers on one server
// keep their logins apart: quorvel_alunni and quorvel_insegnanti for the database quorvel.
QString ruoloAlunni(const QString &database);
QString ruoloInsegnanti(const QString &database);

// What only the server's administrator (a superuser) can do, once, in the register's database:
// make the two groups, and take back from every role what PostgreSQL lets anyone do there by
// default (large objects). Plain SQL for psql (quorvel --registro-amministrazione).
QString sqlAmministratore();

struct Esito {
    bool riuscito = false;
    bool cambiato = false; // false: the server was already ready
    int versionePrima = 0;
    int versione = 0;
    QString messaggio; // Italian, for the administrator; what still needs doing on its own lines
};

Esito prepara(const QString &conninfo);

} // namespace PreparazioneServer
