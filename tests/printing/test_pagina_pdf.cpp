#include "printing/FilePdf.h"
#include "printing/SuperficiePdf.h"
#include "support/AmbienteTest.h"
#include "support/PaginaPdf.h"
#include "worksheets/StampaScheda.h"
#include "worksheets/frmStampaSchede.h"
#include "worksheets/frmStampaSchede2.h"
#include "worksheets/frmStampaSchede3.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {
// "File PDF" draws from 10 pt inside the page's edges.
constexpr double marginePunti = 10.0;
} // namespace

class TestPaginaPdf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!PaginaPdf::disponibile())
            QSKIP("poppler-utils are not installed");
        AmbienteTest::registraMessaggi();
    }

    void cleanup() { AmbienteTest::chiudiTutto(); }

    void laPaginaRiportaLeAnteprime_data() { AmbienteTest::righeTipiScheda(); }

    void laPaginaRiportaLeAnteprime()
    {
        QFETCH(int, tipo);
        FinestraScheda *f = AmbienteTest::finestraScheda(tipo);
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
        const QList<PaginaPdf::Parola> lette = PaginaPdf::parole(pdf, 1);
        QStringList parole;
        QList<QPointF> posti;
        for (const auto &parola : lette) {
            parole << parola.testo;
            posti << parola.posto;
        }
        const QString istruzione = QString::fromUtf8(f->configurazione().istruzione);
        QCOMPARE(parole.join(' '), "Nome e Cognome " + istruzione);
        const double margine = marginePunti;
        QVERIFY(qAbs(posti[0].x() - (margine + f->configurazione().xNome / 20.0)) < 2);
        QVERIFY(qAbs(posti[0].y() - (margine + 1000 / 20.0)) < 4);
        QVERIFY(qAbs(posti[3].x() - (margine + 1000 / 20.0)) < 2);
        QVERIFY(qAbs(posti[3].y() - (margine + 1500 / 20.0)) < 4);

        // The pictures keep their 4x pixels, without lossy compression.
        const QString immagini = PaginaPdf::esegui("pdfimages", {"-list", pdf});
        QVERIFY(!immagini.isEmpty());
        QVERIFY2(!immagini.contains(" jpeg "), qPrintable(immagini));

        const double margineMm = marginePunti / 72 * 25.4;
        const PaginaPdf::Resa pagina(pdf, 1, {margineMm, margineMm});
        QVERIFY(pagina.valida());
        const QString differenze = pagina.differenze(tipo, contenuto);
        QVERIFY2(differenze.isEmpty(), qPrintable(differenze));
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
        QCOMPARE(PaginaPdf::pagine(cartella.filePath("Scheda.pdf")), 2);
    }
};

QTEST_MAIN(TestPaginaPdf)
#include "test_pagina_pdf.moc"
