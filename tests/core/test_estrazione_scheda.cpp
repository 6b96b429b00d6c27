#include "core/Casuale.h"
#include "core/EstrazioneScheda.h"
#include "support/CasualeScriptato.h"

#include <QTest>

#include <set>

class TestEstrazioneScheda : public QObject {
    Q_OBJECT
private slots:
    void insiemeVuotoPrendeIlNumeriNellOrdineERifiutaIDoppioni()
    {
        CasualeScriptato c;
        c.accodaValore(7, 12, 1);  // Figura
        c.accodaValore(3, 9, 2);   // N
        c.accodaValore(0, 15, 0);  // slot 0
        c.accodaValore(0, 15, 0);  // again 0: rejected
        c.accodaValore(14, 15, 0); // 14
        c.accodaValore(14, 15, 0); // rejected
        c.accodaValore(0, 15, 0);  // rejected
        c.accodaValore(6, 15, 0);
        const EsercizioEstratto e = EstrazioneScheda::insiemeVuoto(c, 75);
        QCOMPARE(e.Figura, 7);
        QCOMPARE(e.ElementiPrimo, 3);
        QCOMPARE(e.Estratte, (std::vector<int>{75, 89, 81}));
        QVERIFY(c.esaurito());
        QCOMPARE(c.semine, 1);
    }

    void insiemeVuotoSuMoltiSorteggiCopreOgniCellaEOgniValore()
    {
        GeneratoreCasuale g(99);
        for (int base : {0, 15, 30, 75}) {
            std::set<int> celle, figure, numeri;
            for (int i = 0; i < 3000; ++i) {
                const EsercizioEstratto e = EstrazioneScheda::insiemeVuoto(g, base);
                QVERIFY(e.ElementiPrimo >= 2 && e.ElementiPrimo <= 10);
                QCOMPARE(static_cast<int>(e.Estratte.size()), e.ElementiPrimo);
                const std::set<int> distinte(e.Estratte.begin(), e.Estratte.end());
                QCOMPARE(static_cast<int>(distinte.size()), e.ElementiPrimo);
                celle.insert(distinte.begin(), distinte.end());
                figure.insert(e.Figura);
                numeri.insert(e.ElementiPrimo);
            }
            QCOMPARE(static_cast<int>(celle.size()), 15);
            QCOMPARE(*celle.begin(), base);
            QCOMPARE(*celle.rbegin(), base + 14);
            QCOMPARE(static_cast<int>(figure.size()), 12);
            QCOMPARE(static_cast<int>(numeri.size()), 9);
        }
    }

    void secondoInsiemeAccettaSoloUnMAdattoAlTipo_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<int>("n");
        QTest::addColumn<QList<int>>("proposte");
        QTest::addColumn<int>("atteso");
        // Kind 2: M + 1 below N - 1. N = 9 takes M up to 6.
        QTest::newRow("aggiungi N9") << 2 << 9 << QList<int>{10, 7, 8, 6} << 6;
        QTest::newRow("aggiungi N5") << 2 << 5 << QList<int>{3, 4, 10, 2} << 2;
        // Kind 3: M + 1 above N - 1. N = 9 needs M of 8 or more.
        QTest::newRow("togli N9") << 3 << 9 << QList<int>{2, 6, 7, 8} << 8;
        QTest::newRow("togli N1") << 3 << 1 << QList<int>{2} << 2;
    }

    void secondoInsiemeAccettaSoloUnMAdattoAlTipo()
    {
        QFETCH(int, tipo);
        QFETCH(int, n);
        QFETCH(QList<int>, proposte);
        QFETCH(int, atteso);
        CasualeScriptato c;
        c.accodaValore(3, 12, 1);
        c.accodaValore(n, 9, 1);
        for (int i = 0; i < n; ++i)
            c.accodaValore(i, 15, 0);
        for (int m : proposte)
            c.accodaValore(m, 9, 2);
        const EsercizioEstratto e = EstrazioneScheda::conSecondoInsieme(c, 30, tipo);
        QCOMPARE(e.ElementiPrimo, n);
        QCOMPARE(e.UltimaCasella, atteso);
        QVERIFY(c.esaurito());
        // Seeded once before the first set and again before every M.
        QCOMPARE(c.semine, 1 + static_cast<int>(proposte.size()));
    }

    void unNSenzaMAmmissibileSiRiestraeDaCapo()
    {
        // Kind 2 with N = 4: no second set can be below 3, so the exercise is drawn afresh.
        CasualeScriptato c;
        c.accodaValore(5, 12, 1);
        c.accodaValore(4, 9, 1);
        for (int s : {1, 2, 3, 4})
            c.accodaValore(s, 15, 0);
        c.accodaValore(11, 12, 1);
        c.accodaValore(6, 9, 1);
        for (int s : {9, 8, 7, 6, 5, 4})
            c.accodaValore(s, 15, 0);
        c.accodaValore(3, 9, 2);
        const EsercizioEstratto e = EstrazioneScheda::conSecondoInsieme(c, 15, 2);
        QCOMPARE(e.Figura, 11);
        QCOMPARE(e.ElementiPrimo, 6);
        QCOMPARE(e.Estratte, (std::vector<int>{24, 23, 22, 21, 20, 19}));
        QCOMPARE(e.UltimaCasella, 3);
        QVERIFY(c.esaurito());
        QCOMPARE(c.semine, 3);
    }

    void secondoInsiemeSuMoltiSorteggiRestaNeiLimitiDelTipo()
    {
        GeneratoreCasuale g(4242);
        for (int tipo : {2, 3}) {
            std::set<int> numeri, secondi;
            for (int i = 0; i < 4000; ++i) {
                const EsercizioEstratto e = EstrazioneScheda::conSecondoInsieme(g, 45, tipo);
                const int n = e.ElementiPrimo;
                const int secondo = e.UltimaCasella + 1;
                QVERIFY(n >= 1 && n <= 9);
                QVERIFY(e.Figura >= 1 && e.Figura <= 12);
                const std::set<int> distinte(e.Estratte.begin(), e.Estratte.end());
                QCOMPARE(static_cast<int>(distinte.size()), n);
                QVERIFY(*distinte.begin() >= 45 && *distinte.rbegin() <= 59);
                if (tipo == 2)
                    QVERIFY2(secondo >= 3 && secondo <= n - 2,
                             qPrintable(QStringLiteral("N %1 M+1 %2").arg(n).arg(secondo)));
                else
                    QVERIFY2(secondo >= qMax(3, n) && secondo <= 11,
                             qPrintable(QStringLiteral("N %1 M+1 %2").arg(n).arg(secondo)));
                numeri.insert(n);
                secondi.insert(secondo);
            }
            // Kind 2 only ever keeps N of 5 to 9; kind 3 keeps every N.
            QCOMPARE(static_cast<int>(numeri.size()), tipo == 2 ? 5 : 9);
            QCOMPARE(*secondi.rbegin(), tipo == 2 ? 7 : 11);
        }
    }
};

QTEST_GUILESS_MAIN(TestEstrazioneScheda)
#include "test_estrazione_scheda.moc"
