#include "Cornice.h"

#include "Twips.h"

Cornice::Cornice(QWidget *parent) : QFrame(parent) { setFocusPolicy(Qt::NoFocus); }

void Cornice::impostaSfondo(int colore)
{
    setAutoFillBackground(colore >= 0);
    if (colore >= 0) {
        QPalette p = palette();
        p.setColor(QPalette::Window, QColor(inQRgb(colore)));
        setPalette(p);
    }
}

void Cornice::impostaBordo(bool bordo)
{
    setFrameStyle(bordo ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(1);
}
