#include "Etichetta.h"

#include "Twips.h"

Etichetta::Etichetta(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Etichetta::impostaSfondo(int colore) { riempiSfondo(this, colore); }

void Etichetta::impostaColoreTesto(int colore)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(inQRgb(colore)));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(inQRgb(colore)));
    setPalette(p);
}
