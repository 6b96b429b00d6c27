#include "PulsanteOpzione.h"

#include "LetturaTasto.h"
#include "TestoAdattato.h"
#include "core/Twips.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>

PulsanteOpzione::PulsanteOpzione(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The mouse handlers below never let these through: only a press from elsewhere emits them.
    connect(this, &QAbstractButton::pressed, this, [this] { emit mouseGiu(indice(), Qt::LeftButton); });
    connect(this, &QAbstractButton::released, this, [this] { emit mouseSu(indice(), Qt::LeftButton); });
}

int PulsanteOpzione::indice() const { return group() ? group()->id(const_cast<PulsanteOpzione *>(this)) : -1; }

QColor PulsanteOpzione::sfondo() const { return sfondo_.value_or(palette().color(QPalette::Button)); }

void PulsanteOpzione::impostaSfondo(const std::optional<QColor> &colore)
{
    if (sfondo_ == colore)
        return;
    sfondo_ = colore;
    update();
}

void PulsanteOpzione::impostaValore(bool valore)
{
    if (valore_ == valore)
        return;
    valore_ = valore;
    update();
}

void PulsanteOpzione::premi()
{
    if (!isEnabled())
        return;
    QPointer<PulsanteOpzione> vivo(this);
    const int indice = this->indice();
    emit mouseGiu(indice, Qt::LeftButton);
    // The press may have closed the window and the button with it.
    if (vivo)
        emit mouseSu(indice, Qt::LeftButton);
}

bool PulsanteOpzione::abilitato() const { return !testAttribute(Qt::WA_ForceDisabled); }

QSize PulsanteOpzione::sizeHint() const { return size(); }

QRect PulsanteOpzione::rettangoloTesto() const { return rect().adjusted(6, 4, -6, -4); }

QFont PulsanteOpzione::carattereEffettivo() const
{
    return TestoAdattato::carattere(font(), text(), rettangoloTesto().size(), allineamentoTesto,
                                    TestoAdattato::minimoPunti(*this));
}

bool PulsanteOpzione::event(QEvent *e)
{
    if ((e->type() == QEvent::EnabledChange && isEnabled()) || e->type() == QEvent::Show)
        guardia_.comparso();
    // Tab and Backtab would move the focus before keyPressEvent: these buttons decide.
    if (e->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent *>(e));
        return true;
    }
    if (e->type() == QEvent::ShortcutOverride) {
        // Plain keys belong to the button, not to menu mnemonics; the menu bar's key is the teacher's.
        auto *k = static_cast<QKeyEvent *>(e);
        if (!(k->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) && k->key() != tastoBarraMenu) {
            e->accept();
            return true;
        }
    }
    return QAbstractButton::event(e);
}

void PulsanteOpzione::keyPressEvent(QKeyEvent *e)
{
    e->accept();
    if (e->isAutoRepeat() || !isEnabled())
        return;
    QPointer<PulsanteOpzione> vivo(this);
    const int indice = this->indice();
    emit tastoGiu(indice, CodiciTasto::codice(*e));
    // Discarding the key code never suppresses the character that follows it.
    const int c = CodiciTasto::carattere(*e);
    if (vivo && c > 0)
        emit carattere(indice, c);
}

void PulsanteOpzione::keyReleaseEvent(QKeyEvent *e)
{
    e->accept();
    if (e->isAutoRepeat() || !isEnabled())
        return;
    emit tastoSu(indice(), CodiciTasto::codice(*e));
}

void PulsanteOpzione::mousePressEvent(QMouseEvent *e)
{
    e->accept();
    if (!isEnabled() || guardia_.ignora(*e))
        return;
    const GuardiaDoppioClic::Pressione pressione(*e);
    emit mouseGiu(indice(), e->button());
}

void PulsanteOpzione::mouseReleaseEvent(QMouseEvent *e)
{
    e->accept();
    if (!isEnabled())
        return;
    emit mouseSu(indice(), e->button());
}

void PulsanteOpzione::focusInEvent(QFocusEvent *e)
{
    QAbstractButton::focusInEvent(e);
    emit presoFuoco(indice());
}

void PulsanteOpzione::focusOutEvent(QFocusEvent *e)
{
    QAbstractButton::focusOutEvent(e);
    emit persoFuoco(indice());
}

void PulsanteOpzione::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    const QColor fondo = sfondo();
    p.fillRect(r, fondo);

    // A raised bevel, sunken while selected.
    const QColor chiaro = fondo.lighter(135);
    const QColor scuro = fondo.darker(160);
    const QColor alto = valore_ ? scuro : chiaro;
    const QColor basso = valore_ ? chiaro : scuro;
    p.setPen(QPen(alto, 2));
    p.drawLine(r.topLeft() + QPoint(1, 1), r.topRight() + QPoint(-1, 1));
    p.drawLine(r.topLeft() + QPoint(1, 1), r.bottomLeft() + QPoint(1, -1));
    p.setPen(QPen(basso, 2));
    p.drawLine(r.bottomLeft() + QPoint(1, 0), r.bottomRight());
    p.drawLine(r.topRight() + QPoint(0, 1), r.bottomRight());
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(r.adjusted(0, 0, -1, -1));

    const QFont carattere = carattereEffettivo();
    const QRectF testo = TestoAdattato::posto(carattere, text(), rettangoloTesto(), allineamentoTesto);
    p.setFont(carattere);
    if (isEnabled()) {
        p.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
        p.drawText(testo, allineamentoTesto | Qt::TextDontClip, text());
    } else {
        // Engraved grey text, as disabled buttons show it.
        p.setPen(Qt::white);
        p.drawText(testo.translated(1, 1), allineamentoTesto | Qt::TextDontClip, text());
        p.setPen(QColor(128, 128, 128));
        p.drawText(testo, allineamentoTesto | Qt::TextDontClip, text());
    }
    if (hasFocus()) {
        const QRect attorno = p.boundingRect(testo, allineamentoTesto, text()).toAlignedRect().adjusted(-3, -1, 3, 1);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(attorno & r.adjusted(3, 3, -4, -4));
    }
}
