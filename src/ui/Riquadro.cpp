#include "Riquadro.h"

#include "Twips.h"

Riquadro::Riquadro(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Riquadro::impostaSfondo(int colore) { riempiSfondo(this, colore); }
