// Writing one complete kind-2 sheet to a PDF through the print routine, against a
// bare QPrinter loop that draws the same text, lines and pictures.
#include "printing/FilePdf.h"
#include "printing/SuperficiePdf.h"
#include "ui/FrmFigure.h"
#include "worksheets/StampaScheda.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

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
    QFont f = p.font();
    f.setPixelSize(280);
    p.setFont(f);
    p.drawText(QRectF(conf.xNome, 1000, 100000, 100000), Qt::AlignLeft | Qt::AlignTop, "Nome e Cognome   ");
    f.setPixelSize(240);
    p.setFont(f);
    p.drawText(QRectF(1000, 1500, 100000, 100000), Qt::AlignLeft | Qt::AlignTop, QString::fromUtf8(conf.istruzione));
    p.setPen(QPen(Qt::black, 3 / scala));
    for (int e = 1; e <= 4; ++e) {
        const int alto = 2000 + 3500 * (e - 1);
        for (auto [sx, dx] : {std::pair{500, 5500}, std::pair{6000, 11000}}) {
            p.drawLine(sx, alto, dx, alto);
            p.drawLine(sx, alto, sx, alto + 3100);
            p.drawLine(dx, alto, dx, alto + 3100);
            p.drawLine(sx, alto + 3100, dx, alto + 3100);
            const bool destro = sx == 6000;
            for (int o = 0; o < 15; ++o) {
                const Disegno &d = destro ? c.secondo[e - 1][o] : c.primo[e - 1][o];
                p.drawImage(
                    QRectF(QPointF(sx + 330 + 800 * (o % 5), alto + 200 + 950 * (o / 5)), QSizeF(d.dimensione()) * 15),
                    d.migliore());
            }
        }
    }
}

template <class F> double mediana(F passo, int volte)
{
    std::vector<double> tempi;
    for (int i = 0; i < volte; ++i) {
        QElapsedTimer t;
        t.start();
        passo();
        tempi.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(tempi.begin(), tempi.end());
    return tempi[tempi.size() / 2];
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
    std::printf("foglio completo su PDF (mediana di %d): routine %.1f ms, QPrinter nudo %.1f ms, rapporto %.2f\n",
                volte, routine, bare, routine / bare);
    return 0;
}
