#include "support/AmbienteTest.h"
#include "ui/Cornice.h"
#include "ui/Etichetta.h"
#include "ui/Finestra.h"
#include "ui/PulsanteOpzione.h"
#include "ui/RegistroFinestre.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

constexpr DefinizioneControllo definizioni[] = {
    {.tipo = TipoControllo::Etichetta, .nome = "Davanti", .posizione = {150, 150, 1500, 1500}, .testo = "<b>x</b>"},
    {.tipo = TipoControllo::Cornice,
     .nome = "Frame1",
     .posizione = {1500, 1500, 6000, 4500},
     .sfondo = QColor(1, 2, 3)},
    {.tipo = TipoControllo::PulsanteOpzione,
     .nome = "Opt",
     .indice = 4,
     .contenitore = "Frame1",
     .posizione = {300, 3000, 1500, 750}},
    {.tipo = TipoControllo::PulsanteOpzione,
     .nome = "Opt",
     .indice = 0,
     .contenitore = "Frame1",
     .posizione = {300, 300, 1500, 750}},
    {.tipo = TipoControllo::PulsanteOpzione,
     .nome = "Opt",
     .indice = 1,
     .contenitore = "Frame1",
     .posizione = {300, 1200, 1500, 750}},
    {.tipo = TipoControllo::Elenco, .nome = "Combo1", .posizione = {9000, 300, 1500, 330}},
    {.tipo = TipoControllo::Etichetta, .nome = "Dietro", .posizione = {0, 0, 3000, 3000}, .sfondo = QColor(9, 9, 9)},
};

class Prova : public FinestraUnica<Prova> {
public:
    static inline int caricamenti = 0;
    static inline int scarichi = 0;
    static inline bool scaricaAltre = false;

    Prova()
        : FinestraUnica(DefinizioneFinestra{.titolo = "Prova",
                                            .larghezzaClient = 12000,
                                            .altezzaClient = 9000,
                                            .sfondo = QColor(255, 255, 255),
                                            .grande = true})
    {
        costruisci(definizioni);
        azione = aggiungiAzioneBarra("mnuProva", QStringLiteral("Prova"));
        timer = aggiungiTimer("Timer1", 10);
    }
    using Finestra::array;
    using Finestra::controllo;

    int campo = 0;
    QAction *azione = nullptr;
    QTimer *timer = nullptr;

protected:
    void Form_Load() override { ++caricamenti; }
    void Form_Unload() override
    {
        ++scarichi;
        if (scaricaAltre)
            RegistroFinestre::istanza().chiudiTutto();
    }
};

class Piccola : public FinestraUnica<Piccola> {
public:
    Piccola() : FinestraUnica(DefinizioneFinestra{.titolo = "Piccola", .larghezzaClient = 3000, .altezzaClient = 1500})
    {
    }
};

} // namespace

