#include "Didascalie.h"

#include "core/Twips.h"
#include "ui/Etichetta.h"
#include "ui/Finestra.h"
#include "ui/Pulsante.h"
#include "ui/PulsanteOpzione.h"
#include "ui/TestoAdattato.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>

namespace {

struct Didascalia {
    QString testo;
    QRect spazio;
    QFont carattere;
    int allineamento = 0;
    QColor colore; // of the text, when the control shows it in one colour
};

// From the first to the last row of an image with a pixel of this colour.
int altezzaInchiostro(const QImage &immagine, const QColor &colore)
{
    int primo = -1;
    int ultimo = -1;
    for (int y = 0; y < immagine.height(); ++y)
        for (int x = 0; x < immagine.width(); ++x) {
            const QRgb p = immagine.pixel(x, y);
            if (qAlpha(p) > 128 &&
                qAbs(qRed(p) - colore.red()) + qAbs(qGreen(p) - colore.green()) + qAbs(qBlue(p) - colore.blue()) < 60) {
                primo = primo < 0 ? y : primo;
                ultimo = y;
                break;
            }
        }
    return primo < 0 ? 0 : ultimo - primo + 1;
}

// Whether the screen shows all of the text's height: the control's own pixels against the
// same text drawn where nothing can cut it.
bool intera(const QWidget &w, const Didascalia &d)
{
    const qreal dpr = w.devicePixelRatioF();
    QImage libera((QSizeF(d.spazio.width(), d.spazio.height() + 200) * dpr).toSize(), QImage::Format_ARGB32);
    libera.setDevicePixelRatio(dpr);
    libera.fill(Qt::white);
    QPainter p(&libera);
    p.setFont(d.carattere);
    p.setPen(d.colore);
    p.drawText(QRectF(0, 100, d.spazio.width(), d.spazio.height()),
               (d.allineamento & ~Qt::AlignVertical_Mask) | Qt::AlignTop | Qt::TextDontClip, d.testo);
    p.end();
    return altezzaInchiostro(const_cast<QWidget &>(w).grab().toImage(), d.colore) >=
           altezzaInchiostro(libera, d.colore) - 1;
}

bool trova(const QWidget *w, Didascalia &d)
{
    if (const auto *e = qobject_cast<const Etichetta *>(w)) {
        d = {e->text(), e->rettangoloTesto(), e->carattereEffettivo(),
             static_cast<int>(e->alignment()) | Qt::TextWordWrap, e->palette().color(QPalette::WindowText)};
        return true;
    }
    if (const auto *o = qobject_cast<const PulsanteOpzione *>(w)) {
        d = {o->text(), o->rettangoloTesto(), o->carattereEffettivo(), PulsanteOpzione::allineamentoTesto,
             o->isEnabled() ? o->palette().color(QPalette::Active, QPalette::ButtonText) : QColor()};
        return true;
    }
    if (const auto *p = qobject_cast<const Pulsante *>(w)) {
        d = {p->text(), p->rettangoloTesto(), p->carattereEffettivo(), Pulsante::allineamentoTesto, QColor()};
        return true;
    }
    return false;
}

} // namespace

QStringList Didascalie::tagliate(const Finestra &f)
{
    QStringList tagliate;
    const QWidget *client = f.client();
    const bool progetto = qRound(f.larghezzaInterna()) == f.definizione().larghezzaClient &&
                          qRound(f.altezzaInterna()) == f.definizione().altezzaClient;
    for (const Controllo &c : f.controlli()) {
        const QWidget *w = c.widget();
        Didascalia d;
        if (!w || !w->isVisibleTo(&f) || !trova(w, d) || d.testo.trimmed().isEmpty())
            continue;
        const QString chi = QStringLiteral("%1 \"%2\"").arg(w->objectName(), d.testo);
        const QRectF serve = TestoAdattato::inchiostro(
            d.carattere, d.testo, TestoAdattato::posto(d.carattere, d.testo, d.spazio, d.allineamento), d.allineamento);
        if (!QRectF(d.spazio).contains(serve))
            tagliate << QStringLiteral("%1: needs %2x%3, has %4x%5")
                            .arg(chi)
                            .arg(serve.width())
                            .arg(serve.height())
                            .arg(d.spazio.width())
                            .arg(d.spazio.height());
        // A container cuts what reaches past its edges.
        QRectF r = serve;
        for (const QWidget *x = w; x != client && x->parentWidget(); x = x->parentWidget()) {
            r.translate(x->pos());
            if (!QRectF(x->parentWidget()->rect()).contains(r))
                tagliate << QStringLiteral("%1: cut by %2").arg(chi, x->parentWidget()->objectName());
        }
        if (d.colore.isValid() && !intera(*w, d))
            tagliate << QStringLiteral("%1: cut on the screen").arg(chi);
        if (d.carattere.pointSizeF() < TestoAdattato::minimoPunti(*w) - 1e-6)
            tagliate << QStringLiteral("%1: %2 pt").arg(chi).arg(d.carattere.pointSizeF());
        // The design's own fonts at the design size; only a button of the default font may differ.
        if (progetto && d.carattere != w->font() && w->font() != QApplication::font(w))
            tagliate << QStringLiteral("%1: %2 pt instead of %3 pt")
                            .arg(chi)
                            .arg(d.carattere.pointSizeF())
                            .arg(w->font().pointSizeF());
    }
    return tagliate;
}

QString Didascalie::fuoriSchermo(const Finestra &f)
{
    const QScreen *schermo = f.screen();
    if (!schermo)
        return QStringLiteral("no screen");
    const QRect disponibile = schermo->availableGeometry();
    if (disponibile.contains(f.frameGeometry()))
        return {};
    const QRect r = f.frameGeometry();
    return QStringLiteral("%1 at %2,%3 %4x%5 on %6x%7")
        .arg(f.windowTitle())
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(disponibile.width())
        .arg(disponibile.height());
}
