#include "app/FrmInizio.h"
#include "core/ImpostazioneLivello.h"
#include "core/StatoEsercizio.h"
#include "core/TipoEsercizio.h"
#include "core/Twips.h"
#include "exercise/ChiRisponde.h"
#include "exercise/MemoriaPercorsi.h"
#include "exercise/frmOperativo.h"
#include "registro/RegistroCorrente.h"
#include "registro/RegistroFile.h"
#include "support/AmbienteTest.h"
#include "support/CasualeScriptato.h"
#include "support/OrologioScriptato.h"
#include "support/TastiTest.h"
#include "ui/Cornice.h"
#include "ui/Etichetta.h"
#include "ui/Immagine.h"
#include "ui/PulsanteOpzione.h"
#include "ui/RegistroFinestre.h"
#include "voce/Parlato.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <vector>

namespace {

constexpr QColor pesca(255, 224, 192);
constexpr QColor arancio(255, 192, 128);
enum Tasto { AGGIUNGI, TOGLI, VERIFICA, AVANTI, ESCI };
enum class Fase { Risposta, Verificabile, Risolto, Aiuto, Intervento };

const QString aperture[] = {
    QStringLiteral("Situazione iniziale: secondo  insieme vuoto - Devi inserire elementi"),
    QStringLiteral("Situazione iniziale: secondo  insieme suvvalente - Devi aggiungere elementi"),
    QStringLiteral("Situazione iniziale: secondo  insieme prevalente - Devi togliere elementi"),
};
const QString situazioni[] = {
    QStringLiteral("Secondo insieme vuoto - Inserisci elementi"),
    QStringLiteral("Secondo insieme suvvalente - Aggiungi elementi"),
    QStringLiteral("Secondo insieme prevalente - Togli elementi"),
};

using TastiTest::invia;

// A register that keeps the rows the window hands it, in memory.
class RegistroProva : public RegistroFile {
public:
    explicit RegistroProva(const QString &file) : RegistroFile(file, false) {}
    void registra(const Risultato &r) override { righe.append(r); }
    QList<Risultato> righe;
};

} // namespace

class TestFrmOperativo : public QObject {
    Q_OBJECT

    CasualeScriptato casuale;
    OrologioScriptato orologio;

    frmOperativo *f() const { return frmOperativo::seCaricata(); }
    PulsanteOpzione *tasto(int i) const { return f()->Option1(i); }

    // Queues the draws of one exercise: its picture, N, N distinct slots and, for kinds 1 and 2, M.
    void accoda(int tipo, int figura, int n, int m = 0)
    {
        casuale.accodaValore(figura, 12, 1);
        casuale.accodaValore(n, tipo == 1 ? 7 : 8, tipo == 1 ? 3 : 1);
        for (int s = 1; s <= n; ++s)
            casuale.accodaValore(16 - s, 15, 1);
        if (tipo == 1)
            casuale.accodaValore(m, n, 1);
        if (tipo == 2)
            casuale.accodaValore(m, 8, 3);
    }

    void apri(int tipo)
    {
        FrmInizio::istanza().AvviaScelta(tipo);
        QVERIFY(f());
        QVERIFY(QTest::qWaitForWindowActive(f()));
    }

    // A key pressed and released on the focused widget.
    void premi(Qt::Key k)
    {
        QWidget *w = QApplication::focusWidget();
        QVERIFY(w);
        invia(w, QEvent::KeyPress, k);
        if (QWidget *dopo = QApplication::focusWidget())
            invia(dopo, QEvent::KeyRelease, k);
    }

    void clic(QWidget *w, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(w, b);
        QTest::mouseRelease(w, b);
    }

    // Two presses through the window system at one spot of w (fractions of its size): a
    // double-click, or with the QTest's pause after a release, two deliberate presses.
    void dueClic(QWidget *w, bool doppio, double x = 0.5, double y = 0.5)
    {
        QWindow *finestra = f()->windowHandle();
        const QPoint p = finestra->mapFromGlobal(w->mapToGlobal(QPoint(w->width() * x, w->height() * y)));
        if (doppio) {
            QTest::mouseDClick(finestra, Qt::LeftButton, {}, p);
        } else {
            QTest::mouseClick(finestra, Qt::LeftButton, {}, p);
            QTest::mouseClick(finestra, Qt::LeftButton, {}, p);
        }
    }

    QWidget *focalizzato() const { return QApplication::focusWidget(); }

    // The second set's slots that show a picture.
    std::vector<int> secondo() const
    {
        std::vector<int> k;
        for (int i = 1; i <= 15; ++i)
            if (!f()->Image2(i)->isHidden() && f()->Image2(i)->haDisegno())
                k.push_back(i);
        return k;
    }
    static std::vector<int> primi(int n)
    {
        std::vector<int> k;
        for (int i = 1; i <= n; ++i)
            k.push_back(i);
        return k;
    }

