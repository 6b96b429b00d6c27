#include "core/Tendine.h"

#include <QTest>

class TestTendine : public QObject {
    Q_OBJECT
private slots:
    void siAprePassoDopoPassoFinoAZero_data()
    {
        QTest::addColumn<int>("esterna");
        QTest::addColumn<int>("tick");
        // 1024 px: half is 7680 twips, 102 steps leave 30, the next would go negative.
        QTest::newRow("1024 px") << 15360 << 103;
        // A half-width that is a multiple of 75 ends on the threshold test.
        QTest::newRow("multiplo") << 15000 << 100;
        // Ending on exactly 10 twips left: 7510 = 100 × 75 + 10.
        QTest::newRow("soglia") << 15020 << 100;
        QTest::newRow("stretta") << 100 << 1;
    }
    void siAprePassoDopoPassoFinoAZero()
    {
        QFETCH(int, esterna);
        QFETCH(int, tick);
        Tendine t;
        t.avvia(esterna);
        QCOMPARE(t.sinistra(), esterna / 2);
        QCOMPARE(t.destra(), esterna / 2);
        int n = 0;
        int precedente = t.sinistra();
        while (t.tick()) {
            ++n;
            QCOMPARE(t.sinistra(), precedente - Tendine::passo);
            QCOMPARE(t.destra(), t.sinistra());
            QVERIFY(t.sinistra() > Tendine::soglia);
            precedente = t.sinistra();
            QVERIFY(n < 1000);
        }
        ++n; // the tick that ended it
        QCOMPARE(n, tick);
        QCOMPARE(t.sinistra(), 0);
        QCOMPARE(t.destra(), 0);
        QVERIFY(!t.inApertura());
        QVERIFY(!t.tick());
        QCOMPARE(t.sinistra(), 0);
    }

    void ripartireRichiudeSubito()
    {
        Tendine t;
        t.avvia(15360);
        for (int i = 0; i < 40; ++i)
            t.tick();
        t.avvia(12000);
        QCOMPARE(t.sinistra(), 6000);
        QVERIFY(t.inApertura());
    }

    void finestraSenzaLarghezzaNonApreNulla()
    {
        Tendine t;
        t.avvia(0);
        QVERIFY(!t.inApertura());
        QCOMPARE(t.sinistra(), 0);
        t.avvia(-30);
        QCOMPARE(t.destra(), 0);
    }
};

QTEST_APPLESS_MAIN(TestTendine)
#include "test_tendine.moc"
