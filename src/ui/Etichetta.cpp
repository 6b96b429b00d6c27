#include "Etichetta.h"

#include "Sfondo.h"

#include <QPainter>
#include <QTextLayout>

Etichetta::Etichetta(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setFocusPolicy(Qt::NoFocus);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Etichetta::impostaSfondo(const std::optional<QColor> &colore) { riempiSfondo(this, colore); }

void Etichetta::impostaColoreTesto(const QColor &colore)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colore);
    p.setColor(QPalette::Disabled, QPalette::WindowText, colore);
    setPalette(p);
}

QTextOption Etichetta::opzioni() const
{
    QTextOption o(alignment());
    o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return o;
}

QRectF Etichetta::ingombro() const
{
    QString testo = text();
    testo.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout impaginazione(testo, font());
    impaginazione.setTextOption(opzioni());
    qreal altezza = 0;
    qreal larghezza = 0;
    impaginazione.beginLayout();
    for (QTextLine riga = impaginazione.createLine(); riga.isValid(); riga = impaginazione.createLine()) {
        riga.setLineWidth(contentsRect().width());
        riga.setPosition(QPointF(0, altezza));
        altezza += riga.height();
        larghezza = qMax(larghezza, riga.naturalTextWidth());
    }
    impaginazione.endLayout();
    return {0, 0, larghezza, altezza};
}

void Etichetta::impostaTestoIntero(const QString &testo)
{
    if (!carattereProprio_)
        carattereProprio_ = font();
    QFont f = *carattereProprio_;
    setFont(f);
    setText(testo);
    constexpr double minimo = 4;
    while (ingombro().height() > contentsRect().height() && f.pointSizeF() > minimo) {
        f.setPointSizeF(qMax(minimo, f.pointSizeF() - 0.25));
        setFont(f);
    }
}

void Etichetta::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(QRectF(contentsRect()), text(), opzioni());
}
