#include "app/FrmInizio.h"
#include "app/frmAutore.h"
#include "core/Twips.h"
#include "exercise/frmOperativo.h"
#include "printing/frmStampante.h"
#include "support/AmbienteTest.h"
#include "support/Didascalie.h"
#include "worksheets/frmStampaSchede.h"
#include "worksheets/frmStampaSchede2.h"
#include "worksheets/frmStampaSchede3.h"

#include <QScreen>
#include <QTest>

// Every window on the screen it opens on, the large ones restoring centred, and every caption
// wholly visible. Run on a 1024x768 screen, on a 640x480 one and at a display scale of 2.
class TestSchermi : public QObject {
    Q_OBJECT

    static QString elenco(const QStringList &l) { return l.join(QStringLiteral("; ")); }

    void controlla(const Finestra &f, const char *come)
    {
        AmbienteTest::elabora();
        const QString fuori = Didascalie::fuoriSchermo(f);
        QVERIFY2(fuori.isEmpty(), qPrintable(QStringLiteral("%1: %2").arg(come, fuori)));
        const QStringList tagliate = Didascalie::tagliate(f);
        QVERIFY2(tagliate.isEmpty(),
                 qPrintable(QStringLiteral("%1 %2: %3").arg(f.windowTitle(), come, elenco(tagliate))));
    }

    void grande(Finestra &f)
    {
        f.mostra();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QVERIFY2(f.isMaximized(), qPrintable(f.windowTitle()));
        controlla(f, "maximized");
        if (QTest::currentTestFailed())
            return;
        f.showNormal();
        const QRect disponibile = f.screen()->availableGeometry();
        QTRY_VERIFY(!f.isMaximized());
        // The design size when the screen has room for it, else the screen (this one has no frames).
        const QSize progetto(Twips::inPixel(f.definizione().larghezzaClient),
                             Twips::inPixel(f.definizione().altezzaClient));
        const int barra = f.menuWidget() ? f.menuWidget()->sizeHint().height() : 0;
        QTRY_COMPARE(f.frameGeometry().size(), (progetto + QSize(0, barra)).boundedTo(disponibile.size()));
        QVERIFY(qAbs(f.frameGeometry().center().x() - disponibile.center().x()) <= 1);
        QVERIFY(qAbs(f.frameGeometry().center().y() - disponibile.center().y()) <= 1);
        controlla(f, "restored");
        f.showMinimized();
        f.mostra();
        controlla(f, "minimized and restored");
    }

private slots:
    void initTestCase()
    {
        qInfo("screen %dx%d at scale %g", QGuiApplication::primaryScreen()->availableGeometry().width(),
              QGuiApplication::primaryScreen()->availableGeometry().height(),
              QGuiApplication::primaryScreen()->devicePixelRatio());
        QVERIFY(!AmbienteTest::casaTemporanea().isEmpty());
    }
    void cleanup() { AmbienteTest::chiudiTutto(); }

    void finestreGrandi()
    {
        grande(FrmInizio::istanza());
        for (int tipo = 0; tipo < 3 && !QTest::currentTestFailed(); ++tipo) {
            FrmInizio::istanza().AvviaScelta(tipo);
            grande(frmOperativo::istanza());
            frmOperativo::istanza().scarica();
            AmbienteTest::elabora();
        }
        if (!QTest::currentTestFailed())
            grande(frmStampaSchede::istanza());
        if (!QTest::currentTestFailed())
            grande(frmStampaSchede2::istanza());
        if (!QTest::currentTestFailed())
            grande(frmStampaSchede3::istanza());
    }

    void finestrePiccole()
    {
        FrmInizio::istanza().mostra();
        for (Finestra *f :
             {static_cast<Finestra *>(&frmAutore::istanza()), static_cast<Finestra *>(&frmStampante::istanza())}) {
            f->mostraModale();
            QVERIFY(QTest::qWaitForWindowExposed(f));
            controlla(*f, "modal");
            f->scarica();
            AmbienteTest::elabora();
        }
    }
};

QTEST_MAIN(TestSchermi)
#include "test_schermi.moc"
