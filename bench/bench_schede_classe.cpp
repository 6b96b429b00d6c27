// A class set written to one PDF through the program's own path (draws, print
// routine, the PDF surface the printing layer hands out) against bare QPdfWriter
// and QPrinter loops that draw the same text, lines and pictures page after page.
#include "SchedaNuda.h"
#include "core/Casuale.h"
#include "core/ConfigurazioneScheda.h"
#include "printing/FileRiservato.h"
#include "printing/StampanteCorrente.h"
#include "printing/SuperficieStampa.h"
#include "worksheets/SchedeClasse.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// The same pages drawn straight on a paged device of 1200 dpi, as QPrinter's high resolution is for PDF.
// Kind 2 only: every left box is 5500 wide.
void disegnaNudo(QPagedPaintDevice &scrittore, const SchedeClasse &serie)
{
    const ConfigurazioneScheda &conf = ConfigurazioneScheda::perTipo(serie.tipo());
    QPainter p(&scrittore);
    const double scala = 1200 / 1440.0;
    p.scale(scala, scala);
    p.setRenderHint(QPainter::LosslessImageRendering);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const int totale = static_cast<int>(serie.schede().size());
    for (int n = 0; n < totale; ++n) {
        if (n > 0)
            scrittore.newPage();
        disegnaSchedaNuda(p, serie.schede()[n].contenuto(serie.tipo()), conf);
        QFont f = p.font();
        f.setPixelSize(200);
        p.setFont(f);
        p.drawText(QRectF(9500, 15780, 100000, 100000), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("Scheda %1 / %2").arg(n + 1).arg(totale));
    }
}

void nudo(const QString &file, const SchedeClasse &serie)
{
    QPdfWriter scrittore(file);
    scrittore.setResolution(1200);
    scrittore.setPageSize(QPageSize(QPageSize::A4));
    disegnaNudo(scrittore, serie);
}

void nudoQPrinter(const QString &file, const SchedeClasse &serie)
{
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setOutputFormat(QPrinter::PdfFormat);
    stampante.setPageSize(QPageSize(QPageSize::A4));
    stampante.setOutputFileName(file);
    disegnaNudo(stampante, serie);
}

void routine(const QString &file, int tipo, int copie, bool soluzioni)
{
    GeneratoreCasuale casuale(copie);
    const SchedeClasse serie = SchedeClasse::estrai(casuale, tipo, copie);
    QFile::remove(file);
    const std::unique_ptr<SuperficieStampa> s = StampanteCorrente::documentoPdf(std::make_unique<FileRiservato>(file));
    serie.stampa(*s, soluzioni);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir cartella;
    const QString file = cartella.filePath("schede.pdf");
    const int tipo = 2, volte = 9;
    // Once each first, so fonts and image caches are warm for both.
    routine(file, tipo, 30, false);
    GeneratoreCasuale casuale(30);
    const SchedeClasse trenta = SchedeClasse::estrai(casuale, tipo, 30);
    nudo(file, trenta);

    for (bool processore : {false, true}) {
        const char *misura = processore ? "CPU time" : "wall-clock time";
        const double nostro = mediana([&] { routine(file, tipo, 30, false); }, volte, processore);
        const double bare = mediana([&] { nudo(file, trenta); }, volte, processore);
        const double bareQPrinter = mediana([&] { nudoQPrinter(file, trenta); }, volte, processore);
        std::printf("30 sheets to PDF, %s (median of %d): class set %.1f ms, bare QPdfWriter %.1f ms, ratio %.2f; "
                    "bare QPrinter %.1f ms, ratio %.2f\n",
                    misura, volte, nostro, bare, nostro / bare, bareQPrinter, nostro / bareQPrinter);
        for (int copie : {1, 10, 30, 40}) {
            const double senza = mediana([&] { routine(file, tipo, copie, false); }, volte, processore);
            const double con = mediana([&] { routine(file, tipo, copie, true); }, volte, processore);
            std::printf("  %2d sheets: %7.1f ms (%.1f ms per sheet), with the solutions %7.1f ms\n", copie, senza,
                        senza / copie, con);
        }
    }
    return 0;
}
