#pragma once

#include <QString>
#include <QStringList>

// What the voice says, in the words a listener expects: the windows' texts are
// written for the eye ("E s a t t o", "Ti aiuto ?", "INSIEME VUOTO ( )").
namespace FrasiVoce {
// Spaced-out letters joined into their word, the signs in brackets left out, a
// dash between two clauses made a full stop, blanks simplified, capitals
// lowered to sentence case.
QString leggibile(const QString &testo);
// The parts read one after the other, each ending with its own full stop.
QString frase(const QStringList &parti);
// "un elemento", "tre elementi".
QString elementi(int quanti);
// How many pictures each set holds now.
QString conteggio(int primo, int secondo);
// How many elements the answer has.
QString soluzione(int quanti);
// The praise that comes with the star of a step up: no grade, no number, for any child.
QString stella();
} // namespace FrasiVoce
