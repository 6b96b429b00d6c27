#include "AspettoContrassegno.h"

#include "FrmFigure.h"
#include "NomiFigure.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace AspettoContrassegno {

namespace {
constexpr std::array<QColor, numeroColori> colori{
    QColor(240, 228, 66), // giallo
    QColor(200, 30, 40),  // rosso
    QColor(0, 114, 178),  // blu
    QColor(0, 158, 115),  // verde
    QColor(240, 150, 0),  // arancione
    QColor(170, 51, 119), // viola
};

bool valido(int figura, int colore)
{
    return figura >= 1 && figura < NomiFigure::numero && colore >= 0 && colore < numeroColori;
}
} // namespace

QColor colore(int indice)
{
    return indice >= 0 && indice < numeroColori ? colori[static_cast<size_t>(indice)] : QColor();
}

void dipingi(QPainter &p, const QRectF &r, int figura, int colore)
{
    if (!valido(figura, colore) || r.isEmpty())
        return;
    const qreal lato = std::min(r.width(), r.height());
    QRectF tessera(0, 0, lato, lato);
    tessera.moveCenter(r.center());
    const qreal raggio = lato * 0.12;

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setPen(QPen(QColor(40, 40, 40), std::max<qreal>(1.0, lato / 80)));
    p.setBrush(colori[static_cast<size_t>(colore)]);
    p.drawRoundedRect(tessera, raggio, raggio);

    const QRectF bianco = tessera.adjusted(lato * 0.14, lato * 0.14, -lato * 0.14, -lato * 0.14);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(bianco, raggio * 0.6, raggio * 0.6);

    // The richest pixels of the picture, fitted into the white ground with a little margin. A copy:
    // the drawing it comes from is a temporary.
    const QImage immagine = FrmFigure::istanza().figura(figura).migliore();
    if (!immagine.isNull()) {
        const QRectF spazio = bianco.adjusted(lato * 0.03, lato * 0.03, -lato * 0.03, -lato * 0.03);
        QSizeF misura = QSizeF(immagine.size()).scaled(spazio.size(), Qt::KeepAspectRatio);
        QRectF dove(QPointF(), misura);
        dove.moveCenter(spazio.center());
        p.drawImage(dove, immagine);
    }
    p.restore();
}

QPixmap pixmap(int figura, int colore, const QSize &dimensione, qreal rapportoPixel)
{
    QPixmap pm(dimensione * rapportoPixel);
    pm.setDevicePixelRatio(rapportoPixel);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    dipingi(p, QRectF(QPointF(), QSizeF(dimensione)), figura, colore);
    return pm;
}

QString descrizione(int figura, const QString &nomeColore)
{
    if (figura < 1 || figura >= NomiFigure::numero)
        return nomeColore;
    return QStringLiteral("%1 su %2").arg(QString::fromUtf8(NomiFigure::brevi[figura]), nomeColore);
}

} // namespace AspettoContrassegno
