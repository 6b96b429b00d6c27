#include "core/Casuale.h"
#include "support/CasualeScriptato.h"
#include "support/OrologioScriptato.h"

#include <QTest>

#include <set>

class TestCasuale : public QObject {
    Q_OBJECT
private slots:
    void valoriSempreInMezzoAperto()
    {
        GeneratoreCasuale g(12345);
        for (int i = 0; i < 200000; ++i) {
            const double r = g.r();
            QVERIFY(r >= 0.0 && r < 1.0);
        }
    }

    void estraiCopreTuttoIlIntervalloInModoUniforme()
    {
        GeneratoreCasuale g(7);
        int conteggi[12] = {};
        const int prove = 120000;
        for (int i = 0; i < prove; ++i) {
            const int v = g.estrai(12, 1);
            QVERIFY(v >= 1 && v <= 12);
            ++conteggi[v - 1];
        }
        for (int c : conteggi)
            QVERIFY2(qAbs(c - prove / 12) < prove / 12 / 10, "far from uniform");
    }

    void semeUgualeNonRipeteLaSequenza()
    {
        // Two seeds from the same clock reading must not restart the sequence.
        GeneratoreCasuale g;
        g.semina(3600.25);
        const double primo = g.r();
        g.semina(3600.25);
        const double secondo = g.r();
        QVERIFY(primo != secondo);
    }

    void risemineRipetuteNonBloccanoUnCiclo()
    {
        // A loop that re-seeds from a frozen clock before every draw still sees many values.
        GeneratoreCasuale g;
        std::set<int> visti;
        for (int i = 0; i < 200; ++i) {
            g.semina(43200.0);
            visti.insert(g.estrai(8, 3));
        }
        QCOMPARE(static_cast<int>(visti.size()), 8);
    }

    void estraiNonSuperaMaiIlMassimo()
    {
        CasualeScriptato c;
        c.accoda({0.0, 0.99999999999999989, 0.5});
        QCOMPARE(c.estrai(15, 1), 1);
        QCOMPARE(c.estrai(15, 1), 15);
        QCOMPARE(c.estrai(8, 1), 5);
    }

    void seminaDallOrologioLeggeLOrologioInstallato()
    {
        OrologioScriptato orologio;
        Orologio::imposta(&orologio);
        GeneratoreCasuale a, b;
        orologio.adesso = 100.0;
        a.seminaDallOrologio();
        orologio.adesso = 200.0;
        b.seminaDallOrologio();
        Orologio::imposta(nullptr);
        QVERIFY(a.r() != b.r());
    }
};

QTEST_GUILESS_MAIN(TestCasuale)
#include "test_casuale.moc"
