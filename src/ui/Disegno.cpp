#include "Disegno.h"

Disegno::Disegno(int numero, QImage normale, QImage alta)
    : numero_(numero), normale_(std::move(normale)), alta_(std::move(alta))
{
    if (!normale_.isNull())
        pixmap_ = QPixmap::fromImage(normale_);
}

Disegno Disegno::daRisorsa(int numero, const QString &percorso, const QString &percorsoAlta)
{
    QImage alta;
    if (!percorsoAlta.isEmpty())
        alta = QImage(percorsoAlta);
    return Disegno(numero, QImage(percorso), alta);
}
