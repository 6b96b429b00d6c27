#pragma once

#include <QPoint>

// Where things go on the printed sheet, in twips from the top-left corner of the
// printable area. Exercise e counts from 1, cell offset o from 0 (row o / 5,
// column o % 5).
namespace GeometriaScheda {
constexpr int esercizi = 4;
constexpr int celle = 15;
constexpr int altezzaRiquadro = 3100;
constexpr int sinistraRiquadroSinistro = 500;
constexpr int sinistraRiquadroDestro = 6000;
constexpr int destraRiquadroDestro = 11000;
// Below the last box (15600) and inside the printable area of A4 and, scaled, of Letter.
constexpr QPoint numeroScheda{9500, 15780};

constexpr int altoRiquadro(int e) { return 2000 + 3500 * (e - 1); }
// The first kind's first exercise has a narrower left box.
constexpr int destraRiquadroSinistro(int tipo, int e) { return tipo == 1 && e == 1 ? 5000 : 5500; }
constexpr QPoint cella(int e, int o, bool riquadroDestro)
{
    return {(riquadroDestro ? 6830 : 830) + 800 * (o % 5), altoRiquadro(e) + 200 + 950 * (o / 5)};
}
} // namespace GeometriaScheda