    // The panel in front: the last of the three in drawing order.
    QWidget *davanti() const
    {
        QWidget *ultimo = nullptr;
        for (QObject *o : f()->client()->children())
            if (o == f()->fraTastierino() || o == f()->fraAiuto() || o == f()->fraIntervento())
                ultimo = static_cast<QWidget *>(o);
        return ultimo;
    }

    // Opens the window for a pupil as "Chi sei?" leaves it, with the teacher's setting.
    void apriPer(int tipo, ImpostazioneLivello livello, StatoPercorso stato = {})
    {
        TipoEsercizio = static_cast<qint16>(tipo);
        Rispondente = {};
        Rispondente.alunno = Alunno{.id = QStringLiteral("alunno-1"),
                                    .classe = QStringLiteral("classe-1"),
                                    .nome = QStringLiteral("Ada"),
                                    .contrassegno = {},
                                    .livello = {},
                                    .stato = {}};
        Rispondente.livello = livello;
        Rispondente.stato = stato;
        FrmInizio::istanza().ApriEsercizio(tipo);
        QVERIFY(f());
        QVERIFY(QTest::qWaitForWindowActive(f()));
    }

    int n() const { return static_cast<int>(std::lround(ElementiPrimo)); }

    // The answer as the pupil would build it, then VERIFICA; a wrong one takes the help.
    void rispondi(bool giusta)
    {
        ElementiSecondo = static_cast<qint16>(giusta ? n() - 1 : n());
        f()->VerificaRisposta();
        if (!giusta)
            f()->SiSi();
    }

    void controlla(Fase fase, int fuoco = -2)
    {
        QWidget *pannello = fase == Fase::Aiuto        ? f()->fraAiuto()
                            : fase == Fase::Intervento ? f()->fraIntervento()
                                                       : static_cast<QWidget *>(f()->fraTastierino());
        QCOMPARE(davanti(), pannello);
        for (QWidget *p : {static_cast<QWidget *>(f()->fraTastierino()), static_cast<QWidget *>(f()->fraAiuto()),
                           static_cast<QWidget *>(f()->fraIntervento())})
            QCOMPARE(p->isEnabled(), p == pannello);
        if (fase == Fase::Risposta || fase == Fase::Verificabile || fase == Fase::Risolto) {
            const bool risolto = fase == Fase::Risolto;
            const bool attesi[] = {!risolto, !risolto, fase == Fase::Verificabile, risolto, risolto};
            for (int i = 0; i < 5; ++i)
                QCOMPARE(tasto(i)->abilitato(), attesi[i]);
            const int atteso = fuoco != -2 ? fuoco : risolto ? AVANTI : TOGLI;
            QCOMPARE(focalizzato(), tasto(atteso));
            for (int i = 0; i < 5; ++i)
                QCOMPARE(tasto(i)->sfondo(), i == atteso ? arancio : pesca);
        } else if (fase == Fase::Aiuto) {
            QCOMPARE(focalizzato(), f()->Option3(0));
        } else {
            QCOMPARE(focalizzato(), f()->optOK());
        }
    }

private slots:
    void init()
    {
        Casuale::imposta(&casuale);
        Orologio::imposta(&orologio);
        orologio.adesso = 36000.0;
        azzeraStatoEsercizio();
        FrmInizio::istanza().mostra();
        QVERIFY(QTest::qWaitForWindowActive(&FrmInizio::istanza()));
    }

    void cleanup()
    {
        AmbienteTest::chiudiTutto();
        RegistroCorrente::imposta(nullptr);
        Rispondente = {};
        MemoriaPercorsi::istanza().dimentica();
        TipoEsercizio = 0;
        Casuale::imposta(nullptr);
        Orologio::imposta(nullptr);
        casuale = CasualeScriptato();
    }

    void aperturaMostraIlPrimoEsercizio()
    {
        casuale.accodaValore(5, 12, 1);
        casuale.accodaValore(4, 8, 1);
        for (int s : {3, 3, 7, 12, 7, 1})
            casuale.accodaValore(s, 15, 1);
        apri(0);
        QVERIFY(casuale.esaurito());
        QCOMPARE(f()->windowTitle(), QStringLiteral("Costruisci l'insieme consecutivo minore"));
        QVERIFY(f()->isMaximized());
        QTRY_VERIFY(!f()->windowIcon().isNull()); // set once the first frame is out
        QCOMPARE(f()->Label1()->text(), QStringLiteral("COSTRUISCI L'INSIEME CHE VIENE PRIMA"));
        QCOMPARE(f()->Label2()->text(), aperture[0]);
        QCOMPARE(f()->LblOperazione()->text(), QStringLiteral("1"));
        for (Etichetta *e : {f()->LblEsito(), f()->lblRisEsatte(), f()->lblRisErrate(), f()->LblTempoParziale(),
                             f()->LblTempoTotale()})
            QVERIFY(e->text().isEmpty());
        std::vector<int> primo;
        for (int k = 1; k <= 15; ++k) {
            if (!f()->Image1(k)->isVisible())
                continue;
            primo.push_back(k);
            QCOMPARE(f()->Image1(k)->disegno().numero(), 5);
        }
        QCOMPARE(primo, (std::vector<int>{1, 3, 7, 12}));
        QVERIFY(secondo().empty());
        QVERIFY(!f()->Image1(0) && !f()->Image2(0));
        // The first exercise after opening starts on the first button in tab order.
        controlla(Fase::Risposta, AGGIUNGI);
        // Scaled with the window, the fonts untouched.
        QVERIFY(f()->fraTastierino()->width() > Twips::inPixel(5670));
        QCOMPARE(f()->LblEsito()->font().pointSizeF(), 48.0);
    }

