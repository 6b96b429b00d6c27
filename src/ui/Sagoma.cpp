#include "Sagoma.h"

#include "Twips.h"

#include <QPainter>

Sagoma::Sagoma(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void Sagoma::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (sfondo_ >= 0)
        p.fillRect(rect(), QColor(inQRgb(sfondo_)));
    if (bordo_ >= 0) {
        p.setPen(QPen(QColor(inQRgb(bordo_)), 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
