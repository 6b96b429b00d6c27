#pragma once

// What the program sets up once its QApplication exists: names, style, Qt's own
// texts in Italian, the wiring between the windows, and the end of the program
// when the last window goes. Every start-up connection is made here.
namespace Applicazione {
void prepara();
// The wiring alone, which the widget tests share with the program: the
// key-release watch and the way back to the start window.
void collega();
} // namespace Applicazione