    void rispostaEsattaSoloTastiera()
    {
        accoda(0, 2, 3);
        apri(0);
        premi(Qt::Key_Return);
        controlla(Fase::Verificabile, AGGIUNGI);
        QCOMPARE(secondo(), primi(1));
        premi(Qt::Key_Return);
        QCOMPARE(secondo(), primi(2));
        QCOMPARE(f()->Image2(2)->disegno().numero(), 2);
        // Space walks through the enabled buttons only.
        premi(Qt::Key_Space);
        QCOMPARE(focalizzato(), tasto(TOGLI));
        premi(Qt::Key_Space);
        QCOMPARE(focalizzato(), tasto(VERIFICA));
        premi(Qt::Key_Space);
        QCOMPARE(focalizzato(), tasto(AGGIUNGI));
        premi(Qt::Key_3);
        orologio.avanza(7.6);
        premi(Qt::Key_Return);
        QCOMPARE(f()->LblEsito()->text(), QStringLiteral("E s a t t o"));
        QCOMPARE(f()->lblRisEsatte()->text(), QStringLiteral("1"));
        QVERIFY(f()->lblRisErrate()->text().isEmpty());
        QCOMPARE(f()->LblTempoParziale()->text(), QStringLiteral(" 7"));
        QCOMPARE(f()->LblTempoTotale()->text(), QStringLiteral(" 7"));
        controlla(Fase::Risolto);
        QCOMPARE(secondo(), primi(2));

        // Solved: only AVANTI and ESCI; Space wraps from ESCI past the disabled ones.
        premi(Qt::Key_Space);
        QCOMPARE(focalizzato(), tasto(ESCI));
        premi(Qt::Key_Space);
        QCOMPARE(focalizzato(), tasto(AVANTI));
        premi(Qt::Key_1);
        premi(Qt::Key_2);
        QCOMPARE(focalizzato(), tasto(AVANTI));

        accoda(0, 9, 5);
        premi(Qt::Key_Return);
        QCOMPARE(f()->LblOperazione()->text(), QStringLiteral("2"));
        QCOMPARE(f()->Label2()->text(), situazioni[0]);
        QVERIFY(f()->LblEsito()->text().isEmpty());
        QVERIFY(f()->LblTempoParziale()->text().isEmpty());
        QCOMPARE(f()->lblRisEsatte()->text(), QStringLiteral("1"));
        QCOMPARE(f()->LblTempoTotale()->text(), QStringLiteral(" 7"));
        QVERIFY(secondo().empty());
        controlla(Fase::Risposta);
    }

    void durantelaRispostaCifreSpenteEdESCINonFannoNulla()
    {
        accoda(0, 1, 1);
        apri(0);
        for (Qt::Key k : {Qt::Key_3, Qt::Key_4, Qt::Key_5, Qt::Key_A, Qt::Key_Tab, Qt::Key_Left})
            premi(k);
        controlla(Fase::Risposta, AGGIUNGI);
        // Clicks on the disabled buttons are ignored too.
        for (int i : {VERIFICA, AVANTI, ESCI})
            clic(tasto(i));
        QVERIFY(f() && f()->LblEsito()->text().isEmpty());
        QCOMPARE(NumeroEsercizio, qint16(1));

        // N = 1: TOGLI on the empty set is the way to answer "nothing".
        premi(Qt::Key_2);
        premi(Qt::Key_Return);
        QVERIFY(secondo().empty());
        QCOMPARE(ElementiSecondo, qint16(0));
        controlla(Fase::Verificabile);
        premi(Qt::Key_3);
        premi(Qt::Key_Return);
        QCOMPARE(f()->LblEsito()->text(), QStringLiteral("E s a t t o"));
        QCOMPARE(f()->LblTempoParziale()->text(), QStringLiteral(" 0"));
    }

