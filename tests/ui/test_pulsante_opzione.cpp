#include "support/AmbienteTest.h"
#include "support/TastiTest.h"
#include "ui/LetturaTasto.h"
#include "ui/OsservatoreRilasci.h"
#include "ui/PulsanteOpzione.h"

#include <QButtonGroup>
#include <QSignalSpy>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>

namespace {

using TastiTest::tastoDiSistema;

} // namespace

class TestPulsanteOpzione : public QObject {
    Q_OBJECT
private slots:
    void codiciDeiTasti()
    {
        auto codice = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
            return CodiciTasto::codice(QKeyEvent(QEvent::KeyPress, k, m));
        };
        QCOMPARE(codice(Qt::Key_1), 49);
        QCOMPARE(codice(Qt::Key_5), 53);
        QCOMPARE(codice(Qt::Key_1, Qt::KeypadModifier), 97);
        QCOMPARE(codice(Qt::Key_4, Qt::KeypadModifier), 100);
        QCOMPARE(codice(Qt::Key_Return), 13);
        QCOMPARE(codice(Qt::Key_Enter, Qt::KeypadModifier), 13);
        QCOMPARE(codice(Qt::Key_S, Qt::ShiftModifier), 83);
        QCOMPARE(codice(Qt::Key_N), 78);
        QCOMPARE(codice(Qt::Key_F2), 113);
        QCOMPARE(codice(Qt::Key_Tab), 9);
        QVERIFY(codice(Qt::Key_Left) > 255);
        QVERIFY(codice(Qt::Key_Escape) != 13);

