#include "Pulsante.h"

#include "Twips.h"

Pulsante::Pulsante(QWidget *parent) : QPushButton(parent) { setAutoDefault(false); }

void Pulsante::impostaSfondo(int colore)
{
    if (colore < 0)
        return;
    QPalette p = palette();
    p.setColor(QPalette::Button, QColor(inQRgb(colore)));
    setPalette(p);
}