    void ilSecondoInsiemeStaTra0E10()
    {
        accoda(1, 4, 9, 2);
        apri(1);
        QCOMPARE(secondo(), primi(2));
        QCOMPARE(f()->Image2(1)->disegno().numero(), 4);
        clic(tasto(AGGIUNGI));
        QCOMPARE(secondo(), primi(3));
        for (int i = 0; i < 12; ++i)
            clic(tasto(AGGIUNGI), i % 2 ? Qt::LeftButton : Qt::RightButton);
        QCOMPARE(ElementiSecondo, qint16(10));
        QCOMPARE(secondo(), primi(10));
        for (int i = 0; i < 12; ++i)
            clic(tasto(TOGLI));
        QCOMPARE(ElementiSecondo, qint16(0));
        QVERIFY(secondo().empty());
        controlla(Fase::Verificabile);
    }

    void erratoPoiSiMostraLaSoluzione()
    {
        accoda(0, 3, 6);
        apri(0);
        clic(tasto(AGGIUNGI));
        orologio.avanza(3);
        clic(tasto(VERIFICA));
        QCOMPARE(f()->LblEsito()->text(), QStringLiteral("E r r a t o"));
        QCOMPARE(f()->lblRisErrate()->text(), QStringLiteral("1"));
        QCOMPARE(f()->LblTempoParziale()->text(), QStringLiteral(" 3"));
        controlla(Fase::Aiuto);
        QCOMPARE(f()->LblAiuto()->text(), QStringLiteral("Ti aiuto ?"));
        QCOMPARE(secondo(), primi(1)); // left as the pupil made it
        // Keys on SI and NO: N and S move, Enter presses the focused one.
        premi(Qt::Key_N);
        QCOMPARE(focalizzato(), f()->Option3(1));
        QCOMPARE(f()->Option3(1)->sfondo(), arancio);
        QCOMPARE(f()->Option3(0)->sfondo(), pesca);
        premi(Qt::Key_Space);
        QCOMPARE(focalizzato(), f()->Option3(0));
        premi(Qt::Key_Return);
        QCOMPARE(secondo(), primi(5));
        QVERIFY(f()->LblEsito()->text().isEmpty());
        QCOMPARE(RifiutiAiuto, qint16(0));
        QCOMPARE(f()->lblRisEsatte()->text(), QString()); // the solution counts as no answer
        controlla(Fase::Risolto);
    }

    void rifiutiSiSommanoTraEserciziEAperture()
    {
        accoda(2, 6, 5, 8);
        apri(2);
        QCOMPARE(secondo(), primi(8));
        clic(tasto(AGGIUNGI));
        orologio.avanza(20);
        clic(tasto(VERIFICA));
        controlla(Fase::Aiuto);
        const double prima = InizioRisposta;
        orologio.avanza(0.5);
        clic(f()->Option3(1));
        QCOMPARE(RifiutiAiuto, qint16(1));
        QCOMPARE(secondo(), primi(8)); // back to exactly M
        QVERIFY(InizioRisposta > prima);
        QVERIFY(f()->LblEsito()->text().isEmpty());
        controlla(Fase::Risposta);
        for (int i = 0; i < 4; ++i)
            clic(tasto(TOGLI));
        clic(tasto(VERIFICA));
        QCOMPARE(f()->lblRisEsatte()->text(), QStringLiteral("1"));
        QCOMPARE(f()->lblRisErrate()->text(), QStringLiteral("1"));

        accoda(2, 6, 8, 10);
        premi(Qt::Key_Return); // AVANTI
        QCOMPARE(secondo(), primi(10));
        clic(tasto(TOGLI));
        clic(tasto(VERIFICA));
        premi(Qt::Key_N);
        premi(Qt::Key_Return);
        QCOMPARE(RifiutiAiuto, qint16(2));
        QCOMPARE(secondo(), primi(10));
        for (int i = 0; i < 3; ++i)
            clic(tasto(TOGLI));
        clic(tasto(VERIFICA));
        premi(Qt::Key_5);
        premi(Qt::Key_Return); // ESCI
        QTRY_VERIFY(!frmOperativo::caricata());
        QVERIFY(QTest::qWaitForWindowActive(&FrmInizio::istanza()));

        // A new opening: blank value labels, the number from 1, the refusals still counting.
        accoda(0, 1, 2);
        apri(0);
        QCOMPARE(f()->LblOperazione()->text(), QStringLiteral("1"));
        for (Etichetta *e : {f()->lblRisEsatte(), f()->lblRisErrate(), f()->LblTempoParziale(), f()->LblTempoTotale()})
            QVERIFY(e->text().isEmpty());
        premi(Qt::Key_Return);
        premi(Qt::Key_Return);
        premi(Qt::Key_3);
        premi(Qt::Key_Return);
        QCOMPARE(f()->lblRisErrate()->text(), QStringLiteral("3"));
        QCOMPARE(f()->LblTempoTotale()->text(), QStringLiteral(" 20"));
        premi(Qt::Key_2);
        premi(Qt::Key_Return);
        controlla(Fase::Intervento);
        QCOMPARE(f()->lblIntervento()->text(), QStringLiteral("Intervengo io"));
        QCOMPARE(RifiutiAiuto, qint16(0));
        QCOMPARE(f()->LblEsito()->text(), QStringLiteral("E r r a t o"));
        premi(Qt::Key_Space); // OK takes only Enter
        controlla(Fase::Intervento);
        premi(Qt::Key_Return);
        QCOMPARE(secondo(), primi(1));
        QVERIFY(f()->LblEsito()->text().isEmpty());
        controlla(Fase::Risolto);
    }