        // Shift is not looked at: the digit row keeps its digits whatever symbol the layout puts there.
        auto fisico = [](Qt::Key k, quint32 scan, Qt::KeyboardModifiers m) {
            return CodiciTasto::codice(QKeyEvent(QEvent::KeyPress, k, m, scan, 0, 0));
        };
        QCOMPARE(fisico(Qt::Key_Exclam, 10, Qt::ShiftModifier), 49);
        QCOMPARE(fisico(Qt::Key_Percent, 14, Qt::ShiftModifier), 53);
        QCOMPARE(fisico(Qt::Key_Equal, 19, Qt::ShiftModifier), 48);
        QCOMPARE(fisico(Qt::Key_5, 14, Qt::NoModifier), 53);
        QCOMPARE(fisico(Qt::Key_S, 39, Qt::ShiftModifier), 83);
        // The numeric keypad's keys are not the digit row, whatever their scan codes.
        QCOMPARE(fisico(Qt::Key_End, 87, Qt::KeypadModifier), codice(Qt::Key_End, Qt::KeypadModifier));
    }

    void passareAdAltroProgrammaValeComeRilascio()
    {
        QSignalSpy tasti(&OsservatoreRilasci::istanza(), &OsservatoreRilasci::tastoRilasciato);
        QSignalSpy mouse(&OsservatoreRilasci::istanza(), &OsservatoreRilasci::mouseRilasciato);
        QEvent disattivata(QEvent::ApplicationDeactivate);
        QCoreApplication::sendEvent(qApp, &disattivata);
        QCOMPARE(tasti.count(), 1);
        QCOMPARE(mouse.count(), 1);
    }

    void ogniTastoArrivaAlPulsanteENonSpostaIlFuoco()
    {
        QWidget finestra;
        auto *a = new PulsanteOpzione(&finestra);
        auto *b = new PulsanteOpzione(&finestra);
        QButtonGroup gruppo;
        gruppo.addButton(a, 7);
        finestra.show();
        QVERIFY(QTest::qWaitForWindowActive(&finestra));
        a->setFocus();
        QSignalSpy giu(a, &PulsanteOpzione::tastoGiu);
        QSignalSpy car(a, &PulsanteOpzione::carattere);
        QTest::keyClick(a, Qt::Key_Tab);
        QTest::keyClick(a, Qt::Key_Space);
        QTest::keyClick(a, Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), a);
        QCOMPARE(giu.count(), 3);
        QCOMPARE(giu.at(0), QVariantList({7, 9}));
        QCOMPARE(giu.at(1), QVariantList({7, 32}));
        // Discarding the key code leaves the character to its own event.
        QCOMPARE(car.count(), 2);
        QCOMPARE(car.at(0), QVariantList({7, 9}));
        QCOMPARE(car.at(1), QVariantList({7, 32}));
        Q_UNUSED(b);
    }

    void ripetizioniEDisabilitatoNonArrivano()
    {
        QWidget finestra;
        auto *a = new PulsanteOpzione(&finestra);
        finestra.show();
        a->setFocus();
        QSignalSpy giu(a, &PulsanteOpzione::tastoGiu);
        QSignalSpy su(a, &PulsanteOpzione::tastoSu);
        QSignalSpy mouse(a, &PulsanteOpzione::mouseGiu);
        QTest::sendKeyEvent(QTest::Press, a, Qt::Key_Return, '\r', Qt::NoModifier);
        QKeyEvent ripetuto(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
        QApplication::sendEvent(a, &ripetuto);
        QCOMPARE(giu.count(), 1);
        QCOMPARE(su.count(), 0);

        QTest::mousePress(a, Qt::RightButton);
        QCOMPARE(mouse.count(), 1);
        QCOMPARE(mouse.at(0).at(1).value<Qt::MouseButton>(), Qt::RightButton);

        a->setEnabled(false);
        QVERIFY(!a->abilitato());
        QTest::mousePress(a, Qt::LeftButton);
        QTest::keyClick(a, Qt::Key_Return);
        QCOMPARE(mouse.count(), 1);
        QCOMPARE(giu.count(), 1);

        // Its own Enabled property is not its container's.
        a->setEnabled(true);
        finestra.setEnabled(false);
        QVERIFY(a->abilitato());
        QVERIFY(!a->isEnabled());
    }

    void ilDoppioClicCheFaComparireUnPulsanteNonLoPremeAncheSeSpostato()
    {
        QWidget finestra;
        finestra.resize(300, 100);
        auto *apri = new PulsanteOpzione(&finestra);
        auto *comparso = new PulsanteOpzione(&finestra);
        apri->setGeometry(0, 0, 100, 50);
        comparso->setGeometry(200, 0, 100, 50);
        comparso->hide();
        // It appears away from the pointer, then the window's layout puts it there (a window maximized).
        connect(apri, &PulsanteOpzione::mouseGiu, &finestra, [comparso] {
            comparso->show();
            comparso->move(0, 0);
            comparso->raise();
        });
        finestra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&finestra));
        QSignalSpy premuto(comparso, &PulsanteOpzione::mouseGiu);
        QTest::mouseDClick(finestra.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(comparso->isVisible());
        QCOMPARE(premuto.count(), 0);
        // A press after the interval acts.
        QTest::mouseClick(finestra.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(premuto.count(), 1);
    }

    void coppieRipetuteDiX11DiventanoUnaPressione()
    {
        OsservatoreRilasci &o = OsservatoreRilasci::istanza();
        o.impostaCorrezioneRipetizioni(true);
        QWidget finestra;
        auto *a = new PulsanteOpzione(&finestra);
        finestra.show();
        a->setFocus();
        QSignalSpy giu(a, &PulsanteOpzione::tastoGiu);
        QSignalSpy su(a, &PulsanteOpzione::tastoSu);
        QSignalSpy rilasci(&o, &OsservatoreRilasci::tastoRilasciato);

        // Held: press, then release + press pairs sharing a timestamp, then the real release.
        tastoDiSistema(a, QEvent::KeyPress, Qt::Key_2, 1000, false, QStringLiteral("2"));
        for (quint64 t = 1500; t < 1700; t += 40) {
            tastoDiSistema(a, QEvent::KeyRelease, Qt::Key_2, t, false, QStringLiteral("2"));
            tastoDiSistema(a, QEvent::KeyPress, Qt::Key_2, t, false, QStringLiteral("2"));
        }
        tastoDiSistema(a, QEvent::KeyRelease, Qt::Key_2, 1800, false, QStringLiteral("2"));
        QCOMPARE(giu.count(), 1);
        QCOMPARE(su.count(), 0); // the last release waits for a possible repeat
        QTRY_COMPARE(su.count(), 1);
        QCOMPARE(rilasci.count(), 1);

        // Two quick taps are two presses, each with its release before the next press.
        tastoDiSistema(a, QEvent::KeyPress, Qt::Key_3, 2000, false, QStringLiteral("3"));
        tastoDiSistema(a, QEvent::KeyRelease, Qt::Key_3, 2050, false, QStringLiteral("3"));
        tastoDiSistema(a, QEvent::KeyPress, Qt::Key_3, 2090, false, QStringLiteral("3"));
        QCOMPARE(giu.count(), 3);
        QCOMPARE(su.count(), 2);
        tastoDiSistema(a, QEvent::KeyRelease, Qt::Key_3, 2150, false, QStringLiteral("3"));
        QTRY_COMPARE(su.count(), 3);
        o.impostaCorrezioneRipetizioni(false);
    }
};

QTEST_MAIN(TestPulsanteOpzione)
#include "test_pulsante_opzione.moc"
