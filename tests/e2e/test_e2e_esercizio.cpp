#include "registro/Registro.h"
#include "support/ProgrammaReale.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <functional>

namespace {

constexpr QRgb rosa = qRgb(255, 192, 255);
constexpr QRgb pesca = qRgb(255, 224, 192);
constexpr QRgb arancio = qRgb(255, 192, 128);
constexpr QRgb blu = qRgb(0, 0, 255);
const QString titolo = QStringLiteral("Costruisci l'insieme consecutivo minore");

// Slot lefts and tops inside the two set frames, in design twips.
constexpr int sinistraPrimo[15] = {300,  1140, 1950, 2790, 3630, 300,  1140, 1950,
                                   2790, 3630, 300,  1110, 1920, 2760, 3600};
constexpr int altoPrimo[15] = {270, 270, 270, 270, 270, 1170, 1170, 1170, 1170, 1170, 2010, 2010, 2010, 2010, 2010};
constexpr int sinistraSecondo[15] = {240,  1080, 1920, 2775, 3630, 255,  1080, 1920,
                                     2775, 3630, 255,  1095, 1920, 2760, 3600};
constexpr int altoSecondo[15] = {255, 255, 255, 255, 255, 1140, 1155, 1155, 1155, 1155, 2025, 2040, 2040, 2040, 2040};

// What the exercise window shows, read from a screenshot of its client area.
struct Vista {
    QImage schermo;
    QRect finestra;

    QPoint punto(int x, int y) const
    {
        return {finestra.x() + qRound(finestra.width() * x / 11910.0),
                finestra.y() + qRound(finestra.height() * y / 8580.0)};
    }
    QRgb colore(int x, int y) const { return schermo.pixel(punto(x, y)); }
    QRect area(int x, int y, int l, int a) const
    {
        return QRect(punto(x, y), punto(x + l, y + a)).adjusted(2, 2, -2, -2);
    }

    int contaSe(const QRect &r, const std::function<bool(QRgb)> &condizione) const
    {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += condizione(schermo.pixel(x, y)) ? 1 : 0;
        return n;
    }
    // Slots whose area is not all the frame's pink hold a picture.
    int elementi(int cornice, const int *sinistre, const int *alti) const
    {
        int n = 0;
        for (int k = 0; k < 15; ++k)
            if (contaSe(area(cornice + sinistre[k], 1020 + alti[k], 735, 735), [](QRgb c) { return c != rosa; }) > 100)
                ++n;
        return n;
    }
    int primo() const { return elementi(570, sinistraPrimo, altoPrimo); }
    int secondo() const { return elementi(6075, sinistraSecondo, altoSecondo); }
    int bluIn(int x, int y, int l, int a) const
    {
        return contaSe(area(x, y, l, a), [](QRgb c) { return c == blu; });
    }
    bool verdetto() const { return bluIn(270, 4830, 5055, 975) > 200; }
    bool esatte() const { return bluIn(300 + 1035, 6300 + 960, 810, 480) > 10; }
    bool errate() const { return bluIn(300 + 1965, 6300 + 960, 810, 480) > 10; }

    // Two points tell the panels apart: ESCI or the help panel's ground or OK, and VERIFICA or SI or the ground.
    static bool tastoColorato(QRgb c) { return c == pesca || c == arancio; }
    bool tastierino() const { return tastoColorato(colore(7000, 7500)) && tastoColorato(colore(5750, 6700)); }
    bool aiuto() const { return colore(7000, 7500) == rosa && tastoColorato(colore(5750, 6700)); }
    bool intervento() const
    {
        const QRgb ok = colore(7000, 7500);
        return ok != rosa && !tastoColorato(ok) && colore(5750, 6700) == rosa;
    }
    // The focused keypad button takes the stronger orange.
    bool fuocoSu(int tasto) const
    {
        static const QPoint angoli[] = {{90, 420}, {2805, 420}, {90, 1440}, {2805, 1440}, {105, 2505}};
        return colore(5370 + angoli[tasto].x() + 150, 4800 + angoli[tasto].y() + 150) == arancio;
    }
};

} // namespace

class TestE2eEsercizio : public QObject {
    Q_OBJECT

    ProgrammaReale programma;
    QRect finestra;

    // The screen once it shows what the step waits for (the program may be slow
    // under the sanitizers), or the last screenshot after the time is up.
    Vista attendi(const std::function<bool(const Vista &)> &pronta)
    {
        QElapsedTimer tempo;
        tempo.start();
        Vista v;
        do {
            QTest::qWait(150);
            v = {programma.schermata(), finestra};
        } while (!pronta(v) && tempo.elapsed() < 8000);
        return v;
    }
    bool tasti(const QString &sequenza, int ripeti = 1)
    {
        QStringList nomi;
        for (int i = 0; i < ripeti; ++i)
            nomi += sequenza.split(QLatin1Char(' '));
        return nomi.isEmpty() || programma.tasti(nomi);
    }

