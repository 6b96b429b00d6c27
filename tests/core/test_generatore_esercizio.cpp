#include "core/Casuale.h"
#include "core/GeneratoreEsercizio.h"
#include "support/CasualeScriptato.h"
#include "support/OrologioScriptato.h"

#include <QTest>

#include <set>

namespace {

// The first-set slots of an exercise, as the window would show them.
std::set<int> caselleOccupate(const GeneratoreEsercizio::Esercizio &e)
{
    std::set<int> caselle;
    for (int k = 1; k <= GeneratoreEsercizio::numeroCaselle; ++k)
        if (e.occupa(k))
            caselle.insert(k);
    return caselle;
}

} // namespace

class TestGeneratoreEsercizio : public QObject {
    Q_OBJECT

    OrologioScriptato orologio;

private slots:
    void init() { Orologio::imposta(&orologio); }
    void cleanup()
    {
        Orologio::imposta(nullptr);
        Casuale::imposta(nullptr);
    }

    void tipo0ScartaLeCaselleGiaPrese()
    {
        CasualeScriptato c;
        c.accodaValore(7, 12, 1); // picture
        c.accodaValore(4, 8, 1);  // N
        for (int s : {9, 9, 2, 9, 2, 15, 1})
            c.accodaValore(s, 15, 1);
        const auto e = GeneratoreEsercizio::genera(0, c);
        QCOMPARE(e.figura, qint16(7));
        QCOMPARE(e.elementiPrimo, 4);
        QVERIFY(c.esaurito());
        QCOMPARE(c.semine, 2);
        QCOMPARE(caselleOccupate(e), (std::set<int>{1, 2, 9, 15}));
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(e.estratte[i], e.posizioni[i]);
        QCOMPARE(e.elementiIniziali, qint16(0));
    }

    void tipo1RipeteMFinoAUnValoreSottoNMenoUno()
    {
        CasualeScriptato c;
        c.accodaValore(12, 12, 1);
        c.accodaValore(5, 7, 3); // N = 5: M must be 1..3
        for (int s = 1; s <= 5; ++s)
            c.accodaValore(s, 15, 1);
        for (int m : {5, 4, 3})
            c.accodaValore(m, 5, 1);
        const auto e = GeneratoreEsercizio::genera(1, c);
        QCOMPARE(e.elementiPrimo, 5);
        QCOMPARE(e.elementiIniziali, qint16(3));
        QVERIFY(c.esaurito());
        QCOMPARE(c.semine, 1); // no re-seed before N in kind 1
    }

    void tipo2RisemineOgniMEScartaQuelliTroppoPiccoli()
    {
        CasualeScriptato c;
        c.accodaValore(1, 12, 1);
        c.accodaValore(6, 8, 1); // N = 6: M must be 8..10
        for (int s = 10; s <= 15; ++s)
            c.accodaValore(s, 15, 1);
        for (int m : {3, 7, 8})
            c.accodaValore(m, 8, 3);
        const auto e = GeneratoreEsercizio::genera(2, c);
        QCOMPARE(e.elementiIniziali, qint16(8));
        QVERIFY(c.esaurito());
        QCOMPARE(c.semine, 2 + 3);
    }

    void moltiEserciziRealiRestanoNeiLimiti_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<int>("minimoN");
        QTest::addColumn<int>("massimoN");
        QTest::newRow("vuoto") << 0 << 1 << 8;
        QTest::newRow("meno") << 1 << 3 << 9;
        QTest::newRow("piu") << 2 << 1 << 8;
    }

    void moltiEserciziRealiRestanoNeiLimiti()
    {
        QFETCH(int, tipo);
        QFETCH(int, minimoN);
        QFETCH(int, massimoN);
        // The program's own generator, with a clock that never moves: the re-seeds must not freeze the draws.
        orologio.adesso = 40000.5;
        std::set<int> valoriN, figure, valoriM;
        for (int i = 0; i < 4000; ++i) {
            const auto e = GeneratoreEsercizio::genera(tipo, Casuale::corrente());
            const int n = e.elementiPrimo;
            QVERIFY(n >= minimoN && n <= massimoN);
            QVERIFY(e.figura >= 1 && e.figura <= 12);
            const auto caselle = caselleOccupate(e);
            QCOMPARE(static_cast<int>(caselle.size()), n); // distinct slots, never more than 9
            QVERIFY(*caselle.begin() >= 1 && *caselle.rbegin() <= 15);
            valoriN.insert(n);
            figure.insert(e.figura);
            const int m = e.elementiIniziali;
            if (tipo == 1) {
                QVERIFY(m >= 1 && m <= n - 2);
                if (n == 3)
                    QCOMPARE(m, 1);
            } else if (tipo == 2) {
                QVERIFY(m >= n + 2 && m <= 10);
                if (n == 8)
                    QCOMPARE(m, 10);
            }
            valoriM.insert(m);
        }
        QCOMPARE(static_cast<int>(valoriN.size()), massimoN - minimoN + 1);
        QCOMPARE(static_cast<int>(figure.size()), 12);
        if (tipo == 1)
            QCOMPARE(static_cast<int>(valoriM.size()), 7); // 1..7
        if (tipo == 2)
            QCOMPARE(static_cast<int>(valoriM.size()), 8); // 3..10
    }
};

QTEST_GUILESS_MAIN(TestGeneratoreEsercizio)
#include "test_generatore_esercizio.moc"