    void siDopoDueRifiutiAzzeraIlConteggio()
    {
        accoda(1, 8, 3, 1);
        apri(1);
        for (int volta = 1; volta <= 2; ++volta) {
            clic(tasto(TOGLI));
            clic(tasto(VERIFICA));
            controlla(Fase::Aiuto);
            clic(f()->Option3(1));
            QCOMPARE(RifiutiAiuto, qint16(volta));
            QCOMPARE(secondo(), primi(1));
        }
        clic(tasto(AGGIUNGI));
        clic(tasto(AGGIUNGI));
        clic(tasto(VERIFICA));
        clic(f()->Option3(0), Qt::RightButton);
        QCOMPARE(RifiutiAiuto, qint16(0));
        QCOMPARE(secondo(), primi(2));
        controlla(Fase::Risolto);
    }

    void ilDoppioClicNonRispondeAUnaDomandaMaiVista()
    {
        QVERIFY(QGuiApplication::styleHints()->mouseDoubleClickInterval() < QTest::mouseDoubleClickInterval);
        accoda(0, 3, 6);
        accoda(0, 3, 6);
        apri(0);
        // SI lies under VERIFICA, OK under NO, AVANTI under the right of OK.
        clic(tasto(AGGIUNGI));
        dueClic(tasto(VERIFICA), true);
        controlla(Fase::Aiuto);
        for (int volta = 1; volta <= 2; ++volta) {
            dueClic(f()->Option3(1), true);
            QCOMPARE(RifiutiAiuto, qint16(volta));
            clic(tasto(AGGIUNGI));
            dueClic(tasto(VERIFICA), true);
            controlla(Fase::Aiuto);
        }
        dueClic(f()->Option3(1), true);
        controlla(Fase::Intervento);
        dueClic(f()->optOK(), true, 0.75, 0.4);
        controlla(Fase::Risolto);
        QCOMPARE(f()->LblOperazione()->text(), QStringLiteral("1"));
        // Presses further apart than the interval act as always.
        dueClic(tasto(AVANTI), false, 0.25);
        QCOMPARE(f()->LblOperazione()->text(), QStringLiteral("2"));
        clic(tasto(AGGIUNGI));
        dueClic(tasto(VERIFICA), false);
        QCOMPARE(secondo(), primi(5));
        controlla(Fase::Risolto);
    }

    void tempiVeriQualunqueCosaFacciaLOrologio()
    {
        accoda(0, 1, 1);
        accoda(0, 1, 1);
        accoda(0, 1, 1);
        orologio.adesso = 86390.0;
        apri(0);
        // Midnight, then summer time ending (an hour back) and a correction 10 ms back.
        orologio.avanza(999.5);
        orologio.adesso -= 3600.0;
        orologio.trascorsi += 0.5;
        orologio.adesso -= 0.01;
        clic(tasto(TOGLI));
        clic(tasto(VERIFICA));
        QCOMPARE(TempoParziale, 1000);
        QCOMPARE(f()->LblTempoParziale()->text(), QStringLiteral("999"));
        QCOMPARE(f()->LblTempoTotale()->text(), QStringLiteral("999"));
        clic(tasto(AVANTI));
        // Summer time starting, and a manual change a day ahead: neither lengthens the answer.
        orologio.avanza(1.5);
        orologio.adesso = std::fmod(orologio.adesso + 3600.0 + 86400.0, 86400.0);
        clic(tasto(TOGLI));
        clic(tasto(VERIFICA));
        QCOMPARE(f()->LblTempoParziale()->text(), QStringLiteral(" 1"));
        QCOMPARE(TempoTotale, 1001);
        clic(tasto(AVANTI));
        orologio.adesso = 5.0; // a step back, with no time passing
        clic(tasto(TOGLI));
        clic(tasto(VERIFICA));
        QCOMPARE(f()->LblTempoParziale()->text(), QStringLiteral(" 0"));
        QCOMPARE(TempoTotale, 1001);
    }

