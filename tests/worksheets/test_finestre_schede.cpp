#include "app/Applicazione.h"
#include "app/FrmInizio.h"
#include "core/Casuale.h"
#include "printing/StampanteCorrente.h"
#include "support/AmbienteTest.h"
#include "support/CasualeScriptato.h"
#include "ui/Cornice.h"
#include "ui/Immagine.h"
#include "ui/Pulsante.h"
#include "worksheets/frmStampaSchede.h"
#include "worksheets/frmStampaSchede2.h"
#include "worksheets/frmStampaSchede3.h"

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The picture numbers of slots first..last of an image array; -1 for an empty slot.
template <class F> QList<int> numeri(F slot, int primo, int ultimo)
{
    QList<int> r;
    for (int k = primo; k <= ultimo; ++k)
        r << (slot(k)->haDisegno() ? slot(k)->disegno().numero() : -1);
    return r;
}

int contaFigure(const QList<int> &n)
{
    return static_cast<int>(std::count_if(n.begin(), n.end(), [](int v) { return v > 0; }));
}

void clic(Pulsante *p)
{
    QVERIFY(p->isVisibleTo(p->window()));
    QTest::mouseClick(p, Qt::LeftButton);
}

} // namespace

class TestFinestreSchede : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Applicazione::collega();
        casa_ = AmbienteTest::casaTemporanea();
        QVERIFY(!casa_.isEmpty());
    }

    void init()
    {
        AmbienteTest::registraMessaggi();
        StampanteCorrente::istanza().impostaFilePdf();
    }

    void cleanup()
    {
        Casuale::imposta(nullptr);
        AmbienteTest::chiudiTutto();
    }

    void primoTipoApreConIlPrimoEsercizioEBasiConBuchi()
    {
        frmStampaSchede &f = frmStampaSchede::istanza();
        QVERIFY(f.Visto1 && !f.Visto2 && !f.Visto3 && !f.Visto4);
        QCOMPARE(f.windowTitle(), QStringLiteral("VISUALIZZAZIONE SCHEDA       "));
        QCOMPARE(f.Image1().conta(), 60);
        QVERIFY(!f.Image1().contiene(45) && !f.Image1().contiene(74) && f.Image1().contiene(75));
        const QList<int> primo = numeri([&](int k) { return f.Image1(k); }, 0, 14);
        QCOMPARE(contaFigure(primo), f.ElementiPrimo);
        QVERIFY(!primo.contains(-1)); // cleared to the blank picture
        for (int k : {15, 29, 30, 44, 75, 89})
            QVERIFY(!f.Image1(k)->haDisegno());
    }

    void ogniAnteprimaToccaSoloIlSuoRiquadro()
    {
        frmStampaSchede &f = frmStampaSchede::istanza();
        for (int e = 2; e <= 4; ++e)
            clic(f.cmdInsieme(e));
        auto tutte = [&] {
            QList<int> r;
            for (int b : frmStampaSchede::basi)
                r << numeri([&](int k) { return f.Image1(k); }, b, b + 14);
            return r;
        };
        CasualeScriptato c;
        Casuale::imposta(&c);
        for (int e = 1; e <= 4; ++e) {
            const int b = frmStampaSchede::basi[e - 1];
            const QList<int> prima = tutte();
            // A picture and cells no exercise shows now: cell 0 and 14 with picture 12 or 11.
            const int figura = prima.contains(12) ? 11 : 12;
            c.accodaValore(figura, 12, 1);
            c.accodaValore(2, 9, 2);
            c.accodaValore(0, 15, 0);
            c.accodaValore(14, 15, 0);
            f.cmdInsieme(e)->click();
            const QList<int> dopo = tutte();
            for (int i = 0; i < 60; ++i) {
                const bool suo = i / 15 == e - 1;
                if (!suo)
                    QCOMPARE(dopo[i], prima[i]);
                else
                    QCOMPARE(dopo[i], (i % 15 == 0 || i % 15 == 14) ? figura : 0);
            }
            QCOMPARE(f.Estratte[1], b);
            QCOMPARE(f.Estratte[2], b + 14);
        }
    }

    void stampaRifiutataFinoAQuandoOgniEsercizioEVisto_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("vuoto") << 1 << " Completa la scheda";
        QTest::newRow("aggiungi") << 2 << "Completa la scheda";
        QTest::newRow("togli") << 3 << " Completa la scheda";
    }

    void stampaRifiutataFinoAQuandoOgniEsercizioEVisto()
    {
        QFETCH(int, tipo);
        QFETCH(QString, messaggio);
        FinestraScheda *f = AmbienteTest::finestraScheda(tipo);
        const QDir documenti(casa_ + "/Documents");
        const int prima = static_cast<int>(documenti.entryList({"*.pdf"}, QDir::Files).size());
        // Exercise 4 never shown: refused, whatever else was shown, even repeatedly.
        clic(pulsante(f, 2));
        clic(pulsante(f, 3));
        clic(pulsante(f, 2));
        clic(f->Command1());
        QCOMPARE(AmbienteTest::messaggi(), QStringList{messaggio});
        QCOMPARE(documenti.entryList({"*.pdf"}, QDir::Files).size(), prima);

        clic(pulsante(f, 4));
        AmbienteTest::messaggi().clear();
        clic(f->Command1());
        clic(f->Command1());
        // Two pages, two new files, each named to the user.
        const QStringList file = documenti.entryList({"*.pdf"}, QDir::Files);
        QCOMPARE(file.size(), prima + 2);
        QCOMPARE(AmbienteTest::messaggi().size(), 2);
        QVERIFY(AmbienteTest::messaggi()[0] != AmbienteTest::messaggi()[1]);
        for (const QString &m : AmbienteTest::messaggi()) {
            const QString percorso = m.section(QLatin1Char('\n'), 1);
            QVERIFY2(QFileInfo(percorso).size() > 1000, qPrintable(m));
        }
    }

    void chiudereRiportaAllInizioERiaprireRiparteDaCapo_data() { AmbienteTest::righeTipiScheda(); }

    void chiudereRiportaAllInizioERiaprireRiparteDaCapo()
    {
        QFETCH(int, tipo);
        FinestraScheda *f = AmbienteTest::finestraScheda(tipo);
        f->mostra();
        for (int e = 2; e <= 4; ++e)
            clic(pulsante(f, e));
        QVERIFY(f->Visto4);
        clic(f->CmdFine());
        AmbienteTest::elabora();
        QVERIFY(FrmInizio::caricata());
        QVERIFY(FrmInizio::istanza().isVisible());
        QVERIFY(!frmStampaSchede::caricata() && !frmStampaSchede2::caricata() && !frmStampaSchede3::caricata());

        f = AmbienteTest::finestraScheda(tipo);
        QVERIFY(f->Visto1 && !f->Visto2 && !f->Visto3 && !f->Visto4);
        clic(f->Command1());
        QCOMPARE(AmbienteTest::messaggi().size(), 1);
    }

    void chiudereTuttoNonRiportaLaFinestraIniziale()
    {
        FrmInizio::istanza();
        frmStampaSchede2::istanza().mostra();
        AmbienteTest::chiudiTutto();
        QVERIFY(!FrmInizio::caricata());
        QVERIFY(!frmStampaSchede2::caricata());
    }

    void leDueMetaSiAlternanoConLeLoroDiciture()
    {
        frmStampaSchede2 &f = frmStampaSchede2::istanza();
        f.mostra();
        auto meta = [&] { return f.Frame3()->isVisibleTo(&f) ? 3 : f.Frame4()->isVisibleTo(&f) ? 4 : 0; };
        QCOMPARE(meta(), 3);
        QCOMPARE(f.Command2()->text(), QStringLiteral("Visualizza la seconda parte"));
        clic(f.Command2());
        QCOMPARE(meta(), 4);
        QCOMPARE(f.Command2()->text(), QStringLiteral("Visualiza la prima parte"));
        clic(f.Command2());
        QCOMPARE(meta(), 3);
        clic(f.cmdInsieme(4));
        QCOMPARE(meta(), 4);
        QCOMPARE(f.Command2()->text(), QStringLiteral("Visualizza la prima parte"));
        clic(f.Command2());
        QCOMPARE(meta(), 3);
        clic(f.Command2());
        clic(f.cmdInsieme(2));
        QCOMPARE(meta(), 3);
        QCOMPARE(f.Command2()->text(), QStringLiteral("Visualizza la seconda parte"));
        // Exercises 3 and 4 live in Frame4, 1 and 2 in Frame3.
        for (int k = 0; k < 60; ++k) {
            QVERIFY(f.Frame3()->isAncestorOf(f.Image1(k)) == (k < 30));
            QVERIFY(f.Frame4()->isAncestorOf(f.Image2(k)) == (k >= 30));
        }
    }

    void ridisegnareUnEsercizioNonLasciaNullaDelPrecedente_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::newRow("aggiungi") << 2;
        QTest::newRow("togli") << 3;
    }

    void ridisegnareUnEsercizioNonLasciaNullaDelPrecedente()
    {
        QFETCH(int, tipo);
        SchedaDoppia *f = static_cast<SchedaDoppia *>(AmbienteTest::finestraScheda(tipo));
        CasualeScriptato c;
        Casuale::imposta(&c);
        auto esercizio = [&](int figura, int n, int primaCella, int m) {
            c.accodaValore(figura, 12, 1);
            c.accodaValore(n, 9, 1);
            for (int i = 0; i < n; ++i)
                c.accodaValore((primaCella + i) % 15, 15, 0);
            c.accodaValore(m, 9, 2);
        };
        // Kind 2: N 9 with 6 + 1 elements, then N 5 with 3; kind 3: N 9 with 9, then N 3 with 4.
        const int m1 = tipo == 2 ? 6 : 8, m2 = tipo == 2 ? 2 : 3;
        const int n2 = tipo == 2 ? 5 : 3;
        esercizio(4, 9, 6, m1);
        clic(f->cmdInsieme(3));
        esercizio(9, n2, 0, m2);
        clic(f->cmdInsieme(3));
        const QList<int> primo = numeri([&](int k) { return f->Image1(k); }, 30, 44);
        const QList<int> secondo = numeri([&](int k) { return f->Image2(k); }, 30, 44);
        QVERIFY(!primo.contains(4) && !secondo.contains(4) && !primo.contains(-1) && !secondo.contains(-1));
        QCOMPARE(contaFigure(primo), n2);
        for (int o = 0; o < 15; ++o) {
            QCOMPARE(primo[o] == 9, o < n2);
            QCOMPARE(secondo[o] == 9, o <= m2);
        }
        // The other exercises are untouched: 1 drawn at load, 2 and 4 never.
        QVERIFY(contaFigure(numeri([&](int k) { return f->Image2(k); }, 0, 14)) >= 3);
        for (int k : {15, 29, 45, 59})
            QVERIFY(!f->Image1(k)->haDisegno() && !f->Image2(k)->haDisegno());
    }

    void ilMenuApreLaSceltaDellaStampante()
    {
        FinestraScheda *f = AmbienteTest::finestraScheda(3);
        QCOMPARE(f->mnuImpostazioneStampante()->text(), QStringLiteral("Selezione stampante"));
        QCOMPARE(AmbienteTest::finestraScheda(2)->mnuImpostazioneStampante()->text(),
                 QStringLiteral("Seleziona  stampante"));
        QCOMPARE(AmbienteTest::finestraScheda(1)->mnuImpostazioneStampante()->text(),
                 QStringLiteral("Impostazione stampante"));
    }

private:
    static Pulsante *pulsante(FinestraScheda *f, int e)
    {
        if (auto *uno = qobject_cast<frmStampaSchede *>(f))
            return uno->cmdInsieme(e);
        return static_cast<SchedaDoppia *>(f)->cmdInsieme(e);
    }

    QString casa_;
};

QTEST_MAIN(TestFinestreSchede)
#include "test_finestre_schede.moc"
