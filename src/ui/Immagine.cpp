#include "Immagine.h"

#include <QEvent>
#include <QPainter>

Immagine::Immagine(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Immagine::impostaDisegno(const Disegno &disegno)
{
    disegno_ = disegno;
    // Shown at its own size, a picture is never cut by its control: the control
    // grows to hold it, whatever size the layout gives it.
    setMinimumSize(estendi_ ? QSize(0, 0) : disegno_.dimensione());
    update();
    emit cambiata();
}

void Immagine::togliDisegno()
{
    disegno_ = Disegno();
    setMinimumSize(0, 0);
    update();
    emit cambiata();
}

void Immagine::impostaEstendi(bool estendi)
{
    estendi_ = estendi;
    update();
}

bool Immagine::event(QEvent *e)
{
    const bool risultato = QWidget::event(e);
    if (e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent)
        emit cambiata();
    return risultato;
}

void Immagine::paintEvent(QPaintEvent *)
{
    if (disegno_.isNull())
        return;
    QPainter p(this);
    const QRect bersaglio = estendi_ ? rect() : QRect(QPoint(0, 0), disegno_.dimensione());
    const bool piuPixel = devicePixelRatioF() > 1.0 || bersaglio.size() != disegno_.dimensione();
    if (piuPixel) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(bersaglio, disegno_.migliore());
    } else {
        p.drawPixmap(bersaglio.topLeft(), disegno_.pixmap());
    }
}
