#include "Twips.h"

#include <QWidget>

void riempiSfondo(QWidget *widget, int colore)
{
    widget->setAutoFillBackground(colore >= 0);
    if (colore < 0)
        return;
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, QColor(inQRgb(colore)));
    widget->setPalette(p);
}
