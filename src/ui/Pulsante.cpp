#include "Pulsante.h"

Pulsante::Pulsante(QWidget *parent) : QPushButton(parent) { setAutoDefault(false); }

void Pulsante::impostaSfondo(const std::optional<QColor> &colore)
{
    if (!colore)
        return;
    QPalette p = palette();
    p.setColor(QPalette::Button, *colore);
    setPalette(p);
}
