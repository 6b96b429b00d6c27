#include "printing/StampanteCorrente.h"
#include "printing/frmStampante.h"
#include "support/AmbienteTest.h"
#include "ui/Etichetta.h"
#include "worksheets/frmStampaSchede.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// Run with no print service reachable (CUPS_SERVER pointing nowhere).
class TestSenzaStampanti : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        casa_ = AmbienteTest::casaTemporanea();
        QVERIFY(!casa_.isEmpty());
        if (!StampanteCorrente::installate().isEmpty())
            QSKIP("a print service answers: run with CUPS_SERVER=/nonexistent/socket");
    }

    void init() { AmbienteTest::registraMessaggi(); }
    void cleanup() { AmbienteTest::chiudiTutto(); }

    void laFinestraLoDiceEOffreIlFilePdf()
    {
        StampanteCorrente::istanza().ripristina();
        QVERIFY(StampanteCorrente::istanza().suFilePdf());
        frmStampante &f = frmStampante::istanza();
        f.mostraModale();
        QCOMPARE(f.Combo1()->count(), 1);
        QCOMPARE(f.Combo1()->itemText(0), QStringLiteral("File PDF"));
        QCOMPARE(f.Label1()->text(),
                 QStringLiteral("Nessuna stampante installata: le schede si salvano come file PDF."));
    }

    void unaStampanteSparitaDaUnSoloMessaggioENessunFile()
    {
        StampanteCorrente::istanza().impostaStampante(QStringLiteral("PDF_Prova"));
        stampaScheda();
        QCOMPARE(AmbienteTest::messaggi(), QStringList{"Problema di stampa nella stampante utilizzata."});
        QVERIFY(QDir(casa_ + "/Documents").entryList({"*.pdf"}, QDir::Files).isEmpty());
    }

    void ilFilePdfNonSovrascriveMai()
    {
        StampanteCorrente::istanza().impostaFilePdf();
        const QDir documenti(casa_ + "/Documents");
        QVERIFY(documenti.mkpath("."));
        QFile altrui(documenti.filePath("Scheda (2).pdf"));
        QVERIFY(altrui.open(QIODevice::WriteOnly));
        altrui.write("di qualcun altro");
        altrui.close();

        stampaScheda();
        stampaScheda();
        QCOMPARE(documenti.entryList({"*.pdf"}, QDir::Files, QDir::Name),
                 (QStringList{"Scheda (2).pdf", "Scheda (3).pdf", "Scheda.pdf"}));
        QVERIFY(altrui.open(QIODevice::ReadOnly));
        QCOMPARE(altrui.readAll(), QByteArray("di qualcun altro"));
        QCOMPARE(AmbienteTest::messaggi(),
                 (QStringList{"La scheda è stata salvata nel file\n" + documenti.filePath("Scheda.pdf"),
                              "La scheda è stata salvata nel file\n" + documenti.filePath("Scheda (3).pdf")}));
        QFile pdf(documenti.filePath("Scheda.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
    }

private:
    static void stampaScheda()
    {
        frmStampaSchede &f = frmStampaSchede::istanza();
        for (int e = 2; e <= 4; ++e)
            f.Anteprima(e);
        f.Command1_Click();
    }

    QString casa_;
};

QTEST_MAIN(TestSenzaStampanti)
#include "test_senza_stampanti.moc"
