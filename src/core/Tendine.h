#pragma once

// The two curtains of the start window, widths in twips: both close to half
// the window's outer width, then narrow by one step per tick until the left one
// is 10 twips or less, or the next step would make it negative. The opening
// always ends with both at 0, so no strip is ever left at the edges.
class Tendine {
public:
    static constexpr int passo = 75;
    static constexpr int soglia = 10;

    void avvia(int larghezzaEsterna);
    // One tick of the timer; returns whether the opening goes on.
    bool tick();

    int sinistra() const { return sinistra_; }
    int destra() const { return destra_; }
    bool inApertura() const { return inApertura_; }

private:
    void chiudiApertura();

    int sinistra_ = 0;
    int destra_ = 0;
    bool inApertura_ = false;
};