    void contatoriFermiA32767()
    {
        RisposteEsatte = 32767;
        RisposteErrate = 32767;
        accoda(0, 1, 2);
        apri(0);
        clic(tasto(TOGLI));
        clic(tasto(VERIFICA));
        QCOMPARE(f()->lblRisErrate()->text(), QStringLiteral("32767"));
        clic(f()->Option3(1));
        clic(tasto(AGGIUNGI));
        clic(tasto(VERIFICA));
        QCOMPARE(f()->lblRisEsatte()->text(), QStringLiteral("32767"));
    }

    void chiusuraDaOgniStatoRiportaAllInizio_data()
    {
        QTest::addColumn<int>("fase");
        QTest::newRow("risposta") << int(Fase::Risposta);
        QTest::newRow("risolto") << int(Fase::Risolto);
        QTest::newRow("aiuto") << int(Fase::Aiuto);
        QTest::newRow("intervento") << int(Fase::Intervento);
    }

    void chiusuraDaOgniStatoRiportaAllInizio()
    {
        QFETCH(int, fase);
        accoda(0, 1, 2);
        apri(0);
        clic(tasto(AGGIUNGI));
        if (fase == int(Fase::Risolto)) {
            clic(tasto(VERIFICA));
        } else if (fase != int(Fase::Risposta)) {
            clic(tasto(AGGIUNGI));
            clic(tasto(VERIFICA));
            if (fase == int(Fase::Intervento)) {
                RifiutiAiuto = 2;
                clic(f()->Option3(1));
            }
        }
        if (fase == int(Fase::Risposta))
            controlla(Fase::Verificabile, AGGIUNGI);
        else
            controlla(Fase(fase));
        f()->close();
        QTRY_VERIFY(!frmOperativo::caricata());
        QVERIFY(QTest::qWaitForWindowActive(&FrmInizio::istanza()));
        QCOMPARE(QApplication::focusWidget(), FrmInizio::istanza().Option1(0));
    }

    void chiudiTuttoNonRiportaLaFinestraIniziale()
    {
        accoda(0, 1, 2);
        apri(0);
        FrmInizio::istanza().AvviaScelta(3);
        QVERIFY(RegistroFinestre::istanza().caricate().isEmpty());
        QVERIFY(!FrmInizio::caricata());
    }

    void sceltaConFinestraApertaCambiaSoloLaDidascalia()
    {
        accoda(0, 7, 4);
        apri(0);
        frmOperativo *prima = f();
        clic(tasto(AGGIUNGI));
        FrmInizio::istanza().mostra();
        FrmInizio::istanza().AvviaScelta(1);
        QCOMPARE(f(), prima);
        QVERIFY(QTest::qWaitForWindowActive(f()));
        QCOMPARE(f()->Label2()->text(), aperture[1]);
        QCOMPARE(f()->LblOperazione()->text(), QStringLiteral("1"));
        QCOMPARE(secondo(), primi(1));
        QVERIFY(casuale.esaurito());

        // A declined offer restores the second set as the new kind starts it, with the
        // last start count drawn; the next exercise follows the new kind too.
        ElementiIniziali = 2;
        clic(tasto(VERIFICA));
        clic(f()->Option3(1));
        QCOMPARE(secondo(), primi(2));
        clic(tasto(AGGIUNGI));
        clic(tasto(VERIFICA));
        QCOMPARE(f()->LblEsito()->text(), QStringLiteral("E s a t t o"));
        accoda(1, 7, 6, 2);
        clic(tasto(AVANTI));
        QCOMPARE(f()->Label2()->text(), situazioni[1]);
        QCOMPARE(secondo(), primi(2));
    }

    void tastoTenutoAgisceUnaVolta()
    {
        accoda(0, 1, 8);
        apri(0);
        QWidget *aggiungi = tasto(AGGIUNGI);
        invia(aggiungi, QEvent::KeyPress, Qt::Key_Return);
        for (int i = 0; i < 5; ++i) {
            invia(aggiungi, QEvent::KeyRelease, Qt::Key_Return, true);
            invia(aggiungi, QEvent::KeyPress, Qt::Key_Return, true);
        }
        QCOMPARE(ElementiSecondo, qint16(1));
        // The release lands elsewhere (another window): the next fresh press still acts.
        invia(FrmInizio::istanza().Option1(0), QEvent::KeyRelease, Qt::Key_Return);
        invia(aggiungi, QEvent::KeyPress, Qt::Key_Return);
        QCOMPARE(ElementiSecondo, qint16(2));
        invia(aggiungi, QEvent::KeyRelease, Qt::Key_Return);

        // A mouse button held down acts once; a release anywhere re-arms it.
        QTest::mousePress(aggiungi, Qt::LeftButton);
        QTest::mousePress(aggiungi, Qt::LeftButton);
        QCOMPARE(ElementiSecondo, qint16(3));
        QTest::mouseRelease(f()->Label1(), Qt::LeftButton);
        QTest::mousePress(aggiungi, Qt::RightButton);
        QCOMPARE(ElementiSecondo, qint16(4));
        QTest::mouseRelease(aggiungi, Qt::RightButton);
        QVERIFY(!tasto(AGGIUNGI)->valore());
    }

