#include "Riquadro.h"

#include <QPaintEvent>
#include <QPainter>

Riquadro::Riquadro(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // It paints every pixel itself, so what lies behind it is never painted in vain.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Riquadro::impostaSfondo(const std::optional<QColor> &colore)
{
    sfondo_ = colore.value_or(Qt::white);
    update();
}

void Riquadro::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    p.fillRect(e->rect(), sfondo_);
}
