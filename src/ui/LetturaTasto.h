#pragma once

#include "core/CodiciTasto.h"

class QKeyEvent;

// How a key event of Qt reads in the key codes and character codes of the rules.
namespace CodiciTasto {
// Key code of a key event; keys with no code of their own give a code above 255,
// which no rule accepts.
int codice(const QKeyEvent &e);
// Character typed by the event, or 0 when it types none.
int carattere(const QKeyEvent &e);
} // namespace CodiciTasto
