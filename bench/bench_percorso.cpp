// The path's choice of the next exercise's level, from the pupil's state in memory: what
// NuovoEsercizio adds to an exercise on a path, and what VERIFICA adds to move the pupil.
// Needs no display.
#include "core/ImpostazioneLivello.h"
#include "core/PercorsoAdattivo.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    constexpr int giri = 200000;
    const PercorsoAdattivo regola({1, 6});
    // States spread over the whole reach of the path, so that every level comes up.
    std::vector<StatoPercorso> stati;
    for (int i = 0; i < 1000; ++i)
        stati.push_back({-1.0 + 10.0 * i / 1000, 1 + i % 100});

    auto misura = [&](auto &&passo) {
        std::vector<double> ns;
        for (int ripresa = 0; ripresa < 7; ++ripresa) {
            QElapsedTimer t;
            t.start();
            passo();
            ns.push_back(static_cast<double>(t.nsecsElapsed()) / giri);
        }
        std::sort(ns.begin(), ns.end());
        return ns;
    };

    long somma = 0; // kept, so that the calls are not optimised away
    const std::vector<double> scelta = misura([&] {
        int livello = 0;
        for (int i = 0; i < giri; ++i) {
            livello = regola.livello(stati[i % stati.size()], livello, i % 3 == 0);
            somma += livello;
        }
    });
    const std::vector<double> risposta = misura([&] {
        StatoPercorso s;
        for (int i = 0; i < giri; ++i) {
            s = regola.dopo(s, 1 + i % 6, i % 4 != 0);
            somma += s.risposte;
        }
    });
    std::printf("next level on a path of six levels: %.0f ns median, %.0f ns worst of 7 runs of %d\n",
                scelta[scelta.size() / 2], scelta.back(), giri);
    std::printf("rating moved by one answer: %.0f ns median, %.0f ns worst of 7 runs of %d\n",
                risposta[risposta.size() / 2], risposta.back(), giri);
    std::printf("(checksum %ld)\n", somma);
    return 0;
}
