#include "core/Casuale.h"
#include "core/Livello.h"
#include "printing/StampanteCorrente.h"
#include "support/AmbienteTest.h"
#include "support/PaginaPdf.h"
#include "support/SuperficieRegistrata.h"
#include "ui/Immagine.h"
#include "ui/Pulsante.h"
#include "worksheets/SchedeClasse.h"
#include "worksheets/StampaScheda.h"
#include "worksheets/StampaSoluzioni.h"
#include "worksheets/frmSchedeClasse.h"
#include "worksheets/frmStampaSchede2.h"
#include "worksheets/frmStampaSchede3.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

namespace {

// The operations of a document, page by page, without the final "Fine".
QList<QStringList> pagine(QStringList operazioni)
{
    if (operazioni.value(operazioni.size() - 1) == "Fine")
        operazioni.removeLast();
    QList<QStringList> r{{}};
    for (const QString &o : operazioni)
        if (o == "NuovaPagina")
            r.append(QStringList());
        else
            r.last().append(o);
    return r;
}

// What the answer key says of each exercise: first set, answer, and + to add or - to take away.
struct Voce {
    int primo, risposta, cambio;
};

// The rows of the key pages read back from the PDF: sheet number -> its four entries.
QMap<int, QList<Voce>> leggiChiave(const QString &pdf, int primaPagina, int ultimaPagina)
{
    QMap<int, QList<Voce>> chiave;
    static const QRegularExpression riga(R"(^\s*(\d+)\s+(\d.*)$)");
    static const QRegularExpression voce(R"((\d+) → (\d+)(?:, (aggiungi|togli) (\d+))?)");
    for (int p = primaPagina; p <= ultimaPagina; ++p) {
        const QString testo =
            PaginaPdf::esegui("pdftotext", {"-layout", "-f", QString::number(p), "-l", QString::number(p), pdf, "-"});
        for (const QString &linea : testo.split('\n')) {
            const auto m = riga.match(linea);
            if (!m.hasMatch())
                continue;
            QList<Voce> voci;
            for (auto it = voce.globalMatch(m.captured(2)); it.hasNext();) {
                const auto v = it.next();
                const int cambio = v.captured(3) == "togli" ? -v.captured(4).toInt() : v.captured(4).toInt();
                voci.append({v.captured(1).toInt(), v.captured(2).toInt(), cambio});
            }
            chiave.insert(m.captured(1).toInt(), voci);
        }
    }
    return chiave;
}

} // namespace

class TestSchedeClasse : public QObject {
    Q_OBJECT
private slots:
    void init() { AmbienteTest::registraMessaggi(); }
    void cleanup() { AmbienteTest::chiudiTutto(); }

    void ogniSchedaEStampataComeUnaSolaConIlSuoNumero_data() { AmbienteTest::righeTipiScheda(); }

    void ogniSchedaEStampataComeUnaSolaConIlSuoNumero()
    {
        QFETCH(int, tipo);
        GeneratoreCasuale casuale(tipo);
        const SchedeClasse serie = SchedeClasse::estrai(casuale, tipo, 27);
        SuperficieRegistrata s;
        QVERIFY(serie.stampa(s, true));
        QCOMPARE(s.pagineInviate(), 1);
        QVERIFY(AmbienteTest::messaggi().isEmpty());

        const QList<QStringList> fogli = pagine(s.operazioni());
        QCOMPARE(fogli.size(), 27 + 2);
        QList<QStringList> schede;
        for (int n = 1; n <= 27; ++n) {
            SuperficieRegistrata singola;
            StampaScheda(singola, ConfigurazioneScheda::perTipo(tipo)).stampa(serie.schede()[n - 1].contenuto(tipo));
            QStringList atteso = singola.operazioni();
            atteso.removeLast();
            const QStringList foglio = fogli[n - 1];
            QCOMPARE(foglio.mid(0, atteso.size()), atteso);
            // Then only the number, in the bottom margin below the last box (15600).
            const QStringList numero = foglio.mid(atteso.size());
            QCOMPARE(numero.size(), 4);
            QVERIFY(numero[1].startsWith("Y ") && numero[1].mid(2).toInt() > 15600 + 100);
            QCOMPARE(numero[3], QStringLiteral("Testo Scheda %1 / 27").arg(n));
            QVERIFY2(!schede.contains(atteso), qPrintable(QStringLiteral("sheet %1 repeats an earlier one").arg(n)));
            schede.append(atteso);
        }
        // The keys: 25 sheets on the first page, the other two on the second.
        QVERIFY(fogli[27].contains("Testo Soluzioni delle schede da 1 a 25 (di 27)"));
        QVERIFY(fogli[28].contains("Testo Soluzioni delle schede da 26 a 27 (di 27)"));
        QVERIFY(fogli[28].contains("Testo 27") && !fogli[28].contains("Testo 25"));
    }