class TestFinestra : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        Prova::caricamenti = Prova::scarichi = 0;
        Prova::scaricaAltre = false;
    }
    void cleanup() { AmbienteTest::chiudiTutto(); }

    void unaSolaIstanzaCaricataAlPrimoRiferimento()
    {
        QVERIFY(!Prova::caricata());
        Prova &a = Prova::istanza();
        Prova &b = Prova::istanza();
        QCOMPARE(&a, &b);
        QCOMPARE(Prova::caricamenti, 1);
        QVERIFY(RegistroFinestre::istanza().caricata(&a));
        QVERIFY(!a.isVisible());
    }

    void nascondereConservaScaricareRiparteDaZero()
    {
        Prova::istanza().campo = 5;
        Prova::istanza().mostra();
        Prova::istanza().nascondi();
        QVERIFY(Prova::caricata());
        QCOMPARE(Prova::istanza().campo, 5);
        QCOMPARE(Prova::caricamenti, 1);

        Prova *vecchia = &Prova::istanza();
        vecchia->scarica();
        QVERIFY(!Prova::caricata());
        QCOMPARE(Prova::scarichi, 1);
        vecchia->scarica(); // a second unload is a no-op
        QCOMPARE(Prova::scarichi, 1);
        QCOMPARE(Prova::istanza().campo, 0);
        QCOMPARE(Prova::caricamenti, 2);
    }

    void ilProgrammaFinisceQuandoNessunaFinestraECaricata()
    {
        QSignalSpy fine(&RegistroFinestre::istanza(), &RegistroFinestre::programmaTerminato);
        Prova::istanza().mostra();
        Piccola::istanza(); // loaded, never shown: still keeps the program alive
        Prova::istanza().close();
        AmbienteTest::elabora();
        QVERIFY(!Prova::caricata());
        QCOMPARE(fine.count(), 0);
        Piccola::istanza().scarica();
        QCOMPARE(fine.count(), 1);
        QVERIFY(RegistroFinestre::istanza().caricate().isEmpty());
    }

    void chiudiTuttoSopportaScarichiAnnidati()
    {
        QSignalSpy fine(&RegistroFinestre::istanza(), &RegistroFinestre::programmaTerminato);
        Prova::scaricaAltre = true;
        Prova::istanza();
        Piccola::istanza();
        RegistroFinestre::istanza().chiudiTutto();
        QVERIFY(!Prova::caricata());
        QVERIFY(!Piccola::caricata());
        QCOMPARE(fine.count(), 1);
        QCOMPARE(Prova::scarichi, 1);

        // Closed by its close box, a window whose unload closes everything takes the others along.
        Piccola::istanza();
        Prova::istanza().mostra();
        Prova::istanza().close();
        QVERIFY(!Piccola::caricata());
        QVERIFY(!Prova::caricata());
        QCOMPARE(fine.count(), 2);
    }

    void controlliDaDefinizioni()
    {
        Prova &f = Prova::istanza();
        const auto opt = f.array<PulsanteOpzione>("Opt");
        QCOMPARE(opt.conta(), 3);
        QVERIFY(opt(0) && opt(1) && opt(4));
        QVERIFY(!opt.contiene(2) && !opt(2));
        QCOMPARE(opt(4)->parentWidget(), f.controllo<Cornice>("Frame1"));
        QCOMPARE(opt(4)->geometry(), QRect(20, 200, 100, 50));

        // The flat list keeps the definition order, menu item and timer after the controls.
        QStringList nomi;
        for (const Controllo &c : f.controlli())
            nomi << c.nome;
        QCOMPARE(nomi,
                 QStringList({"Davanti", "Frame1", "Opt", "Opt", "Opt", "Combo1", "Dietro", "mnuProva", "Timer1"}));

        // Captions are never markup.
        QCOMPARE(f.controllo<Etichetta>("Davanti")->textFormat(), Qt::PlainText);

        // Earlier definitions lie in front.
        QCOMPARE(f.client()->childAt(20, 20), f.controllo<QWidget>("Davanti"));
    }

    void layoutProporzionale()
    {
        Prova &f = Prova::istanza();
        const Rapporti &r = f.rapporti();
        QCOMPARE(r.conta(), f.controlli().conta());
        // Opt(4) inside the frame: ratios of the window's inner size.
        QCOMPARE(r[2].Left, 300.0f / 12000);
        QCOMPARE(r[2].Top, 3000.0f / 9000);
        QCOMPARE(r[2].Width, 1500.0f / 12000);
        QCOMPARE(r[2].Height, 750.0f / 9000);
        // Menu items and timers have no place.
        for (int i : {7, 8}) {
            QCOMPARE(r[i].Left, 0.0f);
            QCOMPARE(r[i].Width, 0.0f);
        }

        f.mostra();
        QTRY_VERIFY(f.isMaximized());
        AmbienteTest::elabora();
        const QSize interno = f.client()->size();
        QVERIFY(interno.width() > 800);
        auto atteso = [&](int x, int y, int w, int h) {
            const double fx = interno.width() / 800.0, fy = interno.height() / 600.0;
            return QRect(qRound(x * fx), qRound(y * fy), qRound((x + w) * fx) - qRound(x * fx),
                         qRound((y + h) * fy) - qRound(y * fy));
        };
        QWidget *frame = f.controllo<QWidget>("Frame1");
        QCOMPARE(frame->geometry(), atteso(100, 100, 400, 300));
        QCOMPARE(f.array<PulsanteOpzione>("Opt")(4)->geometry(), atteso(20, 200, 100, 50));
        // Fonts keep their size; lists keep their place.
        QCOMPARE(f.controllo<QComboBox>("Combo1")->geometry(), QRect(600, 20, 100, 22));

        // A zero inner size then the old size again brings every control back.
        f.showNormal();
        f.resize(900, 700);
        AmbienteTest::elabora();
        QList<QRect> prima;
        for (const Controllo &c : f.controlli())
            prima << (c.widget() ? c.widget()->geometry() : QRect());
        f.client()->resize(0, 0);
        QCOMPARE(frame->size(), QSize(0, 0));
        f.resize(901, 701);
        f.resize(900, 700);
        AmbienteTest::elabora();
        QList<QRect> dopo;
        for (const Controllo &c : f.controlli())
            dopo << (c.widget() ? c.widget()->geometry() : QRect());
        QCOMPARE(dopo, prima);
        QCOMPARE(f.rapporti()[2].Left, 300.0f / 12000);
    }

    void rapportiSuDimensioneNulla()
    {
        const RapportiControllo r = RapportiControllo::da(QRect(10, 20, 30, 40), 0, 0);
        QCOMPARE(r.Left, 0.0f);
        QCOMPARE(r.Height, 0.0f);
        const RapportiControllo s = RapportiControllo::da(QRect(100, 200, 300, 400), 1000, 2000);
        QCOMPARE(s.applica(0, 0), QRectF());
        QCOMPARE(s.applica(2000, 1000), QRectF(200, 100, 600, 200));
    }

    void modaleBloccaLeAltre()
    {
        Prova::istanza().mostra();
        Piccola::istanza().mostraModale();
        QCOMPARE(Piccola::istanza().windowModality(), Qt::ApplicationModal);
        QVERIFY(Piccola::istanza().isVisible());
        QCOMPARE(QApplication::activeModalWidget(), &Piccola::istanza());
        Piccola::istanza().nascondi();
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        // Shown again modeless, it no longer blocks.
        Piccola::istanza().mostra();
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(!Piccola::istanza().isMaximized());
    }
};

QTEST_MAIN(TestFinestra)
#include "test_finestra.moc"
