#include "PulsanteContrassegno.h"

#include "AspettoContrassegno.h"
#include "TestoAdattato.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>

namespace {
constexpr int unaRiga = Qt::AlignHCenter | Qt::AlignVCenter;
constexpr int dueRighe = unaRiga | Qt::TextWordWrap;
// The share of the button's height the name may take under the tile.
constexpr double quotaNome = 0.3;
} // namespace

PulsanteContrassegno::PulsanteContrassegno(QWidget *parent) : PulsanteOpzione(parent) {}

void PulsanteContrassegno::impostaContrassegno(int figura, int colore)
{
    figura_ = figura;
    colore_ = colore;
    update();
}

void PulsanteContrassegno::keyPressEvent(QKeyEvent *e)
{
    indietro_ = e->key() == Qt::Key_Backtab || (e->key() == Qt::Key_Tab && (e->modifiers() & Qt::ShiftModifier));
    PulsanteOpzione::keyPressEvent(e);
}

QRect PulsanteContrassegno::rettangoloNome() const
{
    if (!conTessera())
        return rettangoloTesto();
    const QRect r = rect().adjusted(4, 4, -4, -4);
    const int altezza = static_cast<int>(r.height() * quotaNome);
    return QRect(r.left(), r.bottom() + 1 - altezza, r.width(), altezza);
}

QRectF PulsanteContrassegno::rettangoloTessera() const
{
    if (!conTessera())
        return {};
    const QRect r = rect().adjusted(6, 6, -6, -6);
    return QRectF(r.left(), r.top(), r.width(), rettangoloNome().top() - 2 - r.top());
}

void PulsanteContrassegno::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, sfondo());
    // The focused one is framed as well as coloured: it must stand out among many.
    if (hasFocus()) {
        p.setPen(QPen(QColor(0, 0, 160), 4));
        p.drawRect(QRectF(r).adjusted(2, 2, -2, -2));
    } else {
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    AspettoContrassegno::dipingi(p, rettangoloTessera(), figura_, colore_);

    // A name on one line while it stays legible there; a long one over two.
    const QRect nome = rettangoloNome();
    const double minimo = TestoAdattato::minimoPunti(*this);
    int flags = conTessera() ? unaRiga : allineamentoTesto;
    QFont carattere = TestoAdattato::carattere(font(), text(), nome.size(), flags, minimo * 1.25);
    if (conTessera() && QFontMetricsF(carattere).horizontalAdvance(text()) > nome.width()) {
        flags = dueRighe;
        carattere = TestoAdattato::carattere(font(), text(), nome.size(), flags, minimo);
    }
    p.setFont(carattere);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    // A name too long even at the smallest legible size is cut at the edge of its room, never over the tile.
    p.setClipRect(nome);
    p.drawText(TestoAdattato::posto(carattere, text(), nome, flags), flags, text());
}
