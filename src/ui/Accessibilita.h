#pragma once

#include <QString>

class Cornice;
class QAbstractButton;
class QWidget;

// What assistive technology is told of the program's own controls: frames are
// groups, pictures are graphics, a set says what it holds, and a notice (the
// verdict, the help offer) is read out when it appears.
namespace Accessibilita {
// Installs the descriptions of the program's control classes; once is enough.
void prepara();

// Keeps a set's name in step with the pictures shown in its frame:
// "Primo insieme: 5 gatti", "Secondo insieme: vuoto".
void descriviInsieme(Cornice *insieme, const QString &titolo);
// The words for what a set holds: "vuoto", "1 gatto", "5 gatti".
QString contenuto(int quanti, int figura);

// Makes w a notice. A label notice is named by its text, letter-spaced words
// joined ("E s a t t o" reads "Esatto"); a frame by nome.
void segnaAvviso(QWidget *w, const QString &nome = {});
// Tells assistive technology that the notice w has just appeared.
void annuncia(QWidget *w);

// Shows the check box `casella`, placed in a menu bar's corner, to assistive
// technology among the bar's items (corner widgets are not in the tree by
// themselves): a check box with its caption, tooltip and state, toggled by its
// action as by a click. An unseen action of the bar stands in for it.
void segnaInterruttore(QAbstractButton *casella);
} // namespace Accessibilita
