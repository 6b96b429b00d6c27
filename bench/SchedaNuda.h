#pragma once

// What the print benchmarks share: a sheet drawn straight with QPainter, as the
// baseline the print routine is measured against, and the median of timed runs.
#include "core/ConfigurazioneScheda.h"
#include "worksheets/ContenutoScheda.h"

#include <QElapsedTimer>
#include <QPainter>

#include <algorithm>
#include <ctime>
#include <vector>

// One kind-2 or kind-3 sheet on a painter already scaled to twips at 1200 dpi.
inline void disegnaSchedaNuda(QPainter &p, const ContenutoScheda &c, const ConfigurazioneScheda &conf)
{
    QFont f = p.font();
    f.setPixelSize(280);
    p.setFont(f);
    p.drawText(QRectF(conf.xNome, 1000, 100000, 100000), Qt::AlignLeft | Qt::AlignTop, "Nome e Cognome   ");
    f.setPixelSize(240);
    p.setFont(f);
    p.drawText(QRectF(1000, 1500, 100000, 100000), Qt::AlignLeft | Qt::AlignTop, QString::fromUtf8(conf.istruzione));
    p.setPen(QPen(Qt::black, 3 * 1440.0 / 1200));
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

// Milliseconds, the median of this many runs: wall-clock time, or the
// processor time of this process, which other work on a busy machine disturbs less.
template <class F> double mediana(F passo, int volte, bool processore = false)
{
    std::vector<double> tempi;
    for (int i = 0; i < volte; ++i) {
        QElapsedTimer t;
        const std::clock_t inizio = std::clock();
        t.start();
        passo();
        tempi.push_back(processore ? (std::clock() - inizio) * 1000.0 / CLOCKS_PER_SEC : t.nsecsElapsed() / 1e6);
    }
    std::sort(tempi.begin(), tempi.end());
    return tempi[tempi.size() / 2];
}