    void laChiaveDiceQuantoAggiungereOTogliere()
    {
        // Picture, N, cells, M: the second set holds M + 1.
        QCOMPARE(StampaSoluzioni::voce(1, {1, 10, {}, -1}), QStringLiteral("10 → 9"));
        QCOMPARE(StampaSoluzioni::voce(2, {1, 7, {}, 2}), QStringLiteral("7 → 6, aggiungi 3"));
        QCOMPARE(StampaSoluzioni::voce(3, {1, 5, {}, 10}), QStringLiteral("5 → 4, togli 7"));
    }

    void unaStampanteCheFallisceLoDiceUnaVoltaENonInviaNulla_data()
    {
        QTest::addColumn<int>("daOperazione");
        QTest::newRow("subito") << 0;
        QTest::newRow("nella seconda scheda") << 200;
        QTest::newRow("nelle soluzioni") << 3 * 160;
        QTest::newRow("alla fine") << -1;
    }

    void unaStampanteCheFallisceLoDiceUnaVoltaENonInviaNulla()
    {
        QFETCH(int, daOperazione);
        GeneratoreCasuale casuale;
        const SchedeClasse serie = SchedeClasse::estrai(casuale, 2, 3);
        SuperficieRegistrata prova;
        serie.stampa(prova, true);
        const int tutte = static_cast<int>(prova.operazioni().size());
        QVERIFY(daOperazione < tutte);

        SuperficieRegistrata s;
        s.falliscaDa(daOperazione < 0 ? tutte - 1 : daOperazione);
        QVERIFY(!serie.stampa(s, true));
        QCOMPARE(AmbienteTest::messaggi(), QStringList{StampaScheda::messaggioErrore()});
        QCOMPARE(s.pagineInviate(), 0);
    }

    void dallaFinestraUnFilePdfConLeSoluzioniELaSchedaSulloSchermoIntatta()
    {
        if (!PaginaPdf::disponibile())
            QSKIP("poppler-utils are not installed");
        const QString casa = AmbienteTest::casaTemporanea();
        QVERIFY(!casa.isEmpty());
        frmStampaSchede3 &f = frmStampaSchede3::istanza();
        const QList<QAction *> barra = f.menuBar()->actions();
        QCOMPARE(barra.size(), 3);
        QCOMPARE(barra[1]->text(), QStringLiteral("Schede per la classe…"));
        QCOMPARE(barra[2]->menu(), f.mnuLivello());
        auto schermo = [&f] {
            QList<int> n;
            for (int k = 0; k < 60; ++k)
                for (Immagine *i : {f.Image1(k), f.Image2(k)})
                    n << (i->haDisegno() ? i->disegno().numero() : -1);
            return n;
        };
        const QList<int> prima = schermo();

        barra[1]->trigger();
        frmSchedeClasse *d = frmSchedeClasse::seCaricata();
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->windowModality(), Qt::ApplicationModal);
        d->txtCopie()->setValue(12);
        d->chkSoluzioni()->setChecked(true);
        d->optFilePdf()->setChecked(true);
        QSignalSpy avanzamento(d->barAvanzamento(), &QProgressBar::valueChanged);
        QTest::mouseClick(d->cmdStampa(), Qt::LeftButton);

        QCOMPARE(AmbienteTest::messaggi().size(), 1);
        const QString pdf = AmbienteTest::messaggi()[0].section('\n', 1);
        QCOMPARE(AmbienteTest::messaggi()[0], "Le schede sono state salvate nel file\n" + pdf);
        QVERIFY(!d->isVisible());
        QCOMPARE(schermo(), prima);
        QVERIFY(f.Visto1 && !f.Visto2 && !f.Visto3 && !f.Visto4);
        QVERIFY(avanzamento.size() >= 2);
        QCOMPARE(avanzamento.last()[0].toInt(), 12);

