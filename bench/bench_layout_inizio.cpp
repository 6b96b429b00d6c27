// One proportional re-layout pass of the start window against a loop that only
// moves the same widgets to the same places.
#include "app/Applicazione.h"
#include "app/FrmInizio.h"
#include "core/Twips.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Applicazione::prepara();
    FrmInizio &f = FrmInizio::istanza();
    f.mostra();
    QApplication::processEvents();

    const QSize dimensioni[] = {{1024, 700}, {800, 560}};
    const int giri = 20000;

    // The places the layout computes, for the bare loop to copy.
    std::vector<std::vector<std::pair<QWidget *, QRect>>> posti;
    for (QSize s : dimensioni) {
        f.rapporti().applica(f.controlli(), Twips::daPixel(s.width()), Twips::daPixel(s.height()));
        std::vector<std::pair<QWidget *, QRect>> v;
        for (const Controllo &c : f.controlli())
            if (c.siSposta() && c.widget())
                v.emplace_back(c.widget(), c.widget()->geometry());
        posti.push_back(std::move(v));
    }

    auto misura = [&](auto &&passo) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < giri; ++i)
            passo(i % 2);
        return double(t.nsecsElapsed()) / giri;
    };
    const double muovi = misura([&](int k) {
        for (const auto &[w, r] : posti[k])
            w->setGeometry(r);
    });
    const double layout = misura([&](int k) {
        f.rapporti().applica(f.controlli(), Twips::daPixel(dimensioni[k].width()),
                             Twips::daPixel(dimensioni[k].height()));
    });
    const double muovi2 = misura([&](int k) {
        for (const auto &[w, r] : posti[k])
            w->setGeometry(r);
    });
    const double base = (muovi + muovi2) / 2;
    std::printf("start window, %zu controls moved per pass: bare moves %.0f ns, layout pass %.0f ns, ratio %.2f "
                "(target 1.20: %s)\n",
                posti[0].size(), base, layout, layout / base, layout / base <= 1.2 ? "met" : "NOT met");
    return 0;
}
