// The path's rule against simulated pupils. A pupil's real chance at a level falls with a
// slope of their own, not the rule's, so the rule has to find them from their answers alone.
#include "core/ImpostazioneLivello.h"
#include "core/PercorsoAdattivo.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <vector>

namespace {

constexpr int esercizi = 200;
constexpr int assestamento = 40;
constexpr int alunniPerAbilita = 8;

// A simulated pupil: right three times in four at level `livello75` (a fraction: between two
// levels), their chance changing by `pendenza` logits a level.
struct Alunno {
    double livello75;
    double pendenza;

    double riuscita(int livello) const
    {
        return 1 / (1 + std::exp(-(pendenza * (livello75 - livello) + std::log(3.0))));
    }
};

struct Corsa {
    std::vector<int> livelli; // of exercise 1..200, at index 0..199
    std::vector<bool> esatte;
    bool dentro = true; // every level within the path
};

Corsa corri(const ImpostazioneLivello &percorso, const Alunno &alunno, std::uint64_t seme)
{
    std::mt19937_64 g(seme);
    std::uniform_real_distribution<double> u(0, 1);
    const PercorsoAdattivo regola(percorso);
    StatoPercorso stato;
    Corsa c;
    int livello = 0;
    bool svelta = false;
    for (int i = 0; i < esercizi; ++i) {
        livello = regola.livello(stato, livello, svelta);
        c.dentro = c.dentro && livello >= percorso.da && livello <= percorso.a;
        const bool esatta = u(g) < alunno.riuscita(livello);
        // Times are noise: half the right answers come quickly.
        svelta = esatta && u(g) < 0.5;
        stato = regola.dopo(stato, livello, esatta);
        c.livelli.push_back(livello);
        c.esatte.push_back(esatta);
    }
    return c;
}

double riuscitaDopo(const Corsa &c, int primo)
{
    return static_cast<double>(std::count(c.esatte.begin() + primo - 1, c.esatte.end(), true)) / (esercizi - primo + 1);
}

// The exercise from which the level keeps within one of the level the pupil spends the last
// hundred exercises at most.
int assestatoA(const Corsa &c)
{
    std::map<int, int> volte;
    for (int i = esercizi - 100; i < esercizi; ++i)
        ++volte[c.livelli[i]];
    const int solito =
        std::max_element(volte.begin(), volte.end(), [](auto a, auto b) { return a.second < b.second; })->first;
    int ultimoFuori = 0;
    for (int i = 0; i < esercizi; ++i)
        if (std::abs(c.livelli[i] - solito) > 1)
            ultimoFuori = i + 1;
    return ultimoFuori + 1;
}

double fuoriDa(const Corsa &c, int livello)
{
    return static_cast<double>(std::count_if(c.livelli.begin() + assestamento, c.livelli.end(),
                                             [livello](int l) { return l != livello; })) /
           (esercizi - assestamento);
}

} // namespace

class TestPercorso : public QObject {
    Q_OBJECT

private slots:
    void alunniEntroIlPercorsoRispondonoBeneTreVolteSuQuattro_data()
    {
        QTest::addColumn<double>("livello75");
        QTest::addColumn<double>("pendenza");
        for (double pendenza : {0.6, 1.6})
            for (double livello75 : {1.0, 2.3, 3.5, 4.7, 6.0})
                QTest::addRow("livello %.1f pendenza %.1f", livello75, pendenza) << livello75 << pendenza;
    }

    void alunniEntroIlPercorsoRispondonoBeneTreVolteSuQuattro()
    {
        QFETCH(double, livello75);
        QFETCH(double, pendenza);
        const ImpostazioneLivello percorso{1, 6};
        double somma = 0;
        std::vector<int> assestati;
        for (int a = 0; a < alunniPerAbilita; ++a) {
            const Corsa c = corri(percorso, {livello75, pendenza}, static_cast<std::uint64_t>(1000 * livello75 + a));
            QVERIFY(c.dentro);
            QCOMPARE(c.livelli.front(), 1); // a path starts at its lowest level
            somma += riuscitaDopo(c, assestamento + 1);
            assestati.push_back(assestatoA(c));
        }
        std::sort(assestati.begin(), assestati.end());
        const double riuscita = somma / alunniPerAbilita;
        const int mediana = assestati[assestati.size() / 2];
        qInfo("livello %.1f pendenza %.1f: giuste %.3f dopo il %d°, assestati al %d° (mediana), %d° (ultimo)",
              livello75, pendenza, riuscita, assestamento, mediana, assestati.back());
        QVERIFY2(std::abs(riuscita - PercorsoAdattivo::obiettivo) <= 0.1, qPrintable(QString::number(riuscita)));
        QVERIFY2(mediana <= assestamento, qPrintable(QString::number(mediana)));
    }

