#pragma once

#include <QString>

class QDialog;
class QDialogButtonBox;
class QLabel;
class QWidget;

// Teacher's dialogs that hold their own texts whole: at least as wide as their title
// beside a window manager's buttons, wrapped labels at a readable width, and as tall as
// the wrapped text needs at that width, growing again when a warning appears.
namespace AdattaDialogo {
// Sizes the dialog to its content now; call again after a text changes.
void adatta(QWidget *dialogo);
// Shows `testo` in a warning label and refits its window. An empty warning is hidden, so a
// screen reader does not announce a warning that is not there.
void avvisa(QLabel *avviso, const QString &testo);
// A message of the register as a sentence: its first letter a capital.
QString frase(QString testo);
// A warning label for `dialogo`, hidden until avvisa() gives it a text; plain text, as it may
// hold a name or a server's message.
QLabel *nuovoAvviso(QWidget *dialogo);
// OK (named `ok` when given) and "Annulla", which rejects `dialogo`; the caller says what OK does.
QDialogButtonBox *okAnnulla(QDialog *dialogo, const QString &ok = {});
} // namespace AdattaDialogo
