#include "Cornice.h"

#include "Twips.h"

Cornice::Cornice(QWidget *parent) : QFrame(parent) { setFocusPolicy(Qt::NoFocus); }

void Cornice::impostaSfondo(int colore) { riempiSfondo(this, colore); }

void Cornice::impostaBordo(bool bordo)
{
    setFrameStyle(bordo ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(1);
}
