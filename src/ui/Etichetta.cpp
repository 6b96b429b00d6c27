#include "Etichetta.h"

#include "Sfondo.h"
#include "TestoAdattato.h"
#include "core/Twips.h"

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
    QTextLayout impaginazione(testo, carattereEffettivo());
    impaginazione.setTextOption(opzioni());
    qreal altezza = 0;
    qreal larghezza = 0;
    impaginazione.beginLayout();
    for (QTextLine riga = impaginazione.createLine(); riga.isValid(); riga = impaginazione.createLine()) {
        riga.setLineWidth(rettangoloTesto().width());
        riga.setPosition(QPointF(0, altezza));
        altezza += riga.height();
        larghezza = qMax(larghezza, riga.naturalTextWidth());
    }
    impaginazione.endLayout();
    return {0, 0, larghezza, altezza};
}

QRect Etichetta::rettangoloTesto() const
{
    // A label reaching past its container (a title line a little wider than its window)
    // keeps its text where it can be seen.
    const QWidget *contenitore = parentWidget();
    return contenitore ? contentsRect() & contenitore->rect().translated(-pos()) : contentsRect();
}

QFont Etichetta::carattereEffettivo() const
{
    Adattamento &a = adattamento_;
    const double minimo = TestoAdattato::minimoPunti(*this);
    if (a.testo != text() || a.spazio != rettangoloTesto().size() || a.progetto != font() || a.minimo != minimo) {
        a = {text(), rettangoloTesto().size(), font(), minimo, {}};
        a.risultato = TestoAdattato::carattere(font(), text(), QSizeF(a.spazio),
                                               static_cast<int>(alignment()) | Qt::TextWordWrap, minimo);
    }
    return a.risultato;
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
    const QFont carattere = carattereEffettivo();
    p.setFont(carattere);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    // Drawing clips to the rectangle given: from the text moved into place to the end of its space.
    const QRectF spazio = rettangoloTesto();
    const int allineamento = static_cast<int>(alignment()) | Qt::TextWordWrap;
    p.drawText(TestoAdattato::posto(carattere, text(), spazio, allineamento) | spazio, text(), opzioni());
}
