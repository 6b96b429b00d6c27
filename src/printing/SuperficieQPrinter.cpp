#include "SuperficieQPrinter.h"

#include "ui/Disegno.h"
#include "ui/Twips.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
constexpr double twipsPerPollice = 1440.0;
constexpr double twipsPerPunto = 20.0;
} // namespace

SuperficieQPrinter::SuperficieQPrinter(std::unique_ptr<QPrinter> stampante, QString fileRiservato)
    : stampante_(std::move(stampante)), fileRiservato_(std::move(fileRiservato))
{
}

std::unique_ptr<SuperficieQPrinter> SuperficieQPrinter::perCoda(const QString &coda)
{
    auto stampante = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(coda), QPrinter::HighResolution);
    auto superficie = std::make_unique<SuperficieQPrinter>(std::move(stampante));
    superficie->coda_ = coda;
    return superficie;
}

SuperficieQPrinter::~SuperficieQPrinter()
{
    if (!inviata_ && !fileRiservato_.isEmpty())
        QFile::remove(fileRiservato_);
}

bool SuperficieQPrinter::pronta()
{
    if (errore_)
        return false;
    if (verificata_)
        return true;
    verificata_ = true;
    // A printer made from a null QPrinterInfo silently turns into a PDF writer
    // with no file; a queue may also have gone since it was chosen.
    bool ok = stampante_->isValid();
    const QString nome = stampante_->printerName();
    if (!coda_.isEmpty())
        ok = ok && stampante_->outputFormat() == QPrinter::NativeFormat && nome == coda_;
    if (stampante_->outputFormat() == QPrinter::NativeFormat) {
        ok = ok && !nome.isEmpty() && QPrinterInfo::availablePrinterNames().contains(nome);
        // A stopped queue keeps its jobs unprinted, and Qt would not say so after the page.
        const QPrinter::PrinterState stato = QPrinterInfo::printerInfo(nome).state();
        ok = ok && stato != QPrinter::Error && stato != QPrinter::Aborted;
    } else
        ok = ok && !stampante_->outputFileName().isEmpty();
    if (!ok)
        fallisci();
    return ok;
}

void SuperficieQPrinter::fallisci()
{
    errore_ = true;
    passi_.clear();
}

void SuperficieQPrinter::aggiungi(std::function<void(QPainter &)> passo)
{
    if (pronta())
        passi_.push_back(std::move(passo));
}

void SuperficieQPrinter::impostaX(int twips)
{
    if (pronta())
        posizione_.setX(twips);
}

void SuperficieQPrinter::impostaY(int twips)
{
    if (pronta())
        posizione_.setY(twips);
}

void SuperficieQPrinter::impostaCarattere(double punti)
{
    if (!pronta())
        return;
    punti_ = punti;
    aggiungi([punti](QPainter &p) {
        QFont f = p.font();
        // The painter counts in twips, so the size goes in twips too.
        f.setPixelSize(qMax(1, qRound(punti * twipsPerPunto)));
        p.setFont(f);
    });
}

void SuperficieQPrinter::stampaTesto(const QString &testo)
{
    const QPointF angolo = posizione_;
    aggiungi([angolo, testo](QPainter &p) {
        p.setPen(QPen(Qt::black));
        p.drawText(QRectF(angolo, QSizeF(100000, 100000)), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, testo);
    });
    // As after a line of text, the next one starts below at the left margin.
    if (!errore_)
        posizione_ = QPoint(0, posizione_.y() + qRound(punti_ * twipsPerPunto * 1.2));
}

void SuperficieQPrinter::impostaSpessoreLinea(int pixel) { spessore_ = qMax(1, pixel); }

void SuperficieQPrinter::linea(QPoint da, QPoint a)
{
    const int spessore = spessore_;
    aggiungi([da, a, spessore](QPainter &p) {
        const double twipsPerPixel = twipsPerPollice / p.device()->logicalDpiX();
        p.setPen(QPen(Qt::black, spessore * twipsPerPixel, Qt::SolidLine, Qt::SquareCap));
        p.drawLine(da, a);
    });
}

void SuperficieQPrinter::disegno(QPoint inAltoASinistra, const Disegno &figura)
{
    if (figura.isNull()) {
        pronta();
        return;
    }
    const QImage immagine = figura.migliore();
    const QRectF bersaglio(inAltoASinistra, QSizeF(figura.dimensione()) * Twips::perPixel);
    aggiungi([immagine, bersaglio](QPainter &p) { p.drawImage(bersaglio, immagine); });
}

void SuperficieQPrinter::nuovaPagina()
{
    aggiungi([this](QPainter &) {
        // The painter keeps its scale and font across the page break.
        if (!stampante_->newPage())
            errore_ = true;
        paginaFatta(++pagineFatte_);
    });
}

bool SuperficieQPrinter::fineDocumento()
{
    if (!pronta())
        return false;
    QPainter p;
    if (!p.begin(stampante_.get())) {
        fallisci();
        return false;
    }
    const double scala = stampante_->resolution() / twipsPerPollice;
    p.scale(scala, scala);
    p.setRenderHint(QPainter::LosslessImageRendering);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    pagineFatte_ = 0;
    for (const auto &passo : passi_)
        passo(p);
    passi_.clear();
    const bool finita = p.end() && !errore_;
    const QPrinter::PrinterState stato = stampante_->printerState();
    if (!finita || stato == QPrinter::Error || stato == QPrinter::Aborted) {
        errore_ = true;
        return false;
    }
    inviata_ = true;
    paginaFatta(++pagineFatte_);
    return true;
}
