#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QStringList>

#include <cstdio>

// The class register from the command line, for the school's IT, with no display:
//   quorvel --classe C --importa-alunni FILE.csv
//   quorvel --esporta-risultati FILE.csv [--classe C] [--dal AAAA-MM-GG] [--al AAAA-MM-GG]
//   quorvel --cancella-alunno NOME --classe C
// each with --registro FILE to use another register file (or a connection string: the
// lab's server), and for the lab's administrator
//   quorvel --registro-prepara CONNINFO
// Messages are Italian;
// bad arguments end with 2, a failure with 1.
namespace RigaComandoRegistro {
// Whether the arguments ask for one of the commands above rather than for the windows.
bool richiesta(int argc, char *argv[]);
// The options, as --help lists them; --registro is also the windows' own.
QList<QCommandLineOption> opzioni();
QCommandLineOption opzioneRegistro();
// The whole run, core application included; gives the exit code.
int esegui(int argc, char *argv[]);
// The same on arguments already read (the program's name first), for an application that exists;
// the teacher's password, when the first class asks for it, is read from `ingresso`.
int esegui(const QStringList &argomenti, FILE *ingresso = stdin);
} // namespace RigaComandoRegistro
