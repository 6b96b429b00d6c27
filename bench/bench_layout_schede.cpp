// One resize pass of the kind-2 worksheet window (about 140 controls), against
// a loop that only moves the same widgets to the same places.
#include "ui/ElencoControlli.h"
#include "ui/Rapporti.h"
#include "worksheets/frmStampaSchede2.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    frmStampaSchede2 &f = frmStampaSchede2::istanza();
    // Shown, as a user resizes it: moving visible widgets is what a pass costs.
    f.mostra();
    QCoreApplication::processEvents();
    const ElencoControlli &elenco = f.controlli();
    const double misure[2][2] = {{11910, 8340}, {15360, 10500}};

    // The places the layout gives at each size, for the bare loop.
    std::vector<std::pair<QWidget *, QRect>> posti[2];
    for (int m = 0; m < 2; ++m) {
        f.rapporti().applica(elenco, misure[m][0], misure[m][1]);
        for (const Controllo &c : elenco)
            if (c.siSposta() && c.widget())
                posti[m].emplace_back(c.widget(), c.widget()->geometry());
    }

    const int passi = 2000;
    auto misura = [&](auto passo) {
        std::vector<double> tempi;
        for (int r = 0; r < 7; ++r) {
            QElapsedTimer t;
            t.start();
            for (int i = 0; i < passi; ++i)
                passo(i % 2);
            tempi.push_back(t.nsecsElapsed() / 1e3 / passi);
        }
        std::sort(tempi.begin(), tempi.end());
        return tempi[tempi.size() / 2];
    };
    const double layout = misura([&](int m) { f.rapporti().applica(elenco, misure[m][0], misure[m][1]); });
    const double nudo = misura([&](int m) {
        for (const auto &[w, r] : posti[m])
            w->setGeometry(r);
    });
    std::printf("worksheet window 2: %zu controls moved; layout pass %.1f us, bare moves %.1f us, "
                "ratio %.2f\n",
                posti[0].size(), layout, nudo, layout / nudo);
    f.scarica();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
