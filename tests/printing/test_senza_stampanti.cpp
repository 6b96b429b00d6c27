#include "printing/FilePdf.h"
#include "printing/StampanteCorrente.h"
#include "printing/frmStampante.h"
#include "support/AmbienteTest.h"
#include "ui/Etichetta.h"
#include "worksheets/frmStampaSchede.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

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
                 QStringLiteral("Nessuna stampante installata: ogni stampa si salva come file PDF."));
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

    // The folder cannot be made, is read-only, or the disk fills during the write:
    // the message names the folder and why, nothing is left, and the next save works.
    void unSalvataggioFallitoLoDiceENonLasciaNulla_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("non si crea") << "file"
                                     << "la cartella non si può creare.";
        QTest::newRow("sola lettura") << "sola lettura"
                                      << "la cartella è di sola lettura.";
        QTest::newRow("scrittura interrotta") << "limite"
                                              << "errore di scrittura";
    }
    void unSalvataggioFallitoLoDiceENonLasciaNulla()
    {
        QFETCH(QString, caso);
        QFETCH(QString, motivo);
        if (caso == "sola lettura" && geteuid() == 0)
            QSKIP("root writes into read-only folders");
        StampanteCorrente::istanza().impostaFilePdf();
        const QString casa = casa_ + "/" + caso;
        const QString documenti = casa + "/Documents";
        QVERIFY(QDir().mkpath(casa));
        qputenv("HOME", casa.toUtf8());
        QFile ostacolo(documenti);
        if (caso == "file")
            QVERIFY(ostacolo.open(QIODevice::WriteOnly));
        else
            QVERIFY(QDir().mkpath(documenti));
        if (caso == "sola lettura")
            QVERIFY(QFile::setPermissions(documenti, QFile::ReadOwner | QFile::ExeOwner));
        rlimit limite{};
        getrlimit(RLIMIT_FSIZE, &limite);
        if (caso == "limite") {
            // A write that stops part way, as on a full disk.
            signal(SIGXFSZ, SIG_IGN);
            rlimit corto = limite;
            corto.rlim_cur = 4096;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &corto), 0);
        }
        stampaScheda();
        setrlimit(RLIMIT_FSIZE, &limite);
        QCOMPARE(AmbienteTest::messaggi().size(), 1);
        QVERIFY2(AmbienteTest::messaggi()[0].startsWith("La scheda non è stata salvata nella cartella\n" + documenti +
                                                        "\n" + motivo),
                 qPrintable(AmbienteTest::messaggi()[0]));
        if (caso != "file")
            QCOMPARE(QDir(documenti).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{});

        ostacolo.remove();
        QFile::setPermissions(documenti, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        AmbienteTest::registraMessaggi();
        stampaScheda();
        QCOMPARE(AmbienteTest::messaggi(),
                 QStringList{"La scheda è stata salvata nel file\n" + documenti + "/Scheda.pdf"});
        qputenv("HOME", casa_.toUtf8());
    }

    void senzaHomeLaCasaDelDatabaseDegliUtenti()
    {
        const QByteArray casa = qgetenv("HOME");
        qunsetenv("HOME");
        const QString documenti = FilePdf::cartellaDocumenti();
        qputenv("HOME", casa);
        const passwd *utente = getpwuid(geteuid());
        QVERIFY(utente);
        const QString attesa = QDir::cleanPath(QString::fromLocal8Bit(utente->pw_dir));
        QCOMPARE(documenti, attesa == "/" ? QString() : attesa + "/Documents");
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
