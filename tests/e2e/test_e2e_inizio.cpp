#include "Identita.h"
#include "support/ProgrammaReale.h"

#include <QProcess>
#include <QTest>

namespace {

constexpr QRgb rosaForte = qRgb(255, 128, 255);
constexpr QRgb rosa = qRgb(255, 192, 255);

// A point of the start window's client area given in design twips.
QPoint punto(const QRect &finestra, int barraMenu, int x, int y)
{
    const double altezzaClient = finestra.height() - barraMenu;
    return {finestra.x() + qRound(finestra.width() * x / 11910.0),
            finestra.y() + barraMenu + qRound(altezzaClient * y / 8280.0)};
}

// Centre of the big button `indice`, which lies in Frame1 at (6240, 2415).
QPoint centroPulsante(const QRect &finestra, int barraMenu, int indice)
{
    static const int cime[] = {150, 1110, 2055, 3000};
    return punto(finestra, barraMenu, 6240 + 120 + 4935 / 2, 2415 + cime[indice] + 795 / 2);
}

// The menu bar's height: the first row from the top that shows the window's pink.
int barraMenu(const QImage &schermo, const QRect &finestra)
{
    const int x = finestra.x() + finestra.width() / 2;
    for (int y = finestra.y(); y < finestra.y() + 80; ++y)
        if (schermo.pixel(x, y) == rosa)
            return y - finestra.y();
    return 0;
}

// With a screen it is the offscreen one the tests run on.
void avvia(QProcess &p, const QStringList &argomenti, bool schermo = false)
{
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    for (const char *v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!schermo || qstrcmp(v, "QT_QPA_PLATFORM") != 0)
            ambiente.remove(QString::fromLatin1(v));
    p.setProcessEnvironment(ambiente);
    p.start(qEnvironmentVariable("QUORVEL_BINARY"), argomenti);
    QVERIFY(p.waitForFinished(10000));
}

} // namespace

