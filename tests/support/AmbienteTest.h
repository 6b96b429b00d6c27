#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Shared set-up of the widget tests.
class FinestraScheda;

namespace AmbienteTest {
// Unloads every window and lets the deferred deletions run, so the next test
// starts with no window loaded.
void chiudiTutto();
// Records the texts of message boxes instead of showing them.
QStringList &messaggi();
void registraMessaggi();
// Lets pending events (paints, deferred deletions, activations) run.
void elabora(int millisecondi = 0);
// Points HOME (and so the documents folder) at a fresh folder removed at exit;
// gives its path, or an empty string when it could not be made.
QString casaTemporanea();
// The seed of a randomized run: QUORVEL_SEME when set, else predefinito; logged either way.
unsigned seme(unsigned predefinito);
// The three worksheet kinds as data rows "vuoto", "aggiungi", "togli" of an int column "tipo".
void righeTipiScheda();
// The worksheet window of kind 1, 2 or 3.
FinestraScheda *finestraScheda(int tipo);
} // namespace AmbienteTest