    void aUnLivelloFissoNonEsceDaiSuoiNumeri_data()
    {
        QTest::addColumn<int>("livello");
        QTest::addColumn<int>("massimoN");
        QTest::newRow("1: solo il secondo insieme vuoto") << 1 << 3;
        QTest::newRow("2") << 2 << 5;
        QTest::newRow("6: tutta la griglia") << 6 << 15;
    }

    void aUnLivelloFissoNonEsceDaiSuoiNumeri()
    {
        QFETCH(int, livello);
        QFETCH(int, massimoN);
        GeneratoreCasuale g(static_cast<std::uint64_t>(livello));
        Casuale::imposta(&g);
        apriPer(1, {livello, livello});
        QCOMPARE(f()->Label2()->text(), aperture[livello == 1 ? 0 : 1]);
        int piuGrande = 0, secondoPiuGrande = 0;
        for (int tipo = 0; tipo < 3; ++tipo) {
            TipoEsercizio = static_cast<qint16>(tipo);
            for (int i = 0; i < 100; ++i) {
                f()->NuovoEsercizio();
                QCOMPARE(f()->livelloEsercizio(), livello);
                QVERIFY2(n() >= 1 && n() <= massimoN, qPrintable(QString::number(n())));
                piuGrande = std::max(piuGrande, n());
                int primo = 0;
                for (int k = 1; k <= 15; ++k)
                    primo += f()->Image1(k)->isVisible();
                QCOMPARE(primo, n());
                // What a screen reader says of the first set holds N.
                const QString nome = QAccessible::queryAccessibleInterface(f()->FraSfondoS())->text(QAccessible::Name);
                QVERIFY2(nome.startsWith(QStringLiteral("Primo insieme: %1 ").arg(n())), qPrintable(nome));
                const int inForza = livello == 1 ? 0 : tipo;
                QCOMPARE(f()->Label2()->text(), situazioni[inForza]);
                // The second set shows every start element, past the usual ten when the level has room.
                QCOMPARE(static_cast<int>(secondo().size()), inForza == 0 ? 0 : int(ElementiIniziali));
                secondoPiuGrande = std::max(secondoPiuGrande, int(ElementiIniziali));
            }
        }
        QCOMPARE(piuGrande, massimoN);
        if (livello == 6) {
            QCOMPARE(secondoPiuGrande, 15);
            // The pupil can build up to the whole grid, and no further.
            TipoEsercizio = 0;
            f()->NuovoEsercizio();
            for (int i = 0; i < 16; ++i)
                clic(tasto(AGGIUNGI));
            QCOMPARE(ElementiSecondo, qint16(15));
            QCOMPARE(secondo(), primi(15));
        }
    }

    void senzaLivelloEstraeComeSempre()
    {
        // Twin sources: the window's draws must be the usual ones, call for call.
        GeneratoreCasuale g(42), gemello(42);
        Casuale::imposta(&g);
        QTemporaryDir cartella;
        RegistroProva registro(cartella.filePath(QStringLiteral("registro.sqlite")));
        RegistroCorrente::imposta(&registro);
        apriPer(0, {});
        for (int i = 0; i < 30; ++i) {
            const int tipo = i % 3;
            if (i > 0) {
                TipoEsercizio = static_cast<qint16>(tipo);
                f()->NuovoEsercizio();
            }
            const GeneratoreEsercizio::Esercizio e = GeneratoreEsercizio::genera(tipo, gemello);
            QCOMPARE(Figura, e.figura);
            QCOMPARE(n(), e.elementiPrimo);
            QCOMPARE(Posizioni, e.posizioni);
            if (tipo != 0)
                QCOMPARE(ElementiIniziali, e.elementiIniziali);
            QCOMPARE(f()->livelloEsercizio(), 0);
            rispondi(i % 2 == 0);
        }
        QVERIFY(!f()->lblStella()->isVisible());
        QCOMPARE(registro.righe.size(), 30 + 15);
        for (const Risultato &r : registro.righe) {
            QCOMPARE(r.livello, 4);
            QVERIFY(!r.percorso);
        }
    }

