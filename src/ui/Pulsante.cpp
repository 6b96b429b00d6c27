#include "Pulsante.h"

#include "TestoAdattato.h"
#include "core/Twips.h"

#include <QStyleOptionButton>
#include <QStylePainter>

Pulsante::Pulsante(QWidget *parent) : QPushButton(parent) { setAutoDefault(false); }

void Pulsante::impostaSfondo(const std::optional<QColor> &colore)
{
    if (!colore)
        return;
    QPalette p = palette();
    p.setColor(QPalette::Button, *colore);
    setPalette(p);
}

QRect Pulsante::rettangoloTesto() const
{
    QStyleOptionButton opzioni;
    initStyleOption(&opzioni);
    return style()->subElementRect(QStyle::SE_PushButtonContents, &opzioni, this);
}

QFont Pulsante::carattereEffettivo() const
{
    return TestoAdattato::carattere(font(), text(), rettangoloTesto().size(), allineamentoTesto,
                                    TestoAdattato::minimoPunti(*this));
}

void Pulsante::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionButton opzioni;
    initStyleOption(&opzioni);
    const QFont carattere = carattereEffettivo();
    p.setFont(carattere);
    opzioni.fontMetrics = QFontMetrics(carattere);
    p.drawControl(QStyle::CE_PushButton, opzioni);
}
