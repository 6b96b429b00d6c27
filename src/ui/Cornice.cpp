#include "Cornice.h"

#include "Sfondo.h"

Cornice::Cornice(QWidget *parent) : QFrame(parent) { setFocusPolicy(Qt::NoFocus); }

void Cornice::impostaSfondo(const std::optional<QColor> &colore) { riempiSfondo(this, colore); }

void Cornice::impostaBordo(bool bordo)
{
    setFrameStyle(bordo ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(1);
}
