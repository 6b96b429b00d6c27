#pragma once

#include <QDate>
#include <QString>

// How long the register keeps results: a number of school years, the current one
// included, kept in the register so that every PC of the lab agrees. Nothing goes
// by itself: once a school year the teacher's window offers to erase what is older,
// and this PC remembers, per register, the school year the teacher last answered.
namespace Conservazione {

// The first day kept when `anniScolastici` school years are kept on `oggi`.
QDate primoGiornoTenuto(QDate oggi, int anniScolastici);
// "il 2025/26": a school year, named by the one holding `giorno`.
QString nomeAnnoScolastico(QDate giorno);

// Whether the offer is due for the register `identita` in the school year of `oggi`.
bool daOffrire(const QString &identita, QDate oggi);
// The teacher answered the offer (either way) in the school year of `oggi`.
void offerta(const QString &identita, QDate oggi);

} // namespace Conservazione
