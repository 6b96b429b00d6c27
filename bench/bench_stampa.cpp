// Writing one complete kind-2 sheet to a PDF through the print routine, against a
// bare QPrinter loop that draws the same text, lines and pictures.
#include "SchedaNuda.h"
#include "printing/FilePdf.h"
#include "printing/SuperficiePdf.h"
#include "ui/FrmFigure.h"
#include "worksheets/StampaScheda.h"

#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

ContenutoScheda contenuto()
{
    ContenutoScheda c;
    for (int e = 0; e < 4; ++e)
        for (int o = 0; o < 15; ++o) {
            c.primo[e][o] = FrmFigure::istanza().figura(o % 3 == 0 ? 0 : 1 + (e * 3) % 12);
            c.secondo[e][o] = FrmFigure::istanza().figura(o < 6 ? 1 + (e * 3) % 12 : 0);
        }
    return c;
}

void nudo(const QString &file, const ContenutoScheda &c, const ConfigurazioneScheda &conf)
{
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setOutputFormat(QPrinter::PdfFormat);
    stampante.setOutputFileName(file);
    QPainter p(&stampante);
    const double scala = stampante.resolution() / 1440.0;
    p.scale(scala, scala);
    p.setRenderHint(QPainter::LosslessImageRendering);
    disegnaSchedaNuda(p, c, conf);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir cartella;
    const ContenutoScheda c = contenuto();
    const ConfigurazioneScheda &conf = ConfigurazioneScheda::perTipo(2);
    const QString file = cartella.filePath("scheda.pdf");
    const int volte = 15;
    // Once each first, so fonts and image caches are warm for both.
    nudo(file, c, conf);
    const double routine = mediana(
        [&] {
            SuperficiePdf s(std::make_unique<FilePdf>(cartella.path()));
            StampaScheda(s, conf).stampa(c);
        },
        volte);
    const double bare = mediana([&] { nudo(file, c, conf); }, volte);
    std::printf("one full sheet to PDF (median of %d): print routine %.1f ms, bare QPrinter %.1f ms, ratio %.2f\n",
                volte, routine, bare, routine / bare);
    return 0;
}