class TestE2eInizio : public QObject {
    Q_OBJECT
private slots:
    void senzaSchermoDiceLoEEsce()
    {
        QProcess p;
        avvia(p, {});
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 2);
        const QString errori = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(errori.contains(QLatin1String("schermo grafico")), qPrintable(errori));
        QCOMPARE(errori.count(QLatin1Char('\n')), 1);
    }

    void rigaDiComando_data()
    {
        QTest::addColumn<QStringList>("argomenti");
        QTest::addColumn<bool>("schermo");
        QTest::addColumn<int>("codice");
        QTest::addColumn<QString>("uscita");
        QTest::addColumn<QString>("errore");
        const QString versione = QStringLiteral("Quorvel %1\n").arg(Identita::versione);
        QTest::newRow("aiuto") << QStringList{"--help"} << false << 0 << "  -v, --version"
                               << "";
        QTest::newRow("versione") << QStringList{"--version"} << false << 0 << versione << "";
        QTest::newRow("versione breve") << QStringList{"-v"} << false << 0 << versione << "";
        QTest::newRow("opzione sconosciuta") << QStringList{"--colori", "--help"} << false << 2 << ""
                                             << "quorvel: opzione sconosciuta: --colori\n";
        QTest::newRow("argomento") << QStringList{"scheda.pdf"} << false << 2 << ""
                                   << "argomento inatteso: scheda.pdf";
        // Qt's own options are Qt's to take, once there is a screen for it.
        QTest::newRow("opzione di Qt") << QStringList{"-style", "Fusion", "--version"} << true << 0 << versione << "";
        QTest::newRow("opzione di Qt senza schermo") << QStringList{"-style", "Fusion"} << false << 2 << ""
                                                     << "opzione sconosciuta: -style\n";
        QTest::newRow("sconosciuta dopo Qt") << QStringList{"-style", "Fusion", "-colori"} << true << 2 << ""
                                             << "opzione sconosciuta: -colori\n";
    }

    void rigaDiComando()
    {
        QFETCH(QStringList, argomenti);
        QFETCH(bool, schermo);
        QFETCH(int, codice);
        QFETCH(QString, uscita);
        QFETCH(QString, errore);
        QProcess p;
        avvia(p, argomenti, schermo);
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), codice);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(uscita.isEmpty() ? out.isEmpty() : out.contains(uscita), qPrintable(out));
        QVERIFY2(errore.isEmpty() ? err.isEmpty() : err.contains(errore), qPrintable(err));
    }

    void siApreMassimizzataESiChiudeCon4EInvio()
    {
        ProgrammaReale programma;
        if (!programma.motivoAssenza().isEmpty())
            QSKIP(qPrintable(programma.motivoAssenza()));
        QVERIFY(programma.avvia());
        const qulonglong finestra = programma.attendiFinestra(QStringLiteral("GLI ZORVANI"));
        QVERIFY(finestra != 0);
        QTRY_VERIFY_WITH_TIMEOUT(programma.statoFinestra(finestra).contains(QLatin1String("MAXIMIZED_HORZ")), 5000);
        QVERIFY(programma.statoFinestra(finestra).contains(QLatin1String("MAXIMIZED_VERT")));
        const QRect geometria = programma.geometria(finestra);
        QCOMPARE(geometria.width(), 1024);
        // Closed at first, the curtains cover the window's edges in their own pink.
        const QPoint bordo(geometria.x() + 8, geometria.y() + geometria.height() / 2);
        // A slow machine may take a while to show the first frame: look a few times.
        auto tendinaChiusa = [&] {
            for (int prova = 0; prova < 10; ++prova)
                if (programma.schermata().pixel(bordo) == rosaForte)
                    return true;
            return false;
        };
        QVERIFY(tendinaChiusa());

        // The curtains open: the buttons show, the first one focused.
        QTRY_COMPARE_WITH_TIMEOUT(programma.schermata().pixel(bordo), rosa, 10000);
        QImage schermo = programma.schermata();
        const int barra = barraMenu(schermo, geometria);
        QVERIFY(barra > 10);

        // Minimized and restored, the window plays its curtains again.
        programma.esegui(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), QString::number(finestra)});
        QTRY_VERIFY_WITH_TIMEOUT(programma.statoFinestra(finestra).contains(QLatin1String("HIDDEN")), 5000);
        programma.esegui(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QString::number(finestra)});
        QVERIFY(tendinaChiusa());
        QTRY_COMPARE_WITH_TIMEOUT(programma.schermata().pixel(bordo), rosa, 10000);
        schermo = programma.schermata();
        QCOMPARE(schermo.pixel(centroPulsante(geometria, barra, 0) + QPoint(-150, 0)), rosaForte);
        QCOMPARE(schermo.pixel(centroPulsante(geometria, barra, 1) + QPoint(-150, 0)), rosa);

        // A held Space repeats many times but moves the focus once.
        QVERIFY(programma.tastoGiu(QStringLiteral("space")));
        QTest::qWait(1200);
        QVERIFY(programma.tastoSu(QStringLiteral("space")));
        QTRY_COMPARE_WITH_TIMEOUT(programma.schermata().pixel(centroPulsante(geometria, barra, 1) + QPoint(-150, 0)),
                                  rosaForte, 5000);
        schermo = programma.schermata();
        QCOMPARE(schermo.pixel(centroPulsante(geometria, barra, 0) + QPoint(-150, 0)), rosa);
        QCOMPARE(schermo.pixel(centroPulsante(geometria, barra, 1) + QPoint(-150, 0)), rosaForte);
        QCOMPARE(schermo.pixel(centroPulsante(geometria, barra, 2) + QPoint(-150, 0)), rosa);

        QVERIFY(programma.tasti({QStringLiteral("4"), QStringLiteral("Return")}));
        QVERIFY(programma.attendiFine(5000));
        QCOMPARE(programma.statoUscita(), QProcess::NormalExit);
        QVERIFY2(programma.codiceUscita() == 0, programma.erroriProgramma().constData());
    }
};

QTEST_GUILESS_MAIN(TestE2eInizio)
#include "test_e2e_inizio.moc"
