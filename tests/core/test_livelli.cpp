#include "core/Casuale.h"
#include "core/GeneratoreEsercizio.h"
#include "core/Livello.h"
#include "support/ChiQuadro.h"
#include "support/OrologioScriptato.h"

#include <QTest>

#include <set>
#include <utility>

class TestLivelli : public QObject {
    Q_OBJECT

    OrologioScriptato orologio;

private slots:
    void init() { Orologio::imposta(&orologio); }
    void cleanup() { Orologio::imposta(nullptr); }

    void ogniLivelloEstraeUniformeNeiSuoiLimiti_data()
    {
        QTest::addColumn<int>("livello");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<int>("minimoN");
        QTest::addColumn<int>("massimoN");
        QTest::addColumn<int>("massimoM"); // kind 2
        QTest::newRow("1 vuoto") << 1 << 0 << 1 << 3 << 0;
        // A kind the level does not offer is drawn as at the first level that does.
        QTest::newRow("1 meno, come al 2") << 1 << 1 << 3 << 5 << 0;
        QTest::newRow("1 piu, come al 2") << 1 << 2 << 1 << 5 << 7;
        QTest::newRow("2 vuoto") << 2 << 0 << 1 << 5 << 0;
        QTest::newRow("2 meno") << 2 << 1 << 3 << 5 << 0;
        QTest::newRow("2 piu") << 2 << 2 << 1 << 5 << 7;
        QTest::newRow("3 vuoto") << 3 << 0 << 2 << 7 << 0;
        QTest::newRow("3 meno") << 3 << 1 << 3 << 7 << 0;
        QTest::newRow("3 piu") << 3 << 2 << 2 << 7 << 9;
        // The usual draws.
        QTest::newRow("4 vuoto") << 4 << 0 << 1 << 8 << 0;
        QTest::newRow("4 meno") << 4 << 1 << 3 << 9 << 0;
        QTest::newRow("4 piu") << 4 << 2 << 1 << 8 << 10;
        QTest::newRow("5 vuoto") << 5 << 0 << 1 << 12 << 0;
        QTest::newRow("5 meno") << 5 << 1 << 3 << 12 << 0;
        QTest::newRow("5 piu") << 5 << 2 << 1 << 12 << 14;
        QTest::newRow("6 vuoto") << 6 << 0 << 1 << 15 << 0;
        QTest::newRow("6 meno") << 6 << 1 << 3 << 15 << 0;
        QTest::newRow("6 piu") << 6 << 2 << 1 << 13 << 15;
    }

    void ogniLivelloEstraeUniformeNeiSuoiLimiti()
    {
        QFETCH(int, livello);
        QFETCH(int, tipo);
        QFETCH(int, minimoN);
        QFETCH(int, massimoN);
        QFETCH(int, massimoM);
        const Livello &l = Livello::di(livello);
        QCOMPARE(l.offre(tipo), livello >= (tipo == 0 ? 1 : 2));
        // The window's second set must hold the answer and every start count.
        const int capienza = l.perTipo(tipo).capienzaSecondo();
        QVERIFY(massimoN - 1 <= capienza && massimoM <= capienza);

        auto primoM = [&](int n) { return tipo == 1 ? 1 : tipo == 2 ? n + 2 : 0; };
        auto ultimoM = [&](int n) { return tipo == 1 ? n - 2 : tipo == 2 ? massimoM : 0; };
        GeneratoreCasuale g(static_cast<std::uint64_t>(10 * livello + tipo));
        std::map<std::pair<int, int>, int> coppie;
        std::map<int, int> caselle;
        constexpr int estrazioni = 12000;
        for (int i = 0; i < estrazioni; ++i) {
            const auto e = GeneratoreEsercizio::genera(tipo, l, g);
            const int n = e.elementiPrimo, m = e.elementiIniziali;
            QVERIFY(n >= minimoN && n <= massimoN);
            QVERIFY2(m >= primoM(n) && m <= ultimoM(n), qPrintable(QStringLiteral("N %1 M %2").arg(n).arg(m)));
            QVERIFY(e.figura >= 1 && e.figura <= 12);
            std::set<int> distinte;
            for (int k = 1; k <= n; ++k) {
                QCOMPARE(e.estratte[k], e.posizioni[k]);
                QVERIFY(e.occupa(e.estratte[k]));
                distinte.insert(e.estratte[k]);
                ++caselle[e.estratte[k]];
            }
            QCOMPARE(static_cast<int>(distinte.size()), n);
            QVERIFY(*distinte.begin() >= 1 && *distinte.rbegin() <= GeneratoreEsercizio::numeroCaselle);
            ++coppie[{n, m}];
        }

        // N uniform in the level's range, then M uniform among those that suit N.
        std::map<std::pair<int, int>, double> probabilita;
        for (int n = minimoN; n <= massimoN; ++n)
            for (int m = primoM(n); m <= ultimoM(n); ++m)
                probabilita[{n, m}] = 1.0 / (massimoN - minimoN + 1) / (ultimoM(n) - primoM(n) + 1);
        QCOMPARE(coppie.size(), probabilita.size());
        const double chi = ChiQuadro::statistica(coppie, probabilita);
        const int liberta = static_cast<int>(probabilita.size()) - 1;
        if (liberta > 0)
            QVERIFY2(chi < ChiQuadro::soglia(liberta), qPrintable(QStringLiteral("N e M: chi quadro %1").arg(chi)));

        std::map<int, double> ognuna;
        for (int k = 1; k <= GeneratoreEsercizio::numeroCaselle; ++k)
            ognuna[k] = 1.0 / GeneratoreEsercizio::numeroCaselle;
        const double chiCaselle = ChiQuadro::statistica(caselle, ognuna);
        QVERIFY2(chiCaselle < ChiQuadro::soglia(GeneratoreEsercizio::numeroCaselle - 1),
                 qPrintable(QStringLiteral("caselle: chi quadro %1").arg(chiCaselle)));
    }

    void lUltimoLivelloRiempieTuttaLaGriglia()
    {
        // Fifteen distinct slots of fifteen: the slot loop must end, and hold them all.
        GeneratoreCasuale g(15);
        for (int i = 0; i < 2000; ++i) {
            const auto e = GeneratoreEsercizio::genera(0, Livello::di(6), g);
            if (e.elementiPrimo < 15)
                continue;
            for (int k = 1; k <= 15; ++k)
                QVERIFY(e.occupa(k));
            return;
        }
        QFAIL("no N of 15 in 2000 draws at level 6");
    }
};

QTEST_GUILESS_MAIN(TestLivelli)
#include "test_livelli.moc"
