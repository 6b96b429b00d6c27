#pragma once

#include <QString>

#include <functional>

class QWidget;

// Message boxes: OK only, titled with the application's name. Every message of
// the program goes through here, so tests can read them without a dialog.
namespace Messaggio {
void mostra(const QString &testo);

using Registratore = std::function<void(const QString &)>;
// Replaces the dialog with a recorder; an empty one restores the dialog.
void impostaRegistratore(Registratore registratore);

// A question before something that cannot be undone: `si` is the Yes button's text, No is the
// default. The text is shown as it is written, never as markup: it holds pupils' names.
bool conferma(QWidget *genitore, const QString &titolo, const QString &domanda, const QString &si);
} // namespace Messaggio
