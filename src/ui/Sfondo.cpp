#include "Sfondo.h"

#include <QWidget>

void riempiSfondo(QWidget *widget, const std::optional<QColor> &colore)
{
    widget->setAutoFillBackground(colore.has_value());
    if (!colore)
        return;
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, *colore);
    widget->setPalette(p);
}
