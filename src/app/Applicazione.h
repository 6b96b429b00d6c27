#pragma once

// What the program sets up once its QApplication exists: names, style, Qt's own
// texts in Italian, the key-release watch, and the end of the program when the
// last window goes.
namespace Applicazione {
void prepara();
} // namespace Applicazione
