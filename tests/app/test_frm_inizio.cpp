#include "Identita.h"
#include "app/Applicazione.h"
#include "app/FrmInizio.h"
#include "app/frmAutore.h"
#include "core/TipoEsercizio.h"
#include "exercise/frmOperativo.h"
#include "printing/frmStampante.h"
#include "support/AmbienteTest.h"
#include "support/TastiTest.h"
#include "ui/Etichetta.h"
#include "ui/Pulsante.h"
#include "ui/PulsanteOpzione.h"
#include "ui/RegistroFinestre.h"
#include "ui/Riquadro.h"
#include "worksheets/frmStampaSchede.h"
#include "worksheets/frmStampaSchede2.h"
#include "worksheets/frmStampaSchede3.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

constexpr QColor rosa(255, 192, 255);
constexpr QColor rosaForte(255, 128, 255);

using namespace TastiTest;

} // namespace

class TestFrmInizio : public QObject {
    Q_OBJECT

    FrmInizio *f = nullptr;

    PulsanteOpzione *focalizzato() const { return qobject_cast<PulsanteOpzione *>(QApplication::focusWidget()); }

    int indiceFocalizzato() const { return focalizzato() ? focalizzato()->indice() : -1; }

    void controllaColori(int atteso)
    {
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(f->Option1(i)->sfondo(), i == atteso ? rosaForte : rosa);
            QVERIFY(!f->Option1(i)->valore());
        }
    }

