#include "printing/StampanteCorrente.h"
#include "printing/frmStampante.h"
#include "support/AmbienteTest.h"
#include "ui/Etichetta.h"
#include "ui/Pulsante.h"
#include "worksheets/frmStampaSchede2.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QUrl>

namespace {

QString lpstat(const QStringList &argomenti)
{
    QProcess p;
    p.start("lpstat", argomenti);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// lpstat names the jobs of a queue with a non-ASCII name percent-encoded.
int lavoriCompletati(const QString &coda)
{
    const QString prefisso = QString::fromLatin1(QUrl::toPercentEncoding(coda, "-_.")) + "-";
    const QStringList righe = lpstat({"-W", "completed", "-o"}).split('\n', Qt::SkipEmptyParts);
    return static_cast<int>(
        std::count_if(righe.begin(), righe.end(), [&](const QString &r) { return r.startsWith(prefisso); }));
}

QStringList pdfIn(const QString &cartella) { return QDir(cartella).entryList({"*.pdf"}, QDir::Files); }

} // namespace

// Needs the print server that scripts/test starts (QUORVEL_CUPS).
class TestStampaCups : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("QUORVEL_CUPS"))
            QSKIP("no test print server: run through scripts/test");
        predefinita_ = qEnvironmentVariable("QUORVEL_CUPS_DEFAULT");
        altra_ = qEnvironmentVariable("QUORVEL_CUPS_OTHER");
        uscita_ = qEnvironmentVariable("QUORVEL_CUPS_OUT");
    }

    void init()
    {
        AmbienteTest::registraMessaggi();
        StampanteCorrente::istanza().ripristina();
    }
    void cleanup() { AmbienteTest::chiudiTutto(); }

    void sceltaLAltraCodaLaSchedaArrivaLi()
    {
        QCOMPARE(StampanteCorrente::istanza().nome(), predefinita_);
        frmStampante &f = frmStampante::istanza();
        f.mostraModale();
        const int indice = f.Combo1()->findText(altra_);
        QVERIFY(indice >= 0 && f.Combo1()->findText(predefinita_) >= 0);
        QCOMPARE(StampanteCorrente::istanza().nome(), predefinita_);
        f.Combo1()->setCurrentIndex(indice == 0 ? 1 : indice);
        f.Combo1()->setCurrentIndex(indice);
        QCOMPARE(StampanteCorrente::istanza().nome(), altra_);
        QCOMPARE(f.Label2()->text(), "La stampante scelta è \n" + altra_);
        QTest::mouseClick(f.Command2(), Qt::LeftButton);

        const int completati = lavoriCompletati(altra_);
        const QStringList prima = pdfIn(uscita_);
        frmStampaSchede2 &scheda = frmStampaSchede2::istanza();
        for (int e = 2; e <= 4; ++e)
            QTest::mouseClick(scheda.cmdInsieme(e), Qt::LeftButton);
        QTest::mouseClick(scheda.Command1(), Qt::LeftButton);
        QVERIFY2(AmbienteTest::messaggi().isEmpty(), qPrintable(AmbienteTest::messaggi().join('|')));

        QElapsedTimer attesa;
        attesa.start();
        while (attesa.elapsed() < 30000 &&
               (lavoriCompletati(altra_) == completati || pdfIn(uscita_).size() == prima.size()))
            QTest::qWait(200);
        QCOMPARE(lavoriCompletati(altra_), completati + 1);
        QCOMPARE(pdfIn(uscita_).size(), prima.size() + 1);
    }

    void unaCodaTogliaDopoLaSceltaDaIlMessaggio()
    {
        const QString temporanea = QStringLiteral("Quorvel_Temporanea");
        QProcess::execute("lpadmin",
                          {"-p", temporanea, "-v", "cups-pdf:/", "-E", "-m", "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"});
        if (!StampanteCorrente::installate().contains(temporanea))
            QSKIP("cannot add a queue here");
        StampanteCorrente::istanza().impostaStampante(temporanea);
        QProcess::execute("lpadmin", {"-x", temporanea});
        frmStampaSchede2 &scheda = frmStampaSchede2::istanza();
        for (int e = 2; e <= 4; ++e)
            scheda.VisualizzaEsercizio(e);
        const int altrove = lavoriCompletati(predefinita_) + lavoriCompletati(altra_);
        scheda.Command1_Click();
        QCOMPARE(AmbienteTest::messaggi(), QStringList{"Problema di stampa nella stampante utilizzata."});
        // Not sent to some other printer instead.
        QTest::qWait(1000);
        QCOMPARE(lavoriCompletati(predefinita_) + lavoriCompletati(altra_), altrove);
        QVERIFY(lpstat({"-o"}).trimmed().isEmpty());
    }

private:
    QString predefinita_, altra_, uscita_;
};

QTEST_MAIN(TestStampaCups)
#include "test_stampa_cups.moc"
