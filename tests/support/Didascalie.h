#pragma once

#include <QStringList>

class Finestra;

// Checks a user makes by eye: is every caption wholly visible, is the window on its screen.
namespace Didascalie {
// The captions of the window's visible controls that are cut, by their control or by a
// container, or drawn below the legible size; at the design size, also those not drawn in
// their own font. Empty when all is well.
QStringList tagliate(const Finestra &f);
// Empty when the window's frame lies wholly on its screen; else what sticks out.
QString fuoriSchermo(const Finestra &f);
} // namespace Didascalie