private slots:
    void initTestCase() { Applicazione::collega(); }

    void init()
    {
        f = &FrmInizio::istanza();
        f->mostra();
        QVERIFY(QTest::qWaitForWindowActive(f));
        QTRY_COMPARE(indiceFocalizzato(), 0);
    }
    void cleanup() { AmbienteTest::chiudiTutto(); }

    void aspettoAllApertura()
    {
        QCOMPARE(f->windowTitle(), QStringLiteral("GLI ZORVANI"));
        QVERIFY(f->isMaximized());
        QCOMPARE(f->findChild<Etichetta *>("Label2")->text(), QLatin1String(Identita::testoVersione));
        QCOMPARE(f->Option1(3)->text(), QStringLiteral("E S C I "));
        controllaColori(0);
        QStringList voci;
        for (QAction *a : f->menuBar()->actions())
            if (a->isVisible()) // the voice's stand-in for screen readers is not shown
                voci << a->text();
        QCOMPARE(voci, QStringList({"Stampa schede", "Registro", "About"}));
        // The teacher's entry is no control of the window: the pupils' keys and the random run never reach it.
        for (const Controllo &c : f->controlli())
            QVERIFY(c.oggetto != f->mnuRegistro());
        QCOMPARE(f->mnuAggiungi()->text(), QStringLiteral("aggiungi elemementi"));
    }

    void cifreSpostanoIlFuocoSuEntrambeLeTastiere()
    {
        const Qt::Key cifre[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4};
        for (Qt::KeyboardModifiers m :
             {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::KeypadModifier)})
            for (int i : {2, 0, 3, 1}) {
                premiERilascia(focalizzato(), cifre[i], m);
                QCOMPARE(indiceFocalizzato(), i);
                controllaColori(i);
            }
        QVERIFY(FrmInizio::caricata());
    }

    void altriTastiNonFannoNulla()
    {
        premiERilascia(focalizzato(), Qt::Key_2);
        for (Qt::Key k : {Qt::Key_5, Qt::Key_A, Qt::Key_Down, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Escape, Qt::Key_F2,
                          Qt::Key_F3, Qt::Key_Home})
            premiERilascia(focalizzato(), k);
        QCOMPARE(indiceFocalizzato(), 1);
        QVERIFY(FrmInizio::caricata());
    }

    void spazioGiraInTondo()
    {
        for (int atteso : {1, 2, 3, 0, 1}) {
            QTest::keyClick(focalizzato(), Qt::Key_Space);
            QCOMPARE(indiceFocalizzato(), atteso);
        }
        controllaColori(1);
    }

    void tastoTenutoAgisceUnaVolta()
    {
        // Auto-repeated presses never act.
        premi(focalizzato(), Qt::Key_Space);
        for (int i = 0; i < 5; ++i)
            premi(focalizzato(), Qt::Key_Space, Qt::NoModifier, true);
        QCOMPARE(indiceFocalizzato(), 1);
        // A second key while the first is still down is held back by the guard.
        premi(focalizzato(), Qt::Key_3);
        premi(focalizzato(), Qt::Key_4);
        QCOMPARE(indiceFocalizzato(), 2);
        rilascia(focalizzato(), Qt::Key_4);
        premiERilascia(focalizzato(), Qt::Key_4);
        QCOMPARE(indiceFocalizzato(), 3);
    }

    void rilascioAltroveNonBloccaLaPressioneSeguente()
    {
        premi(focalizzato(), Qt::Key_2);
        // The release reaches another widget, not the big buttons.
        rilascia(f->findChild<Etichetta *>("Label5"), Qt::Key_2);
        premi(focalizzato(), Qt::Key_3);
        QCOMPARE(indiceFocalizzato(), 2);
    }

    void quattroPoiInvioChiudeTutto()
    {
        QSignalSpy fine(&RegistroFinestre::istanza(), &RegistroFinestre::programmaTerminato);
        premiERilascia(focalizzato(), Qt::Key_4);
        QCOMPARE(indiceFocalizzato(), 3);
        QVERIFY(FrmInizio::caricata());
        premi(focalizzato(), Qt::Key_Return);
        QCOMPARE(TipoEsercizio, qint16(3));
        QVERIFY(!FrmInizio::caricata());
        QCOMPARE(fine.count(), 1);
        f = nullptr;
    }

    void pressioneDelMouseAgisceSubitoConOgniPulsante()
    {
        QSignalSpy fine(&RegistroFinestre::istanza(), &RegistroFinestre::programmaTerminato);
        QTest::mousePress(f->Option1(2), Qt::RightButton);
        QCOMPARE(TipoEsercizio, qint16(2));
        QVERIFY(!f->Option1(2)->valore());
        QTest::mouseRelease(f->Option1(2), Qt::RightButton);
        QVERIFY(!f->Option1(2)->valore());
        QCOMPARE(fine.count(), 0);
        QTest::mousePress(f->Option1(3), Qt::MiddleButton);
        QCOMPARE(fine.count(), 1);
        QVERIFY(!FrmInizio::caricata());
    }

    void aboutEModaleESiRicaricaOgniVolta()
    {
        f->mnuInfo()->trigger();
        QVERIFY(frmAutore::caricata());
        frmAutore *a = &frmAutore::istanza();
        QVERIFY(a->isVisible());
        QCOMPARE(a->windowTitle(), QStringLiteral("Autore"));
        QCOMPARE(QApplication::activeModalWidget(), a);
        QVERIFY(a->findChild<Etichetta *>("Label2")->text().endsWith(QLatin1String(".example")));
        QVERIFY(a->findChild<Etichetta *>("Label4")->text().endsWith(QLatin1String(".example")));
        QCOMPARE(a->findChild<Etichetta *>("lblVersione")->text(), QLatin1String(Identita::testoVersione));
        QTest::mouseClick(a->Command1(), Qt::LeftButton);
        QVERIFY(!frmAutore::caricata());
        AmbienteTest::elabora();
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        // Back on the start window, the focus returns to the first big button.
        premiERilascia(focalizzato() ? focalizzato() : f->Option1(0), Qt::Key_3);
        f->activateWindow();
        QTRY_VERIFY(f->isActiveWindow());
        f->mnuInfo()->trigger();
        QVERIFY(frmAutore::caricata());
        QTRY_VERIFY(frmAutore::istanza().isActiveWindow());
        frmAutore::istanza().close();
        QVERIFY(!frmAutore::caricata());
        QTRY_COMPARE(indiceFocalizzato(), 0);
    }

    void iMenuApronoLeSchedeELaSceltaDellaStampante()
    {
        f->mnuVuoto()->trigger();
        f->mnuAggiungi()->trigger();
        f->mnuTogli()->trigger();
        QVERIFY(frmStampaSchede::istanza().isVisible());
        QVERIFY(frmStampaSchede2::istanza().isVisible());
        frmStampaSchede3 *terza = &frmStampaSchede3::istanza();
        QVERIFY(terza->isVisible());
        QCOMPARE(terza->windowModality(), Qt::NonModal);
        QVERIFY(f->isVisible());
        // The same item again shows the window already loaded.
        f->mnuTogli()->trigger();
        QCOMPARE(&frmStampaSchede3::istanza(), terza);

        terza->mnuImpostazioneStampante()->trigger();
        QVERIFY(frmStampante::caricata());
        QCOMPARE(QApplication::activeModalWidget(), &frmStampante::istanza());
        frmStampante::istanza().close();
    }

    void chiudereUnaSchedaRiportaLaFinestraIniziale()
    {
        f->mnuVuoto()->trigger();
        QTRY_VERIFY(frmStampaSchede::istanza().isActiveWindow());
        f->AvviaScelta(0);
        QTRY_VERIFY(frmOperativo::istanza().isActiveWindow());
        frmStampaSchede::istanza().activateWindow();
        QTRY_VERIFY(frmStampaSchede::istanza().isActiveWindow());
        // The exercise window was active more recently, yet the start window comes back in front.
        frmStampaSchede::istanza().close();
        QVERIFY(!frmStampaSchede::caricata());
        QTRY_VERIFY(f->isActiveWindow());
        QTRY_COMPARE(indiceFocalizzato(), 0);
    }

    // A menu opened with the mouse and closed with Esc, or a dialog closed, gives the keyboard back
    // to the big buttons: the pupils' keys work at once, with no Tab first.
    void dopoMenuEDialoghiITastiFunzionano()
    {
        premiERilascia(focalizzato(), Qt::Key_2);
        QMenuBar *barra = f->menuBar();
        QAction *stampa = f->findChild<QMenu *>(QStringLiteral("mnuStampaSchede"))->menuAction();
        QTest::mouseClick(barra, Qt::LeftButton, {}, barra->actionGeometry(stampa).center());
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        // The window's own focus: where the keys go (the offscreen platform may leave the closed menu active).
        QTRY_COMPARE(f->focusWidget(), f->Option1(1));
        premiERilascia(f->focusWidget(), Qt::Key_3);
        QCOMPARE(f->focusWidget(), f->Option1(2));
        f->activateWindow();
        QTRY_VERIFY(f->isActiveWindow());

        // Left on the menu bar, the keyboard comes back when a dialog (the teacher's password) closes.
        barra->setFocus(Qt::MenuBarFocusReason);
        QDialog dialogo(f);
        QTimer::singleShot(0, &dialogo, [&dialogo] {
            QVERIFY(QTest::qWaitForWindowActive(&dialogo));
            dialogo.reject();
        });
        dialogo.exec();
        f->activateWindow(); // what the window system does as the dialog goes
        QTRY_COMPARE(f->focusWidget(), f->Option1(2));
        premi(f->focusWidget(), Qt::Key_Return);
        QVERIFY(frmOperativo::caricata());
        QCOMPARE(TipoEsercizio, qint16(2));
    }

    // The teacher reaches the menu bar by keys no pupil presses: F10 or Alt alone, then the arrows;
    // Alt+R opens "Registro". Every key of the bar is unique and none is a pupil's.
    void tastiDellInsegnante()
    {
        QMenuBar *barra = f->menuBar();
        QTest::keyClick(focalizzato(), Qt::Key_F10);
        QVERIFY(barra->hasFocus());
        QCOMPARE(barra->activeAction()->text(), QStringLiteral("Stampa schede"));
        QTest::keyClick(barra, Qt::Key_Right);
        QCOMPARE(barra->activeAction(), f->mnuRegistro());
        QTest::keyClick(barra, Qt::Key_Escape);
        QTRY_COMPARE(indiceFocalizzato(), 0);
        QTest::keyClick(focalizzato(), Qt::Key_Alt, Qt::AltModifier);
        QVERIFY(barra->hasFocus());
        QTest::keyClick(barra, Qt::Key_Escape);
        QTRY_COMPARE(indiceFocalizzato(), 0);

        // Not the password window here: only that the key reaches the item.
        QObject::disconnect(f->mnuRegistro(), &QAction::triggered, nullptr, nullptr);
        QSignalSpy registro(f->mnuRegistro(), &QAction::triggered);
        QTest::keyClick(focalizzato(), Qt::Key_R, Qt::AltModifier);
        QCOMPARE(registro.count(), 1);
        // A plain R stays the voice's key.
        QTest::keyClick(focalizzato(), Qt::Key_R);
        QCOMPARE(registro.count(), 1);

        QList<QKeySequence> tasti{QKeySequence(Qt::Key_F10)};
        for (QAction *a : barra->actions())
            tasti << a->shortcut() << QKeySequence::mnemonic(a->text());
        tasti << QKeySequence::mnemonic(f->casellaVoce()->text());
        tasti.removeAll(QKeySequence());
        QCOMPARE(QSet<QKeySequence>(tasti.cbegin(), tasti.cend()).size(), tasti.size());
        QVERIFY(tasti.contains(QKeySequence(Qt::ALT | Qt::Key_R)));
        for (const QKeySequence &t : tasti) {
            const QKeyCombination c = t[0];
            QVERIFY2(c.key() == Qt::Key_F10 || (c.keyboardModifiers() & (Qt::AltModifier | Qt::ControlModifier)),
                     qPrintable(t.toString()));
        }
    }

    void chiudereLaFinestraConAboutApertoFinisceIlProgramma()
    {
        QSignalSpy fine(&RegistroFinestre::istanza(), &RegistroFinestre::programmaTerminato);
        f->mnuInfo()->trigger();
        f->close();
        QVERIFY(!frmAutore::caricata());
        QVERIFY(!FrmInizio::caricata());
        QCOMPARE(fine.count(), 1);
        AmbienteTest::elabora();
        QVERIFY(RegistroFinestre::istanza().caricate().isEmpty());
    }

    void tendineSiApronoESiRichiudonoAdOgniRidimensionamento()
    {
        // After the first show the opening runs to its end.
        QTRY_VERIFY_WITH_TIMEOUT(!f->timerTendine()->isActive(), 10000);
        QCOMPARE(f->Picture1()->width(), 0);
        QCOMPARE(f->Picture2()->width(), 0);

        f->showNormal();
        f->resize(700, 500);
        AmbienteTest::elabora();
        QVERIFY(f->timerTendine()->isActive());
        QCOMPARE(f->tendine().sinistra(), static_cast<int>(f->larghezzaEsterna()) / 2);
        // Docked: full height, at the edges, covering the middle.
        QCOMPARE(f->Picture1()->geometry().topLeft(), QPoint(0, 0));
        QCOMPARE(f->Picture1()->height(), f->client()->height());
        QCOMPARE(f->Picture2()->geometry().right(), f->client()->width() - 1);
        QVERIFY(f->Picture1()->width() + f->Picture2()->width() >= f->client()->width());
        QCOMPARE(f->Picture2()->grab().toImage().pixel(2, 2), qRgb(255, 128, 255));
        QCOMPARE(f->timerTendine()->interval(), 10);
        QCOMPARE(f->timerTendine()->timerType(), Qt::PreciseTimer);

        // The curtains work while the keys do.
        premiERilascia(focalizzato(), Qt::Key_2);
        QCOMPARE(indiceFocalizzato(), 1);

        // Minimizing and restoring replay the opening too.
        QTRY_VERIFY_WITH_TIMEOUT(!f->timerTendine()->isActive(), 10000);
        f->showMinimized();
        f->showNormal();
        AmbienteTest::elabora();
        QVERIFY(f->timerTendine()->isActive());
        QVERIFY(f->Picture1()->width() > 0);

        // A resize storm leaves one opening that still ends.
        for (int i = 0; i < 50; ++i)
            f->resize(600 + i * 7, 450 + i * 3);
        QTRY_VERIFY_WITH_TIMEOUT(!f->timerTendine()->isActive(), 10000);
        QCOMPARE(f->Picture1()->width(), 0);
        QCOMPARE(f->Picture2()->width(), 0);
    }
};

QTEST_MAIN(TestFrmInizio)
#include "test_frm_inizio.moc"
