#pragma once

#include <QtGlobal>

// The big button last chosen on the start window: 0, 1, 2 are the exercise
// kinds (second set empty, with fewer, with more elements), 3 the exit.
// Written by the start window only; read by the exercise window.
inline qint16 TipoEsercizio = 0;
