#include "support/AmbienteTest.h"
#include "support/SuperficieRegistrata.h"
#include "worksheets/StampaScheda.h"

#include <QTest>

namespace {

// Every cell carries its own number, so the page shows which slot went where.
ContenutoScheda contenutoNumerato()
{
    QImage pixel(1, 1, QImage::Format_RGB32);
    pixel.fill(Qt::white);
    ContenutoScheda c;
    for (int e = 0; e < 4; ++e)
        for (int o = 0; o < 15; ++o) {
            c.primo[e][o] = Disegno(1000 + 100 * e + o, pixel);
            c.secondo[e][o] = Disegno(2000 + 100 * e + o, pixel);
        }
    return c;
}

QStringList intestazione(int xNome, const char *istruzione)
{
    return {QStringLiteral("X %1").arg(xNome),
            "Y 1000",
            "Carattere 14",
            "Testo Nome e Cognome   ",
            "Carattere 14",
            "X 1000",
            "Y 1500",
            "Carattere 12",
            QStringLiteral("Testo ") + QString::fromUtf8(istruzione)};
}

QStringList riquadro(int sinistra, int alto, int destra)
{
    const int basso = alto + 3100;
    auto linea = [](int x1, int y1, int x2, int y2) {
        return QStringLiteral("Linea %1,%2 %3,%4").arg(x1).arg(y1).arg(x2).arg(y2);
    };
    return {linea(sinistra, alto, destra, alto), linea(sinistra, alto, sinistra, basso),
            linea(destra, alto, destra, basso), linea(sinistra, basso, destra, basso)};
}

QStringList figure(int e, int primaColonna, int primoNumero)
{
    QStringList r;
    for (int o = 0; o < 15; ++o)
        r << QStringLiteral("Disegno %1,%2 #%3")
                 .arg(primaColonna + 800 * (o % 5))
                 .arg(2200 + 3500 * (e - 1) + 950 * (o / 5))
                 .arg(primoNumero + o);
    return r;
}

} // namespace

class TestStampaScheda : public QObject {
    Q_OBJECT
private slots:
    void init() { AmbienteTest::registraMessaggi(); }

    void primoTipoStampaLaPaginaNellOrdineDelDisegno()
    {
        SuperficieRegistrata s;
        QVERIFY(StampaScheda(s, ConfigurazioneScheda::perTipo(1)).stampa(contenutoNumerato()));
        QStringList atteso = intestazione(3000, "Nel riquadro accanto disegna l'insieme consecutivo minore");
        atteso << "Spessore 3";
        for (int e = 1; e <= 4; ++e) {
            const int alto = 2000 + 3500 * (e - 1);
            atteso << riquadro(500, alto, e == 1 ? 5000 : 5500) << riquadro(6000, alto, 11000)
                   << figure(e, 830, 1000 + 100 * (e - 1));
        }
        atteso << "Fine";
        QCOMPARE(s.operazioni(), atteso);
        QVERIFY(AmbienteTest::messaggi().isEmpty());
    }

    void secondoETerzoTipoStampanoAncheIlSecondoInsieme_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("istruzione");
        QTest::newRow("aggiungi") << 2
                                  << "Nel riquadro accanto aggiungi elementi per rendere l'insieme consecutivo minore";
        QTest::newRow("togli") << 3 << "Nel riquadro accanto togli elementi per rendere l'insieme consecutivo minore";
    }

    void secondoETerzoTipoStampanoAncheIlSecondoInsieme()
    {
        QFETCH(int, tipo);
        QFETCH(QString, istruzione);
        SuperficieRegistrata s;
        QVERIFY(StampaScheda(s, ConfigurazioneScheda::perTipo(tipo)).stampa(contenutoNumerato()));
        QStringList atteso = intestazione(1000, istruzione.toUtf8().constData());
        atteso << "Spessore 3";
        for (int e = 1; e <= 4; ++e) {
            const int alto = 2000 + 3500 * (e - 1);
            atteso << riquadro(500, alto, 5500) << figure(e, 830, 1000 + 100 * (e - 1)) << riquadro(6000, alto, 11000)
                   << figure(e, 6830, 2000 + 100 * (e - 1));
        }
        atteso << "Fine";
        QCOMPARE(s.operazioni(), atteso);
    }

    void unErroreNellIntestazioneSiSegnalaUnaVoltaENonInviaNulla_data()
    {
        QTest::addColumn<int>("daOperazione");
        QTest::newRow("subito") << 0;
        QTest::newRow("dopo il nome") << 4;
        QTest::newRow("sull'istruzione") << 8;
        QTest::newRow("alla fine") << 9 + 1 + 4 * (8 + 30);
    }

    void unErroreNellIntestazioneSiSegnalaUnaVoltaENonInviaNulla()
    {
        QFETCH(int, daOperazione);
        SuperficieRegistrata s;
        s.falliscaDa(daOperazione);
        QVERIFY(!StampaScheda(s, ConfigurazioneScheda::perTipo(2)).stampa(contenutoNumerato()));
        QCOMPARE(AmbienteTest::messaggi(), QStringList{"Problema di stampa nella stampante utilizzata."});
        QCOMPARE(s.operazioni().size(), daOperazione);
        QCOMPARE(s.pagineInviate(), 0);
    }
};

QTEST_MAIN(TestStampaScheda)
#include "test_stampa_scheda.moc"
