#include "SuperficiePdf.h"

#include "core/Twips.h"
#include "ui/Disegno.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

namespace {
constexpr double twipsPerPollice = 1440.0;
constexpr double twipsPerPunto = 20.0;

// The painter counts in twips, so the size goes in twips too.
QFont carattere(double punti)
{
    QFont f;
    f.setPixelSize(qMax(1, qRound(punti * twipsPerPunto)));
    return f;
}
} // namespace

SuperficiePdf::SuperficiePdf(std::unique_ptr<Destinazione> destinazione) : destinazione_(std::move(destinazione)) {}

SuperficiePdf::~SuperficiePdf() = default;

bool SuperficiePdf::pronta()
{
    if (errore_)
        return false;
    if (verificata_)
        return true;
    verificata_ = true;
    const std::optional<Foglio> foglio = destinazione_->foglio();
    if (!foglio || foglio->area.isEmpty()) {
        fallisci();
        return false;
    }
    foglio_ = *foglio;
    return true;
}

void SuperficiePdf::fallisci()
{
    errore_ = true;
    pagine_.clear();
}

void SuperficiePdf::aggiungi(const QRectF &copre, Passo passo)
{
    if (!pronta())
        return;
    Pagina &pagina = pagine_.back();
    pagina.estensione = pagina.estensione.isNull() ? copre : pagina.estensione.united(copre);
    pagina.passi.push_back(std::move(passo));
}

void SuperficiePdf::impostaX(int twips)
{
    if (pronta())
        posizione_.setX(twips);
}

void SuperficiePdf::impostaY(int twips)
{
    if (pronta())
        posizione_.setY(twips);
}

void SuperficiePdf::impostaCarattere(double punti)
{
    if (!pronta())
        return;
    punti_ = punti;
    pagine_.back().passi.push_back([punti](QPainter &p) { p.setFont(carattere(punti)); });
}

void SuperficiePdf::stampaTesto(const QString &testo)
{
    const QPointF angolo = posizione_;
    const QFontMetricsF metriche(carattere(punti_));
    aggiungi(
        QRectF(angolo, QSizeF(metriche.horizontalAdvance(testo), metriche.height())), [angolo, testo](QPainter &p) {
            p.setPen(QPen(Qt::black));
            p.drawText(QRectF(angolo, QSizeF(100000, 100000)), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, testo);
        });
    // As after a line of text, the next one starts below at the left margin.
    if (!errore_)
        posizione_ = QPoint(0, posizione_.y() + qRound(punti_ * twipsPerPunto * 1.2));
}

void SuperficiePdf::impostaSpessoreLinea(int pixel) { spessore_ = qMax(1, pixel); }

void SuperficiePdf::linea(QPoint da, QPoint a)
{
    if (!pronta())
        return;
    // Printer pixels of the destination, whatever the PDF's own resolution.
    const double spessore = spessore_ * twipsPerPollice / foglio_.dpi;
    const double mezzo = spessore / 2;
    aggiungi(QRectF(da, a).normalized().adjusted(-mezzo, -mezzo, mezzo, mezzo), [da, a, spessore](QPainter &p) {
        p.setPen(QPen(Qt::black, spessore, Qt::SolidLine, Qt::SquareCap));
        p.drawLine(da, a);
    });
}

void SuperficiePdf::disegno(QPoint inAltoASinistra, const Disegno &figura)
{
    if (figura.isNull()) {
        pronta();
        return;
    }
    const QImage immagine = figura.migliore();
    const QRectF bersaglio(inAltoASinistra, QSizeF(figura.dimensione()) * Twips::perPixel);
    aggiungi(bersaglio, [immagine, bersaglio](QPainter &p) { p.drawImage(bersaglio, immagine); });
}

void SuperficiePdf::nuovaPagina()
{
    if (pronta())
        pagine_.emplace_back();
}

double SuperficiePdf::scalaPer(const QRectF &estensione, const QRectF &area)
{
    double scala = 1;
    if (estensione.right() > area.width())
        scala = area.width() / estensione.right();
    if (estensione.bottom() > area.height())
        scala = qMin(scala, area.height() / estensione.bottom());
    return scala;
}

QByteArray SuperficiePdf::pdf() const
{
    QByteArray dati;
    QBuffer buffer(&dati);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter scrittore(&buffer);
    scrittore.setTitle(destinazione_->titolo());
    scrittore.setCreator(QStringLiteral("Quorvel"));
    scrittore.setResolution(1200);
    scrittore.setPageLayout(QPageLayout(foglio_.carta, QPageLayout::Portrait, QMarginsF()));
    QPainter p(&scrittore);
    p.setRenderHint(QPainter::LosslessImageRendering);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const double inPixel = scrittore.resolution() / twipsPerPollice;
    for (std::size_t n = 0; n < pagine_.size(); ++n) {
        if (n > 0)
            scrittore.newPage();
        const Pagina &pagina = pagine_[n];
        const double scala = scalaPer(pagina.estensione, foglio_.area);
        p.resetTransform();
        p.scale(inPixel, inPixel);
        p.translate(foglio_.area.topLeft());
        p.scale(scala, scala);
        for (const auto &passo : pagina.passi)
            passo(p);
        paginaFatta(static_cast<int>(n) + 1);
    }
    p.end();
    return dati;
}

bool SuperficiePdf::fineDocumento()
{
    if (!pronta())
        return false;
    const QByteArray documento = pdf();
    pagine_.assign(1, {});
    if (documento.isEmpty() || !destinazione_->consegna(documento)) {
        fallisci();
        return false;
    }
    inviata_ = true;
    return true;
}