    qulonglong attendiEsercizio()
    {
        return programma.attendiFinestra(QStringLiteral("Costruisci l'insieme consecutivo minore"));
    }

private slots:
    void soloTastieraDallaSceltaAdESCI()
    {
        if (!programma.motivoAssenza().isEmpty())
            QSKIP(qPrintable(programma.motivoAssenza()));
        QVERIFY(programma.avvia());
        QVERIFY(programma.attendiFinestra(QStringLiteral("GLI ZORVANI")) != 0);
        // Active, the start window has its first button focused: Enter chooses it.
        QTRY_COMPARE_WITH_TIMEOUT(programma.titoloAttivo(), QStringLiteral("GLI ZORVANI"), 5000);
        QVERIFY(tasti(QStringLiteral("Return")));
        const qulonglong id = attendiEsercizio();
        QVERIFY(id != 0);
        QTRY_COMPARE_WITH_TIMEOUT(programma.titoloAttivo(), titolo, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(programma.statoFinestra(id).contains(QLatin1String("MAXIMIZED_VERT")), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(programma.geometria(id).width(), 1024, 5000);
        finestra = programma.geometria(id);

        // Opened: keypad in front, AGGIUNGI focused, second set empty.
        Vista v = attendi([](const Vista &v) { return v.tastierino() && v.fuocoSu(0) && v.primo() > 0; });
        const int n = v.primo();
        QVERIFY2(n >= 1 && n <= 8, qPrintable(QString::number(n)));
        QVERIFY(v.tastierino());
        QVERIFY(v.fuocoSu(0));
        QCOMPARE(v.secondo(), 0);
        QVERIFY(!v.verdetto());

        // Right: N - 1 elements with Enter on AGGIUNGI, then 3 and Enter. With N = 1 the
        // answer is the empty set: TOGLI on it changes nothing but makes VERIFICA available.
        QVERIFY(n > 1 ? tasti(QStringLiteral("Return"), n - 1) : tasti(QStringLiteral("2 Return")));
        QCOMPARE(attendi([n](const Vista &v) { return v.secondo() == n - 1; }).secondo(), n - 1);
        QVERIFY(tasti(QStringLiteral("3 Return")));
        v = attendi([](const Vista &v) { return v.verdetto() && v.fuocoSu(3); });
        QVERIFY(v.verdetto());
        QVERIFY(v.esatte() && !v.errate());
        QVERIFY(v.tastierino());
        QVERIFY(v.fuocoSu(3));

        // AVANTI: a new exercise, focus on TOGLI.
        QVERIFY(tasti(QStringLiteral("Return")));
        v = attendi([](const Vista &v) { return !v.verdetto() && v.fuocoSu(1); });
        const int n2 = v.primo();
        QVERIFY(n2 >= 1 && n2 <= 8);
        QCOMPARE(v.secondo(), 0);
        QVERIFY(!v.verdetto());
        QVERIFY(v.fuocoSu(1));

        // Wrong three times, NO each time: the third refusal brings the intervention.
        for (int volta = 1; volta <= 3; ++volta) {
            QVERIFY(tasti(QStringLiteral("1")));
            QVERIFY(tasti(QStringLiteral("Return"), n2));
            QCOMPARE(attendi([n2](const Vista &v) { return v.secondo() == n2; }).secondo(), n2);
            QVERIFY(tasti(QStringLiteral("3 Return")));
            v = attendi([](const Vista &v) { return v.aiuto(); });
            QVERIFY(v.aiuto());
            QVERIFY(v.verdetto());
            QVERIFY(v.errate());
            QCOMPARE(v.secondo(), n2);
            QVERIFY(tasti(QStringLiteral("n Return")));
            v = attendi(
                [volta](const Vista &v) { return volta < 3 ? v.tastierino() && v.fuocoSu(1) : v.intervento(); });
            if (volta < 3) {
                QVERIFY(v.tastierino());
                QVERIFY(v.fuocoSu(1));
                QCOMPARE(v.secondo(), 0);
                QVERIFY(!v.verdetto());
            }
        }
        QVERIFY(v.intervento());
        QVERIFY(v.verdetto());

        // OK held down: the solution shows and stays; the repeats do not run AVANTI.
        QVERIFY(programma.tastoGiu(QStringLiteral("Return")));
        QTest::qWait(1200);
        QVERIFY(programma.tastoSu(QStringLiteral("Return")));
        v = attendi([](const Vista &v) { return v.tastierino() && v.fuocoSu(3); });
        QVERIFY(v.tastierino());
        QVERIFY(v.fuocoSu(3));
        QCOMPARE(v.secondo(), n2 - 1);
        QCOMPARE(v.primo(), n2);
        QVERIFY(!v.verdetto());

        // ESCI: back to the start window, then its own exit ends the program.
        QVERIFY(tasti(QStringLiteral("5 Return")));
        QTRY_COMPARE_WITH_TIMEOUT(programma.titoloAttivo(), QStringLiteral("GLI ZORVANI"), 5000);
        QVERIFY(tasti(QStringLiteral("4 Return")));
        QVERIFY(programma.attendiFine(10000));
        QCOMPARE(programma.statoUscita(), QProcess::NormalExit);
        QVERIFY2(programma.codiceUscita() == 0, programma.erroriProgramma().constData());
    }

    // A pupil logging out or the PC shutting down (SIGTERM, SIGHUP) ends the program as closing
    // its windows does: a wrong answer, whose row waits for SI or NO, is in the register. So
    // does the display going away, on a display of the test's own, though Qt then ends with 1.
    void unaFineDaFuoriNonPerdeLaRisposta_data()
    {
        QTest::addColumn<int>("segnale");
        QTest::addColumn<int>("codice");
        QTest::newRow("SIGTERM") << int(SIGTERM) << 0;
        QTest::newRow("SIGHUP") << int(SIGHUP) << 0;
        QTest::newRow("schermo perso") << 0 << 1;
    }
    void unaFineDaFuoriNonPerdeLaRisposta()
    {
        QFETCH(int, segnale);
        QFETCH(int, codice);
        if (!programma.motivoAssenza().isEmpty())
            QSKIP(qPrintable(programma.motivoAssenza()));
        QTemporaryDir cartella;
        const QString file = cartella.filePath(QStringLiteral("registro.sqlite"));
        const auto registro = Registro::apri(file);
        const std::optional<Classe> classe = registro->creaClasse(QStringLiteral("2ª B"));
        QVERIFY(classe);
        QList<Alunno> alunni{{{}, classe->id, QStringLiteral("Anna"), {}}};
        QVERIFY(registro->aggiungiAlunni(classe->id, alunni));

        QProcess schermo, gestore;
        const QString display = programma.display();
        const auto ripristina = qScopeGuard([&] {
            programma.impostaDisplay(display);
            for (QProcess *p : {&gestore, &schermo}) {
                p->kill();
                p->waitForFinished(5000);
            }
        });
        if (!segnale) {
            // Xvfb itself, through a shell it replaces, writes the free display's number there.
            const QString numero = cartella.filePath(QStringLiteral("display"));
            schermo.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"),
                                                      QStringLiteral("exec Xvfb -displayfd 3 -screen 0 1024x768x24 "
                                                                     "-nolisten tcp 3>\"$0\""),
                                                      numero});
            QVERIFY(schermo.waitForStarted(5000));
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(numero).size() > 0, 10000);
            QFile letto(numero);
            QVERIFY(letto.open(QIODevice::ReadOnly));
            programma.impostaDisplay(QStringLiteral(":") + QString::fromLatin1(letto.readAll().trimmed()));
            QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
            ambiente.insert(QStringLiteral("DISPLAY"), programma.display());
            gestore.setProcessEnvironment(ambiente);
            gestore.start(QStringLiteral("openbox"), {});
            QVERIFY(gestore.waitForStarted(5000));
        }

