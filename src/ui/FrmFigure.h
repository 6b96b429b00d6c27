#pragma once

#include "Disegno.h"
#include "Finestra.h"

class Immagine;

// The picture store: a window never shown, whose image controls Image3(0..12)
// hold the blank picture (0) and the twelve element pictures (1..12); NomiFigure
// says in words what each one shows.
class FrmFigure : public FinestraUnica<FrmFigure> {
    Q_OBJECT
public:
    static constexpr int numeroFigure = 13;

    FrmFigure();
    Immagine *Image3(int k) const { return Image3_(k); }
    // The picture of Image3(k); a null picture outside 0..12.
    Disegno figura(int k) const;

private:
    ArrayControlli<Immagine> Image3_;
};
