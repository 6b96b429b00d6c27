#include "app/FrmInizio.h"
#include "core/StatoEsercizio.h"
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
enum Tasto { AGGIUNGI, TOGLI, VERIFICA, AVANTI };
const QString titolo = QStringLiteral("Costruisci l'insieme che viene prima. ");
const QString situazione = QStringLiteral("Secondo insieme vuoto. Inserisci elementi.");
const QString erratoAiuto = QStringLiteral("Errato. Ti aiuto?");
} // namespace

class TestVoceFinestre : public QObject {
    Q_OBJECT

    CasualeScriptato casuale;
    OrologioScriptato orologio;
    VoceRegistrata voce;

    frmOperativo *f() const { return frmOperativo::seCaricata(); }
    void clic(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }
    void tasto(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }

    // Opens an exercise of kind 0 with N pictures.
    void apri(int n)
    {
        casuale.accodaValore(1, 12, 1);
        casuale.accodaValore(n, 8, 1);
        for (int s = 1; s <= n; ++s)
            casuale.accodaValore(s, 15, 1);
        if (!f()) {
            FrmInizio::istanza().AvviaScelta(0);
            QVERIFY(QTest::qWaitForWindowActive(f()));
        }
    }
    // The empty set given as the answer (wrong for N > 1), and the help declined.
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
        azzeraStatoEsercizio();
        FrmInizio::istanza().mostra();
        QVERIFY(QTest::qWaitForWindowActive(&FrmInizio::istanza()));
    }

    void cleanup()
    {
        AmbienteTest::chiudiTutto();
        Parlato::istanza().impostaAttiva(false);
        voce.frasi.clear();
    }

    void unEsercizioInteroDettoInOrdine()
    {
        FrmInizio::istanza().casellaVoce()->click();
        QVERIFY(QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")).value("voce/attiva").toBool());
        QCOMPARE(voce.preparazioni, 1);
        // Switching on says the focused caption at once; digits move the focus.
        tasto(Qt::Key_4);
        tasto(Qt::Key_2);
        apri(3);
        clic(f()->Option1(AGGIUNGI));
        clic(f()->Option1(AGGIUNGI));
        tasto(Qt::Key_C);
        clic(f()->Option1(VERIFICA));
        tasto(Qt::Key_R);
        apri(2);
        clic(f()->Option1(AVANTI));
        erratoENo();
        erratoENo();
        tasto(Qt::Key_C);
        erratoENo();
        tasto(Qt::Key_R);
        QTest::keyClick(f()->optOK(), Qt::Key_Return);
        QCOMPARE(voce.frasi,
                 QStringList({"Insieme vuoto.", "Esci.", "Aggiungi elementi.",
                              titolo + "Situazione iniziale: secondo insieme vuoto. Devi inserire elementi.",
                              "Il primo insieme ha tre elementi. Il secondo insieme ha due elementi.", "Esatto.",
                              "Esatto.", titolo + situazione, erratoAiuto, situazione, erratoAiuto, situazione,
                              "Il primo insieme ha due elementi. Il secondo insieme è vuoto.", erratoAiuto,
                              "Intervengo io.", "Intervengo io.", "La risposta ha un elemento."}));

        // Closing the program silences it at once.
        const int silenzi = voce.silenzi;
        FrmInizio::istanza().ChiudiTutto();
        QVERIFY(voce.silenzi > silenzi);
    }

    void spentaNonDiceNulla()
    {
        apri(2);
        erratoENo();
        tasto(Qt::Key_C);
        tasto(Qt::Key_R);
        clic(f()->Option1(TOGLI));
        clic(f()->Option1(VERIFICA));
        clic(f()->Option3(0));
        QVERIFY(voce.frasi.isEmpty());
    }

    void senzaVoceItalianaLaVoceESpentaEDiceCosaInstallare()
    {
        QAction *voceMenu = FrmInizio::istanza().mnuVoce();
        QCheckBox *casella = FrmInizio::istanza().casellaVoce();
        QVERIFY(voceMenu->isEnabled() && voceMenu->isCheckable() && !voceMenu->isChecked());
        voceMenu->trigger();
        QVERIFY(casella->isChecked());
        voce.impostaStato(Voce::Stato::Assente);
        QVERIFY(!voceMenu->isEnabled() && !voceMenu->isChecked());
        QVERIFY(!casella->isEnabled() && !casella->isChecked());
        QCOMPARE(casella->toolTip(), voce.mancante());
        voce.frasi.clear();
        tasto(Qt::Key_R);
        QVERIFY(voce.frasi.isEmpty());
    }
};

QTEST_MAIN(TestVoceFinestre)
#include "test_voce_finestre.moc"