    void sulPercorsoSiSaleESiScendeTraUnEsercizioELAltro()
    {
        QTemporaryDir cartella;
        RegistroProva registro(cartella.filePath(QStringLiteral("registro.sqlite")));
        RegistroCorrente::imposta(&registro);
        apriPer(1, {1, 4});
        QCOMPARE(f()->livelloEsercizio(), 1); // a new pupil starts at the bottom
        QCOMPARE(f()->Label2()->text(), aperture[0]);

        // One step: the answer, its rows, and the next exercise.
        auto passo = [&](bool giusta) {
            const int livello = f()->livelloEsercizio();
            const int risposte = f()->statoPercorso().risposte;
            const qsizetype righe = registro.righe.size();
            rispondi(giusta);
            QCOMPARE(f()->livelloEsercizio(), livello); // never inside an exercise
            QCOMPARE(f()->statoPercorso().risposte, risposte + 1);
            // A wrong answer's second row, the help's, moves nothing again.
            QCOMPARE(registro.righe.size(), righe + (giusta ? 1 : 2));
            for (qsizetype i = righe; i < registro.righe.size(); ++i) {
                const Risultato &r = registro.righe[i];
                QCOMPARE(r.livello, livello);
                QVERIFY(r.percorso);
                QCOMPARE(r.percorso->risposte, risposte + 1);
                QCOMPARE(r.percorso->abilita, f()->statoPercorso().abilita);
            }
            f()->NuovoEsercizio();
        };

        int livello = 1, salite = 0;
        for (int i = 0; i < 30 && livello < 4; ++i) {
            passo(true);
            if (QTest::currentTestFailed())
                return;
            const int dopo = f()->livelloEsercizio();
            QVERIFY(dopo >= livello);
            const bool salito = dopo > livello;
            QCOMPARE(f()->lblStella()->isVisible(), salito);
            if (salito) {
                ++salite;
                const QString frase = Parlato::istanza().ultima();
                QVERIFY2(frase.startsWith(QStringLiteral("Una stella per te!")) &&
                             !frase.contains(QStringLiteral("livello")),
                         qPrintable(frase));
            }
            livello = dopo;
        }
        QCOMPARE(livello, 4);
        QCOMPARE(salite, 3);
        QCOMPARE(f()->Label2()->text(), situazioni[1]); // from level 2 on, the kind chosen

        // Back in this run, before the register has told anything: from where the pupil was.
        const StatoPercorso lasciato = f()->statoPercorso();
        f()->EsciEsercizio();
        QTRY_VERIFY(!f());
        apriPer(1, {1, 4});
        QCOMPARE(f()->statoPercorso().risposte, lasciato.risposte);
        QCOMPARE(f()->livelloEsercizio(), 4);
        QVERIFY(!f()->lblStella()->isVisible());

        for (int i = 0; i < 30 && livello > 1; ++i) {
            passo(false);
            if (QTest::currentTestFailed())
                return;
            const int dopo = f()->livelloEsercizio();
            QVERIFY(dopo <= livello && dopo >= 1);
            QVERIFY(!f()->lblStella()->isVisible());
            QVERIFY(!Parlato::istanza().ultima().contains(QStringLiteral("stella")));
            livello = dopo;
        }
        QCOMPARE(livello, 1);

        // The register's place wins when it is the newer one (answers on another PC).
        f()->EsciEsercizio();
        QTRY_VERIFY(!f());
        apriPer(1, {1, 4}, {8.0, 500});
        QCOMPARE(f()->statoPercorso().risposte, 500);
        QCOMPARE(f()->livelloEsercizio(), 4);
    }

    void invioTenutoSuSiMostraLaSoluzioneESiFerma()
    {
        accoda(0, 1, 3);
        apri(0);
        clic(tasto(TOGLI));
        clic(tasto(VERIFICA));
        controlla(Fase::Aiuto);
        invia(f()->Option3(0), QEvent::KeyPress, Qt::Key_Return);
        controlla(Fase::Risolto);
        // The key is still held: its repeats reach AVANTI and must not start the next exercise.
        for (int i = 0; i < 5; ++i) {
            invia(focalizzato(), QEvent::KeyRelease, Qt::Key_Return, true);
            invia(focalizzato(), QEvent::KeyPress, Qt::Key_Return, true);
        }
        QCOMPARE(NumeroEsercizio, qint16(1));
        QCOMPARE(secondo(), primi(2));
        invia(focalizzato(), QEvent::KeyRelease, Qt::Key_Return);

        // The same for OK after the third refusal.
        accoda(0, 1, 3);
        premi(Qt::Key_Return);
        RifiutiAiuto = 2;
        clic(tasto(TOGLI));
        clic(tasto(VERIFICA));
        premi(Qt::Key_2);
        premi(Qt::Key_Return);
        controlla(Fase::Intervento);
        invia(f()->optOK(), QEvent::KeyPress, Qt::Key_Return);
        for (int i = 0; i < 5; ++i)
            invia(focalizzato(), QEvent::KeyPress, Qt::Key_Return, true);
        QCOMPARE(NumeroEsercizio, qint16(2));
        controlla(Fase::Risolto);
    }
};

QTEST_MAIN(TestFrmOperativo)
#include "test_frm_operativo.moc"
