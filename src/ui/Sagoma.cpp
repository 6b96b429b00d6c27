#include "Sagoma.h"

#include <QPainter>

Sagoma::Sagoma(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void Sagoma::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (sfondo_)
        p.fillRect(rect(), *sfondo_);
    if (bordo_) {
        p.setPen(QPen(*bordo_, 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
