#pragma once

#include <QString>

#include <functional>

// Message boxes: OK only, titled with the application's name. Every message of
// the program goes through here, so tests can read them without a dialog.
namespace Messaggio {
void mostra(const QString &testo);

using Registratore = std::function<void(const QString &)>;
// Replaces the dialog with a recorder; an empty one restores the dialog.
void impostaRegistratore(Registratore registratore);
} // namespace Messaggio
