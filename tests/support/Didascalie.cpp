#include "Didascalie.h"

#include "ui/Etichetta.h"
#include "ui/Finestra.h"
#include "ui/Pulsante.h"
#include "ui/PulsanteOpzione.h"
#include "ui/TestoAdattato.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QScreen>

namespace {

struct Didascalia {
    QString testo;
    QRect spazio;
    QFont carattere;
    int allineamento = 0;
};

bool trova(const QWidget *w, Didascalia &d)
{
    if (const auto *e = qobject_cast<const Etichetta *>(w)) {
        d = {e->text(), e->rettangoloTesto(), e->carattereEffettivo(),
             static_cast<int>(e->alignment()) | Qt::TextWordWrap};
        return true;
    }
    if (const auto *o = qobject_cast<const PulsanteOpzione *>(w)) {
        d = {o->testo(), o->rettangoloTesto(), o->carattereEffettivo(), PulsanteOpzione::allineamentoTesto};
        return true;
    }
    if (const auto *p = qobject_cast<const Pulsante *>(w)) {
        d = {p->text(), p->rettangoloTesto(), p->carattereEffettivo(), Pulsante::allineamentoTesto};
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
