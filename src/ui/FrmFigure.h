#pragma once

#include "Disegno.h"
#include "Finestra.h"

class Immagine;

// The picture store: a window never shown, whose image controls Image3(0..12)
// hold the blank picture (0) and the twelve element pictures (1..12).
class FrmFigure : public FinestraUnica<FrmFigure> {
    Q_OBJECT
public:
    static constexpr int numeroFigure = 13;

    // What each picture shows, in the words that describe a set; none for the blank.
    struct Nome {
        const char *singolare;
        const char *plurale;
    };
    static constexpr Nome nomi[numeroFigure] = {
        {"", ""},
        {"imbuto", "imbuti"},
        {"lampada", "lampade"},
        {"sveglia", "sveglie"},
        {"barca a vela", "barche a vela"},
        {"bandiera", "bandiere"},
        {"candela", "candele"},
        {"dado", "dadi"},
        {"aquilone", "aquiloni"},
        {"sedia", "sedie"},
        {"abete", "abeti"},
        {"coppia di ciliegie", "coppie di ciliegie"},
        {"gatto", "gatti"},
    };

    FrmFigure();
    Immagine *Image3(int k) const { return Image3_(k); }
    // The picture of Image3(k); a null picture outside 0..12.
    Disegno figura(int k) const;

private:
    ArrayControlli<Immagine> Image3_;
};