        QCOMPARE(PaginaPdf::pagine(pdf), 12 + 1);
        const QMap<int, QList<Voce>> chiave = leggiChiave(pdf, 13, 13);
        QCOMPARE(chiave.keys().size(), 12);
        // "File PDF" draws from 10 pt inside the page's edges.
        const QPointF origine(10 / 72.0 * 25.4, 10 / 72.0 * 25.4);
        for (int n = 1; n <= 12; ++n) {
            const PaginaPdf::Resa pagina(pdf, n, origine);
            QVERIFY(pagina.valida());
            const QString riquadri = pagina.riquadriFuoriPosto(3);
            QVERIFY2(riquadri.isEmpty(), qPrintable(riquadri));
            const QList<Voce> voci = chiave.value(n);
            QCOMPARE(voci.size(), 4);
            for (int e = 1; e <= 4; ++e) {
                const Voce &v = voci[e - 1];
                const int secondo = pagina.figure(e, true);
                QCOMPARE(pagina.figure(e, false), v.primo);
                QCOMPARE(v.risposta, v.primo - 1);
                QVERIFY(v.cambio < 0);
                QCOMPARE(secondo + v.cambio, v.risposta);
                // The second set fills its box row by row from the top-left cell.
                QVERIFY(pagina.cellaDisegnata(
                    {6830 + 800 * ((secondo - 1) % 5), 2200 + 3500 * (e - 1) + 950 * ((secondo - 1) / 5)}));
            }
            // "Scheda n / 12" lies below the last box and on the paper.
            const QList<PaginaPdf::Parola> parole = PaginaPdf::parole(pdf, n);
            const auto numero = std::find_if(parole.begin(), parole.end(),
                                             [](const PaginaPdf::Parola &p) { return p.testo == "Scheda"; });
            QVERIFY(numero != parole.end());
            QCOMPARE(parole.last().testo, QString::number(12));
            QCOMPARE(parole[parole.size() - 3].testo, QString::number(n));
            const double bassoRiquadri = origine.y() / 25.4 * 72 + 15600 / 20.0;
            QVERIFY(numero->posto.y() > bassoRiquadri + 2 && numero->posto.y() < 842 - 12);
        }
    }

    void aUnLivelloLaSchedaELaSerieStampataHannoISuoiNumeriEChiaviGiuste()
    {
        if (!PaginaPdf::disponibile())
            QSKIP("poppler-utils are not installed");
        QVERIFY(!AmbienteTest::casaTemporanea().isEmpty());
        frmStampaSchede2 &f = frmStampaSchede2::istanza();
        // No level, then only the levels that have sheets that add elements.
        const QList<QAction *> voci = f.mnuLivello()->actions();
        QCOMPARE(voci.size(), 1 + 5);
        QVERIFY(voci[0]->isChecked() && !f.livello());
        QCOMPARE(voci[1]->text(), QStringLiteral("Livello 2: da 3 a 5 elementi"));
        f.VisualizzaEsercizio(2);
        QVERIFY(f.Visto2);

        // The sheet on screen starts again at the new level.
        voci[1]->trigger();
        QVERIFY(voci[1]->isChecked() && !voci[0]->isChecked());
        QCOMPARE(f.livello(), &Livello::di(2));
        QVERIFY(f.Visto1 && !f.Visto2);
        for (int giro = 0; giro < 20; ++giro)
            for (int e = 1; e <= 4; ++e) {
                f.VisualizzaEsercizio(e);
                QVERIFY(f.ElementiPrimo >= 3 && f.ElementiPrimo <= 5);
                QVERIFY(f.UltimaCasella + 1 < f.ElementiPrimo - 1);
            }

        f.mnuSchedeClasse()->trigger();
        frmSchedeClasse *d = frmSchedeClasse::seCaricata();
        QVERIFY(d && d->isVisible());
        QVERIFY(d->windowTitle().contains(QStringLiteral("livello 2")));
        d->txtCopie()->setValue(6);
        d->optFilePdf()->setChecked(true);
        QTest::mouseClick(d->cmdStampa(), Qt::LeftButton);
        QCOMPARE(AmbienteTest::messaggi().size(), 1);
        const QString pdf = AmbienteTest::messaggi()[0].section('\n', 1);
        QCOMPARE(PaginaPdf::pagine(pdf), 6 + 1);
        const QMap<int, QList<Voce>> chiave = leggiChiave(pdf, 7, 7);
        QCOMPARE(chiave.keys().size(), 6);
        const QPointF origine(10 / 72.0 * 25.4, 10 / 72.0 * 25.4);
        for (int n = 1; n <= 6; ++n) {
            const PaginaPdf::Resa pagina(pdf, n, origine);
            QVERIFY(pagina.valida());
            const QList<Voce> voci = chiave.value(n);
            QCOMPARE(voci.size(), 4);
            for (int e = 1; e <= 4; ++e) {
                const Voce &v = voci[e - 1];
                QCOMPARE(pagina.figure(e, false), v.primo);
                QVERIFY(v.primo >= 1 && v.primo <= 5);
                QCOMPARE(v.risposta, v.primo - 1);
                QVERIFY(v.cambio > 0);
                QCOMPARE(pagina.figure(e, true) + v.cambio, v.risposta);
            }
        }
    }

    void unaStampanteCheNonCeLoDiceUnaVoltaELaFinestraResta()
    {
        frmStampaSchede3::istanza().mnuSchedeClasse()->trigger();
        frmSchedeClasse *d = frmSchedeClasse::seCaricata();
        QVERIFY(d);
        // No queue of this name exists: the document fails at its first operation.
        StampanteCorrente::istanza().impostaStampante(QStringLiteral("Quorvel-coda-inesistente"));
        d->apriPer(3);
        QVERIFY(d->optStampante()->isEnabled() && d->optStampante()->isChecked());
        d->txtCopie()->setValue(8);
        d->cmdStampa_Click();
        StampanteCorrente::istanza().ripristina();
        QCOMPARE(AmbienteTest::messaggi(), QStringList{StampaScheda::messaggioErrore()});
        QVERIFY(d->isVisible());
        QVERIFY(d->cmdStampa()->isEnabled());
    }
};

QTEST_MAIN(TestSchedeClasse)
#include "test_schede_classe.moc"
