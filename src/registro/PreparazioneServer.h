#pragma once

#include <QString>

// quorvel --registro-prepara: run once by the administrator with the role that owns the
// lab's database. Creates or migrates the schema (the same numbered steps as the SQLite
// file) and gives two group roles exactly what they need:
//   quorvel_alunni      the pupils' PCs: read classes and pupils, add sessions and results;
//                       never read, change or delete a result, never change a class or a pupil
//   quorvel_insegnanti  the teacher's window: classes, pupils and results, erasures included
// Nobody else but the owner may connect. Nobody but the owner sets a result's arrival time:
// the server stamps it. Running it again changes nothing.
namespace PreparazioneServer {

constexpr const char *ruoloAlunni = "quorvel_alunni";
constexpr const char *ruoloInsegnanti = "quorvel_insegnanti";

struct Esito {
    bool riuscito = false;
    bool cambiato = false; // false: the server was already ready
    int versionePrima = 0;
    int versione = 0;
    QString messaggio; // Italian, for the administrator
};

Esito prepara(const QString &conninfo);

} // namespace PreparazioneServer
