#pragma once

#include <QCommandLineOption>
#include <QDate>
#include <QList>
#include <QString>

#include <cstdio>

class Registro;

// The teacher's commands, with no display; Italian sentences on stderr, exit
// 0 on success, 1 when the work failed, 2 on a wrong request.
namespace ComandiInsegnante {

// quorvel --registro-nuova-password: a new teacher's password for the register
// file, read twice from the terminal (without echo) or from standard input.
// Only the owner of the register's folder may do it.
int nuovaPassword(const QString &fileRegistro, FILE *ingresso = stdin);
// Before a class is made in a register file that has no teacher's password, the same
// reading chooses one; 0 when the register has a password (now or already), else the
// exit code of the refusal.
int primaPassword(const QString &fileRegistro, FILE *ingresso = stdin);

// quorvel --rapporto-pdf FILE --classe C [--dal D] [--al D]: the class summary
// as a PDF, never over an existing file. With no dates, the school year of today.
// Needs a QApplication (offscreen is enough): the page is drawn.
int rapportoPdf(Registro &registro, const QString &file, const QString &classe, QDate dal, QDate al);

// Whether the arguments ask for one of these commands rather than for the windows.
bool richiesta(int argc, char *argv[]);
// The options, as --help lists them.
QList<QCommandLineOption> opzioni();
// The whole run, application included; gives the exit code.
int esegui(int argc, char *argv[]);

} // namespace ComandiInsegnante
