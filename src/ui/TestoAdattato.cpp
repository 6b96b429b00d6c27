#include "TestoAdattato.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QWidget>

double TestoAdattato::minimoPunti(const QWidget &w)
{
    return minimoPixel * 72.0 / (w.logicalDpiY() * w.devicePixelRatioF());
}

QRectF TestoAdattato::inchiostro(const QFont &f, const QString &testo, const QRectF &spazio, int flags)
{
    const QFontMetricsF m(f);
    const QRectF riquadro = m.boundingRect(spazio, flags, testo);
    // The tallest and the deepest letter of the whole text bound every line's letters.
    QString riga = testo;
    riga.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QRectF lettere = m.tightBoundingRect(riga);
    const qreal sopra = qMax<qreal>(0, m.ascent() + lettere.top());
    const qreal sotto = qMax<qreal>(0, m.descent() - lettere.bottom());
    return riquadro.adjusted(0, sopra, 0, -sotto);
}

QRectF TestoAdattato::posto(const QFont &f, const QString &testo, const QRectF &spazio, int flags)
{
    const QRectF lettere = inchiostro(f, testo, spazio, flags);
    if (lettere.top() < spazio.top())
        return spazio.translated(0, spazio.top() - lettere.top());
    if (lettere.bottom() > spazio.bottom())
        return spazio.translated(0, qMax(spazio.bottom() - lettere.bottom(), spazio.top() - lettere.top()));
    return spazio;
}

QFont TestoAdattato::carattere(const QFont &progetto, const QString &testo, const QSizeF &spazio, int flags,
                               double minimo)
{
    const auto entra = [&](const QFont &f) {
        const QRectF r = inchiostro(f, testo, QRectF(QPointF(), spazio), flags);
        return r.width() <= spazio.width() && r.height() <= spazio.height();
    };
    const double punti = progetto.pointSizeF() > 0 ? progetto.pointSizeF() : QFontInfo(progetto).pointSizeF();
    // A font already at the floor, or below it by its own choice, is never made larger.
    if (testo.trimmed().isEmpty() || spazio.isEmpty() || punti <= minimo || entra(progetto))
        return progetto;
    // The largest size that fits, in quarter points: a handful of measures per control.
    int basso = static_cast<int>(minimo * 4);
    int alto = static_cast<int>(punti * 4) - 1;
    QFont f = progetto;
    while (basso < alto) {
        const int medio = (basso + alto + 1) / 2;
        f.setPointSizeF(medio / 4.0);
        if (entra(f))
            basso = medio;
        else
            alto = medio - 1;
    }
    f.setPointSizeF(qMax(basso, 1) / 4.0);
    return f;
}
