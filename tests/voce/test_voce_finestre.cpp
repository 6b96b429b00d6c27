#include "app/FrmInizio.h"
#include "exercise/StatoEsercizio.h"
#include "exercise/frmOperativo.h"
#include "support/AmbienteTest.h"
#include "support/CasualeScriptato.h"
#include "support/OrologioScriptato.h"
#include "support/VoceRegistrata.h"
#include "ui/PulsanteOpzione.h"
#include "voce/Parlato.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QSettings>
#include <QTest>

namespace {
enum Tasto { AGGIUNGI, TOGLI, VERIFICA, AVANTI, ESCI };
const QString titolo = QStringLiteral("Costruisci l'insieme che viene prima.");
const QString situazione0 = QStringLiteral("Secondo insieme vuoto. Inserisci elementi.");
const QString erratoAiuto = QStringLiteral("Errato. Ti aiuto?");
} // namespace

class TestVoceFinestre : public QObject {
    Q_OBJECT

    CasualeScriptato casuale;
    OrologioScriptato orologio;
    VoceRegistrata voce;

    frmOperativo *f() const { return frmOperativo::seCaricata(); }
    QStringList &frasi() { return voce.frasi; }

    // Kind 0 with N pictures: the picture, N and N distinct slots.
    void accoda(int n)
    {
        casuale.accodaValore(1, 12, 1);
        casuale.accodaValore(n, 8, 1);
        for (int s = 1; s <= n; ++s)
            casuale.accodaValore(s, 15, 1);
    }
    void clic(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }
    void tasto(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }
    // A wrong answer (the empty set, with N > 1) and the help declined.
    void erratoENo()
    {
        clic(f()->Option1(TOGLI));
        clic(f()->Option1(VERIFICA));
        clic(f()->Option3(1));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!Parlato::istanza().attiva()); // off until a teacher switches it on
        Parlato::istanza().impostaVoce(&voce);
        Casuale::imposta(&casuale);
        Orologio::imposta(&orologio);
    }

    void init()
    {
        voce.impostaStato(Voce::Stato::Pronta);
        FrmInizio::istanza().mostra();
        QVERIFY(QTest::qWaitForWindowActive(&FrmInizio::istanza()));
        RifiutiAiuto = 0;
    }

    void cleanup()
    {
        AmbienteTest::chiudiTutto();
        Parlato::istanza().impostaAttiva(false);
        frasi().clear();
    }

    void unEsercizioInteroDettoInOrdine()
    {
        FrmInizio::istanza().casellaVoce()->click();
        QVERIFY(Parlato::istanza().attiva());
        QCOMPARE(QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).value("voce/attiva").toBool(), true);
        // Switching on says at once the caption of the focused button; digits move the focus.
        tasto(Qt::Key_4);
        tasto(Qt::Key_2);
        QCOMPARE(frasi(), QStringList({"Insieme vuoto.", "Esci.", "Aggiungi elementi."}));
        frasi().clear();

        accoda(3);
        FrmInizio::istanza().AvviaScelta(0);
        QVERIFY(QTest::qWaitForWindowActive(f()));
        clic(f()->Option1(AGGIUNGI));
        clic(f()->Option1(AGGIUNGI));
        tasto(Qt::Key_C);
        clic(f()->Option1(VERIFICA));
        tasto(Qt::Key_R);
        accoda(2);
        clic(f()->Option1(AVANTI));
        erratoENo();
        erratoENo();
        tasto(Qt::Key_C);
        erratoENo();
        tasto(Qt::Key_R);
        QTest::keyClick(f()->optOK(), Qt::Key_Return);
        QCOMPARE(frasi(), QStringList({
                              titolo + " Situazione iniziale: secondo insieme vuoto. Devi inserire elementi.",
                              "Il primo insieme ha tre elementi. Il secondo insieme ha due elementi.",
                              "Esatto.",
                              "Esatto.",
                              titolo + ' ' + situazione0,
                              erratoAiuto,
                              situazione0,
                              erratoAiuto,
                              situazione0,
                              "Il primo insieme ha due elementi. Il secondo insieme è vuoto.",
                              erratoAiuto,
                              "Intervengo io.",
                              "Intervengo io.",
                              "La risposta ha un elemento.",
                          }));

        // Closing the program silences it at once.
        const int silenzi = voce.silenzi;
        FrmInizio::istanza().ChiudiTutto();
        QVERIFY(voce.silenzi > silenzi);
    }

    void spentaNonDiceNulla()
    {
        accoda(2);
        FrmInizio::istanza().AvviaScelta(0);
        QVERIFY(QTest::qWaitForWindowActive(f()));
        erratoENo();
        tasto(Qt::Key_C);
        tasto(Qt::Key_R);
        clic(f()->Option1(TOGLI));
        clic(f()->Option1(VERIFICA));
        clic(f()->Option3(0));
        QVERIFY(frasi().isEmpty());
    }

    void senzaVoceItalianaLaVoceESpenta()
    {
        QAction *voceMenu = FrmInizio::istanza().mnuVoce();
        QVERIFY(voceMenu->isEnabled() && voceMenu->isCheckable() && !voceMenu->isChecked());
        voceMenu->trigger();
        QVERIFY(voceMenu->isChecked() && FrmInizio::istanza().casellaVoce()->isChecked());
        QVERIFY(voce.preparazioni > 0);

        voce.impostaStato(Voce::Stato::Assente);
        QCheckBox *casella = FrmInizio::istanza().casellaVoce();
        QVERIFY(!voceMenu->isEnabled() && !voceMenu->isChecked());
        QVERIFY(!casella->isEnabled() && !casella->isChecked());
        QCOMPARE(casella->toolTip(), voce.mancante());
        frasi().clear();
        tasto(Qt::Key_R);
        QVERIFY(frasi().isEmpty());
    }
};

QTEST_MAIN(TestVoceFinestre)
#include "test_voce_finestre.moc"
