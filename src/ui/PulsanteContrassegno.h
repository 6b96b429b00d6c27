#pragma once

#include "PulsanteOpzione.h"

// A big option button that shows a contrassegno with a name below it: a pupil
// finds themselves by the picture, a grown-up by the name. Keys, mouse and
// guards are those of every big button; with no contrassegno it shows its
// caption alone.
class PulsanteContrassegno : public PulsanteOpzione {
    Q_OBJECT
public:
    explicit PulsanteContrassegno(QWidget *parent = nullptr);

    void impostaContrassegno(int figura, int colore);
    int figura() const { return figura_; }
    int colore() const { return colore_; }

    // Where the tile and the name go inside the button.
    QRectF rettangoloTessera() const;
    QRect rettangoloNome() const;

    // Whether the last key pressed was Shift+Tab (the key code of both is Tab).
    bool indietro() const { return indietro_; }

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    bool conTessera() const { return figura_ > 0; }

    int figura_ = 0;
    int colore_ = -1;
    bool indietro_ = false;
};