        QVERIFY(programma.avvia({QStringLiteral("--registro"), file}));
        QVERIFY(programma.attendiFinestra(QStringLiteral("GLI ZORVANI")) != 0);
        QTRY_COMPARE_WITH_TIMEOUT(programma.titoloAttivo(), QStringLiteral("GLI ZORVANI"), 5000);
        QVERIFY(tasti(QStringLiteral("Return")));
        QTRY_COMPARE_WITH_TIMEOUT(programma.titoloAttivo(), QStringLiteral("Chi sei?"), 5000);
        QVERIFY(tasti(QStringLiteral("Return")));
        const qulonglong id = programma.attendiFinestra(QStringLiteral("Anna - ") + titolo);
        QVERIFY(id != 0);
        QTRY_COMPARE_WITH_TIMEOUT(programma.geometria(id).width(), 1024, 5000);
        finestra = programma.geometria(id);
        Vista v = attendi([](const Vista &v) { return v.tastierino() && v.fuocoSu(0) && v.primo() > 0; });
        const int n = v.primo();
        QVERIFY(n >= 1 && n <= 8);
        // N elements where N - 1 are asked for: wrong, and the help offered.
        QVERIFY(tasti(QStringLiteral("Return"), n));
        QCOMPARE(attendi([n](const Vista &v) { return v.secondo() == n; }).secondo(), n);
        QVERIFY(tasti(QStringLiteral("3 Return")));
        QVERIFY(attendi([](const Vista &v) { return v.aiuto(); }).aiuto());

        if (segnale) {
            QVERIFY(programma.segnale(segnale));
        } else {
            schermo.terminate();
            QVERIFY(schermo.waitForFinished(5000));
        }
        QVERIFY(programma.attendiFine(20000));
        QCOMPARE(programma.statoUscita(), QProcess::NormalExit);
        QVERIFY2(programma.codiceUscita() == codice, programma.erroriProgramma().constData());
        QList<Registro::RigaRisultato> righe;
        QVERIFY(registro->risultati({}, [&](const Registro::RigaRisultato &r) { righe << r; }));
        QCOMPARE(righe.size(), 1);
        QCOMPARE(righe[0].nomeAlunno, QStringLiteral("Anna"));
        QCOMPARE(righe[0].risultato.risposta, n);
        QVERIFY(!righe[0].risultato.esatto);
        QCOMPARE(righe[0].risultato.aiuto, Risultato::Aiuto::Offerto);
    }
};

QTEST_GUILESS_MAIN(TestE2eEsercizio)
#include "test_e2e_esercizio.moc"
