#include "app/FrmInizio.h"
#include "core/Casuale.h"
#include "core/StatoEsercizio.h"
#include "exercise/frmOperativo.h"
#include "support/AmbienteTest.h"
#include "support/OrologioScriptato.h"
#include "ui/Cornice.h"
#include "ui/Etichetta.h"
#include "ui/Immagine.h"
#include "ui/PulsanteOpzione.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTest>

#include <random>

namespace {

const QStringList testiEsito = {QString(), QStringLiteral("E s a t t o"), QStringLiteral("E r r a t o")};
const QStringList situazioni = {
    QStringLiteral("Situazione iniziale: secondo  insieme vuoto - Devi inserire elementi"),
    QStringLiteral("Situazione iniziale: secondo  insieme suvvalente - Devi aggiungere elementi"),
    QStringLiteral("Situazione iniziale: secondo  insieme prevalente - Devi togliere elementi"),
    QStringLiteral("Secondo insieme vuoto - Inserisci elementi"),
    QStringLiteral("Secondo insieme suvvalente - Aggiungi elementi"),
    QStringLiteral("Secondo insieme prevalente - Togli elementi"),
};

struct TastoProva {
    Qt::Key tasto;
    const char *testo;
    Qt::KeyboardModifiers modificatori = Qt::NoModifier;
};
const TastoProva tastiProva[] = {
    {Qt::Key_1, "1"},
    {Qt::Key_2, "2"},
    {Qt::Key_3, "3"},
    {Qt::Key_4, "4"},
    {Qt::Key_5, "5"},
    {Qt::Key_Space, " "},
    {Qt::Key_Return, "\r"},
    {Qt::Key_Return, "\r"},
    {Qt::Key_S, "s"},
    {Qt::Key_N, "n"},
    {Qt::Key_A, "a"},
    {Qt::Key_Tab, "\t"},
    {Qt::Key_Left, ""},
    {Qt::Key_1, "1", Qt::KeypadModifier},
    {Qt::Key_2, "2", Qt::KeypadModifier},
};

} // namespace

// Thousands of random key and mouse presses, seeded and reproducible
// (QUORVEL_SEME picks another seed); the window's invariants hold after each.
class TestOperativoCasuale : public QObject {
    Q_OBJECT

    OrologioScriptato orologio;
    std::mt19937 caso;
    int aperture = 0;
    int verdetti = 0;
    int interventi = 0;

    int tra(int da, int a) { return std::uniform_int_distribution<int>(da, a)(caso); }

    frmOperativo *f() const { return frmOperativo::seCaricata(); }

    void apri()
    {
        FrmInizio::istanza().AvviaScelta(tra(0, 2));
        ++aperture;
        QVERIFY(QTest::qWaitForWindowActive(f()));
    }

    void tasto(bool ripetuto)
    {
        QWidget *w = QApplication::focusWidget();
        if (!w || w->window() != f())
            w = f();
        const TastoProva &t = tastiProva[tra(0, std::size(tastiProva) - 1)];
        QKeyEvent giu(QEvent::KeyPress, t.tasto, t.modificatori, QString::fromLatin1(t.testo), ripetuto);
        QApplication::sendEvent(w, &giu);
        // Now and then the release is lost or lands later on another widget.
        if (tra(0, 9) < 8) {
            QWidget *dopo = QApplication::focusWidget() ? QApplication::focusWidget() : w;
            QKeyEvent su(QEvent::KeyRelease, t.tasto, t.modificatori, QString(), ripetuto);
            QApplication::sendEvent(dopo, &su);
        }
    }

    void mouse()
    {
        QWindow *finestra = f()->windowHandle();
        const QRect r = f()->client()->geometry();
        // Mostly over the panels, where the buttons are.
        const QPoint p =
            tra(0, 3) ? QPoint(tra(r.width() * 45 / 100, r.width() - 1), tra(r.height() * 55 / 100, r.height() - 1))
                      : QPoint(tra(0, r.width() - 1), tra(0, r.height() - 1));
        const Qt::MouseButton b = tra(0, 4) ? Qt::LeftButton : Qt::RightButton;
        QTest::mousePress(finestra, b, {}, p);
        if (f() && tra(0, 9) < 9)
            QTest::mouseRelease(f()->windowHandle(), b, {}, p);
    }

