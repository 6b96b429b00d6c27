#pragma once

#include <QCommandLineOption>
#include <QList>

// A class set from the command line, with no display and no window:
//   quorvel --schede 1|2|3 --copie K --pdf FILE [--soluzioni] [--seme S] [--livello 1..6]
// Bad arguments print one Italian sentence and end with 2; FILE is never overwritten.
namespace RigaComandoSchede {
// Whether the arguments ask for a class set rather than for the windows.
bool richiesta(int argc, char *argv[]);
// The options, as --help lists them.
QList<QCommandLineOption> opzioni();
// The whole run, application included; gives the exit code.
int esegui(int argc, char *argv[]);
} // namespace RigaComandoSchede
