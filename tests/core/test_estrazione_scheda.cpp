#include "core/Casuale.h"
#include "core/EstrazioneScheda.h"
#include "core/Livello.h"
#include "support/CasualeScriptato.h"
#include "support/ChiQuadro.h"

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

    void aUnLivelloLaSchedaEstraeComeLEsercizio_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<int>("livello");
        QTest::addColumn<int>("minimoN");
        QTest::addColumn<int>("massimoN");
        QTest::addColumn<int>("massimoSecondo"); // kind 3
        // Kind 1 never asks for an empty answer on paper.
        QTest::newRow("vuoto 1") << 1 << 1 << 2 << 3 << 0;
        QTest::newRow("vuoto 6") << 1 << 6 << 2 << 15 << 0;
        QTest::newRow("aggiungi 2") << 2 << 2 << 3 << 5 << 0;
        QTest::newRow("aggiungi 5") << 2 << 5 << 3 << 12 << 0;
        QTest::newRow("togli 1, come al 2") << 3 << 1 << 1 << 5 << 7;
        QTest::newRow("togli 4") << 3 << 4 << 1 << 8 << 10;
        QTest::newRow("togli 6") << 3 << 6 << 1 << 13 << 15;
    }

    void aUnLivelloLaSchedaEstraeComeLEsercizio()
    {
        QFETCH(int, tipo);
        QFETCH(int, livello);
        QFETCH(int, minimoN);
        QFETCH(int, massimoN);
        QFETCH(int, massimoSecondo);
        const Livello &l = Livello::di(livello);
        QCOMPARE(EstrazioneScheda::minimoN(tipo, l), minimoN);
        QCOMPARE(EstrazioneScheda::massimoN(tipo, l), massimoN);
        // The second set as the exercise starts it: adding at least one, or taking away at least three.
        auto primo = [&](int n) { return tipo == 2 ? 1 : tipo == 3 ? n + 2 : 0; };
        auto ultimo = [&](int n) { return tipo == 2 ? n - 2 : tipo == 3 ? massimoSecondo : 0; };
        GeneratoreCasuale g(static_cast<std::uint64_t>(100 * tipo + livello));
        std::map<std::pair<int, int>, int> coppie;
        for (int i = 0; i < 8000; ++i) {
            const EsercizioEstratto e = EstrazioneScheda::perScheda(g, 30, tipo, &l);
            const int n = e.ElementiPrimo;
            const int secondo = tipo == 1 ? 0 : e.UltimaCasella + 1;
            QVERIFY(n >= minimoN && n <= massimoN);
            QVERIFY2(secondo >= primo(n) && secondo <= ultimo(n),
                     qPrintable(QStringLiteral("N %1 secondo %2").arg(n).arg(secondo)));
            if (tipo != 1)
                QVERIFY(EstrazioneScheda::ammissibile(tipo, n, e.UltimaCasella));
            const std::set<int> distinte(e.Estratte.begin(), e.Estratte.end());
            QCOMPARE(static_cast<int>(distinte.size()), n);
            QVERIFY(*distinte.begin() >= 30 && *distinte.rbegin() <= 44);
            ++coppie[{n, secondo}];
        }
        std::map<std::pair<int, int>, double> probabilita;
        for (int n = minimoN; n <= massimoN; ++n)
            for (int s = primo(n); s <= ultimo(n); ++s)
                probabilita[{n, s}] = 1.0 / (massimoN - minimoN + 1) / (ultimo(n) - primo(n) + 1);
        QCOMPARE(coppie.size(), probabilita.size());
        const double chi = ChiQuadro::statistica(coppie, probabilita);
        QVERIFY2(chi < ChiQuadro::soglia(static_cast<int>(probabilita.size()) - 1),
                 qPrintable(QStringLiteral("chi quadro %1").arg(chi)));
    }
};

QTEST_GUILESS_MAIN(TestEstrazioneScheda)
#include "test_estrazione_scheda.moc"