    void alunniOltreUnEstremoStannoAllEstremo()
    {
        const ImpostazioneLivello percorso{2, 5};
        for (double pendenza : {0.6, 1.6}) {
            for (int a = 0; a < alunniPerAbilita; ++a) {
                const Corsa sotto = corri(percorso, {-0.5, pendenza}, 7000 + a);
                const Corsa sopra = corri(percorso, {8.0, pendenza}, 8000 + a);
                QVERIFY(sotto.dentro && sopra.dentro);
                const double fuoriSotto = fuoriDa(sotto, 2), fuoriSopra = fuoriDa(sopra, 5);
                if (a == 0)
                    qInfo("pendenza %.1f: lontano dal 2 %.3f, dal 5 %.3f", pendenza, fuoriSotto, fuoriSopra);
                QVERIFY2(fuoriSotto <= 0.05, qPrintable(QString::number(fuoriSotto)));
                QVERIFY2(fuoriSopra <= 0.05, qPrintable(QString::number(fuoriSopra)));
            }
        }
    }

    void chiRispondeBeneSaleChiSbagliaScende()
    {
        const PercorsoAdattivo regola({1, 4});
        StatoPercorso stato;
        int livello = regola.livello(stato);
        QCOMPARE(livello, 1);
        std::vector<int> saliti{livello};
        for (int i = 0; i < 30; ++i) {
            stato = regola.dopo(stato, livello, true);
            livello = regola.livello(stato, livello);
            saliti.push_back(livello);
        }
        QVERIFY(std::is_sorted(saliti.begin(), saliti.end()));
        QCOMPARE(saliti.back(), 4);
        QVERIFY2(std::find(saliti.begin(), saliti.end(), 4) - saliti.begin() <= 15, "too slow to climb");
        QCOMPARE(stato.risposte, 30);

        std::vector<int> scesi{livello};
        for (int i = 0; i < 30; ++i) {
            stato = regola.dopo(stato, livello, false);
            livello = regola.livello(stato, livello);
            scesi.push_back(livello);
        }
        QVERIFY(std::is_sorted(scesi.rbegin(), scesi.rend()));
        QCOMPARE(scesi.back(), 1);
        QVERIFY2(std::find(scesi.begin(), scesi.end(), 1) - scesi.begin() <= 20, "too slow to come down");
    }

    void laValutazioneRestaNeiLimitiDelRegistro()
    {
        for (const ImpostazioneLivello percorso : {ImpostazioneLivello{1, 2}, ImpostazioneLivello{5, 6}}) {
            const PercorsoAdattivo regola(percorso);
            StatoPercorso su, giu;
            for (int i = 0; i < 5000; ++i) {
                su = regola.dopo(su, regola.livello(su), true);
                giu = regola.dopo(giu, regola.livello(giu), false);
            }
            for (const StatoPercorso &s : {su, giu})
                QVERIFY(s.abilita > StatoPercorso::abilitaMinima + 1 && s.abilita < StatoPercorso::abilitaMassima - 1);
            // Back from the top within a handful of wrong answers: the rating waits nowhere far.
            StatoPercorso torna = su;
            int passi = 0;
            while (regola.livello(torna) == percorso.a && passi < 50) {
                torna = regola.dopo(torna, percorso.a, false);
                ++passi;
            }
            QVERIFY2(passi <= 8, qPrintable(QString::number(passi)));
        }
    }

    void ilTempoDecideSoloTraDueLivelliPari()
    {
        const PercorsoAdattivo regola({1, 6});
        // Between two levels, where both are as near the aim: the tie point, found by halving.
        double basso = 3 + std::log(3.0), alto = basso + 1;
        for (int i = 0; i < 60; ++i) {
            const double mezzo = (basso + alto) / 2;
            (regola.livello({mezzo, 50}, 3) == 3 ? basso : alto) = mezzo;
        }
        const StatoPercorso pari{basso, 50};
        QCOMPARE(regola.livello(pari, 3, true), 4);  // quick: the harder one
        QCOMPARE(regola.livello(pari, 3, false), 3); // slow: stays, never down
        QCOMPARE(regola.livello(pari, 4, false), 4);
        // Away from the tie the time changes nothing, either way.
        for (const double abilita : {basso - 0.3, basso + 0.3})
            for (int attuale : {3, 4})
                QCOMPARE(regola.livello({abilita, 50}, attuale, true), regola.livello({abilita, 50}, attuale, false));
        QVERIFY(PercorsoAdattivo::svelta(5, 3) && !PercorsoAdattivo::svelta(7, 3));
    }
};

QTEST_GUILESS_MAIN(TestPercorso)
#include "test_percorso.moc"
