#include "printing/FilePdf.h"
#include "printing/SuperficiePdf.h"
#include "support/AmbienteTest.h"
#include "worksheets/StampaScheda.h"
#include "worksheets/frmStampaSchede.h"
#include "worksheets/frmStampaSchede2.h"
#include "worksheets/frmStampaSchede3.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// "File PDF" draws from 10 pt inside the page's edges.
constexpr double marginePunti = 10.0;
constexpr int dpi = 100;

// Twips from the printable area's corner to pixels of the rendered page.
int px(int twips) { return qRound((marginePunti / 72 + twips / 1440.0) * dpi); }

QString esegui(const QString &programma, const QStringList &argomenti)
{
    QProcess p;
    p.start(programma, argomenti);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool scuro(const QImage &pagina, int x, int y) { return qGray(pagina.pixel(x, y)) < 128; }

// A dark pixel within two of (x, y) along the other axis.
bool lineaVicina(const QImage &pagina, int x, int y, bool orizzontale)
{
    for (int d = -2; d <= 2; ++d)
        if (orizzontale ? scuro(pagina, x, y + d) : scuro(pagina, x + d, y))
            return true;
    return false;
}

bool cellaDisegnata(const QImage &pagina, QPoint cella)
{
    int colorati = 0;
    for (int y = px(cella.y()); y < px(cella.y() + 690); ++y)
        for (int x = px(cella.x()); x < px(cella.x() + 630); ++x)
            colorati += qGray(pagina.pixel(x, y)) < 235;
    return colorati > 20;
}

} // namespace

class TestPaginaPdf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pdftoppm").isEmpty() ||
            QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("poppler-utils are not installed");
        AmbienteTest::registraMessaggi();
    }

    void cleanup() { AmbienteTest::chiudiTutto(); }

    void laPaginaRiportaLeAnteprime_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::newRow("vuoto") << 1;
        QTest::newRow("aggiungi") << 2;
        QTest::newRow("togli") << 3;
    }

    void laPaginaRiportaLeAnteprime()
    {
        QFETCH(int, tipo);
        FinestraScheda *f = tipo == 1   ? static_cast<FinestraScheda *>(&frmStampaSchede::istanza())
                            : tipo == 2 ? static_cast<FinestraScheda *>(&frmStampaSchede2::istanza())
                                        : &frmStampaSchede3::istanza();
        for (int e = 2; e <= 4; ++e) {
            if (auto *uno = qobject_cast<frmStampaSchede *>(f))
                uno->Anteprima(e);
            else
                static_cast<SchedaDoppia *>(f)->VisualizzaEsercizio(e);
        }
        const ContenutoScheda contenuto = f->contenuto();

        QTemporaryDir cartella;
        const QString pdf = cartella.filePath("Scheda.pdf");
        SuperficiePdf superficie(std::make_unique<FilePdf>(cartella.path()));
        QVERIFY(StampaScheda(superficie, f->configurazione()).stampa(contenuto));
        QVERIFY(AmbienteTest::messaggi().isEmpty());

        // The heading: words and places as Qt wrote them.
        const QString bbox = esegui("pdftotext", {"-bbox", pdf, "-"});
        QRegularExpression parola(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
        QStringList parole;
        QList<QPointF> posti;
        for (auto it = parola.globalMatch(bbox); it.hasNext();) {
            const auto m = it.next();
            parole << m.captured(3).replace("&apos;", "'");
            posti << QPointF(m.captured(1).toDouble(), m.captured(2).toDouble());
        }
        const QString istruzione = QString::fromUtf8(f->configurazione().istruzione);
        QCOMPARE(parole.join(' '), "Nome e Cognome " + istruzione);
        const double margine = marginePunti;
        QVERIFY(qAbs(posti[0].x() - (margine + f->configurazione().xNome / 20.0)) < 2);
        QVERIFY(qAbs(posti[0].y() - (margine + 1000 / 20.0)) < 4);
        QVERIFY(qAbs(posti[3].x() - (margine + 1000 / 20.0)) < 2);
        QVERIFY(qAbs(posti[3].y() - (margine + 1500 / 20.0)) < 4);

        // The pictures keep their 4x pixels, without lossy compression.
        const QString immagini = esegui("pdfimages", {"-list", pdf});
        QVERIFY(!immagini.isEmpty());
        QVERIFY2(!immagini.contains(" jpeg "), qPrintable(immagini));

        esegui("pdftoppm", {"-r", QString::number(dpi), "-gray", "-singlefile", pdf, cartella.filePath("p")});
        QImage pagina(cartella.filePath("p.pgm"));
        QVERIFY(!pagina.isNull());
        for (int e = 1; e <= 4; ++e) {
            const int alto = 2000 + 3500 * (e - 1), basso = alto + 3100;
            const int destraSinistro = tipo == 1 && e == 1 ? 5000 : 5500;
            for (auto [sinistra, destra] : {std::pair{500, destraSinistro}, std::pair{6000, 11000}}) {
                const int mezzoX = px((sinistra + destra) / 2), mezzoY = px((alto + basso) / 2);
                QVERIFY(lineaVicina(pagina, mezzoX, px(alto), true));
                QVERIFY(lineaVicina(pagina, mezzoX, px(basso), true));
                QVERIFY(lineaVicina(pagina, px(sinistra), mezzoY, false));
                QVERIFY(lineaVicina(pagina, px(destra), mezzoY, false));
                // Nothing just outside the box edges.
                QVERIFY(!lineaVicina(pagina, px(destra + 120), mezzoY, false));
            }
            for (int o = 0; o < 15; ++o) {
                const QPoint cella(830 + 800 * (o % 5), alto + 200 + 950 * (o / 5));
                QCOMPARE(cellaDisegnata(pagina, cella), contenuto.primo[e - 1][o].numero() > 0);
                const QPoint destra = cella + QPoint(6000, 0);
                QCOMPARE(cellaDisegnata(pagina, destra), tipo != 1 && contenuto.secondo[e - 1][o].numero() > 0);
            }
        }
    }

    // Several sheets make one document, one page each, handed over once.
    void piuSchedeUnSoloDocumento()
    {
        frmStampaSchede2 &f = frmStampaSchede2::istanza();
        QTemporaryDir cartella;
        SuperficiePdf superficie(std::make_unique<FilePdf>(cartella.path()));
        StampaScheda stampa(superficie, f.configurazione());
        stampa.disegna(f.contenuto());
        superficie.nuovaPagina();
        QVERIFY(stampa.stampa(f.contenuto()));
        QCOMPARE(QDir(cartella.path()).entryList(QDir::Files), QStringList{"Scheda.pdf"});
        QVERIFY(esegui("pdfinfo", {cartella.filePath("Scheda.pdf")}).contains(QRegularExpression("Pages: +2\n")));
    }
};

QTEST_MAIN(TestPaginaPdf)
#include "test_pagina_pdf.moc"