    void controllaInvarianti()
    {
        if (!f() || f()->scaricata()) {
            QVERIFY(FrmInizio::caricata());
            return;
        }
        QWidget *pannelli[] = {f()->fraTastierino(), f()->fraAiuto(), f()->fraIntervento()};
        int abilitati = 0;
        QWidget *attivo = nullptr;
        for (QWidget *p : pannelli)
            if (p->isEnabled()) {
                ++abilitati;
                attivo = p;
            }
        QCOMPARE(abilitati, 1);
        QWidget *davanti = nullptr;
        for (QObject *o : f()->client()->children())
            if (std::find(std::begin(pannelli), std::end(pannelli), o) != std::end(pannelli))
                davanti = static_cast<QWidget *>(o);
        QCOMPARE(davanti, attivo);

        QVERIFY(ElementiSecondo >= 0 && ElementiSecondo <= 10);
        for (int k = 1; k <= 15; ++k) {
            const Immagine *i = f()->Image2(k);
            QCOMPARE(!i->isHidden() && i->haDisegno(), k <= ElementiSecondo);
        }
        QVERIFY(RifiutiAiuto >= 0 && RifiutiAiuto <= 2);

        if (attivo == f()->fraTastierino()) {
            const bool risolto = f()->Option1(3)->abilitato();
            QCOMPARE(f()->Option1(4)->abilitato(), risolto);
            QCOMPARE(f()->Option1(0)->abilitato(), !risolto);
            QCOMPARE(f()->Option1(1)->abilitato(), !risolto);
            if (risolto)
                QVERIFY(!f()->Option1(2)->abilitato());
        }

        static const QRegularExpression numero(QStringLiteral("^[1-9][0-9]*$"));
        static const QRegularExpression tempo(QStringLiteral("^( [0-9]{1,3}|999)$"));
        QVERIFY(testiEsito.contains(f()->LblEsito()->text()));
        QVERIFY2(situazioni.contains(f()->Label2()->text()), qPrintable(f()->Label2()->text()));
        QVERIFY(numero.match(f()->LblOperazione()->text()).hasMatch());
        for (const Etichetta *e : {f()->lblRisEsatte(), f()->lblRisErrate()})
            QVERIFY(e->text().isEmpty() || numero.match(e->text()).hasMatch());
        for (const Etichetta *e : {f()->LblTempoParziale(), f()->LblTempoTotale()})
            QVERIFY2(e->text().isEmpty() || tempo.match(e->text()).hasMatch(), qPrintable(e->text()));
        if (!f()->LblEsito()->text().isEmpty())
            ++verdetti;
        if (attivo == f()->fraIntervento())
            ++interventi;
    }

private slots:
    void initTestCase()
    {
        caso.seed(AmbienteTest::seme(20240611u));
        Orologio::imposta(&orologio);
        FrmInizio::istanza().mostra();
        QVERIFY(QTest::qWaitForWindowActive(&FrmInizio::istanza()));
    }

    void cleanupTestCase()
    {
        AmbienteTest::chiudiTutto();
        Orologio::imposta(nullptr);
    }

    void migliaiaDiEventiCasuali()
    {
        for (int passo = 0; passo < 5000; ++passo) {
            if (!f()) {
                apri();
                if (QTest::currentTestFailed())
                    return;
            }
            // The clock runs on, past midnight too.
            orologio.avanza(tra(0, 40) + tra(0, 9) / 10.0);
            const int scelta = tra(0, 99);
            if (scelta < 55)
                tasto(tra(0, 9) == 0);
            else if (scelta < 97)
                mouse();
            else if (scelta < 98)
                f()->close();
            else
                FrmInizio::istanza().AvviaScelta(tra(0, 2));
            if (tra(0, 20) == 0)
                AmbienteTest::elabora();
            controllaInvarianti();
            if (QTest::currentTestFailed()) {
                qWarning("passo %d", passo);
                return;
            }
            if (f() && f()->scaricata())
                AmbienteTest::elabora();
        }
        qInfo("aperture %d, passi con verdetto %d, con intervento %d", aperture, verdetti, interventi);
        QVERIFY(aperture > 1);
        QVERIFY(verdetti > 0);
        QVERIFY(interventi > 0);
    }
};

QTEST_MAIN(TestOperativoCasuale)
#include "test_operativo_casuale.moc"
