#include "printing/StampanteCorrente.h"
#include "printing/frmStampante.h"
#include "support/AmbienteTest.h"
#include "ui/Etichetta.h"
#include "ui/Pulsante.h"

#include <QComboBox>
#include <QTest>

namespace {
QString visibile(const QString &testo) { return QString(testo).remove(QChar(0x200B)); }
} // namespace

class TestFrmStampante : public QObject {
    Q_OBJECT
private slots:
    void init() { StampanteCorrente::istanza().ripristina(); }
    void cleanup() { AmbienteTest::chiudiTutto(); }

    void aprireElencaLeStampantiSenzaCambiareQuellaInUso()
    {
        const QString inUso = StampanteCorrente::istanza().nome();
        frmStampante &f = frmStampante::istanza();
        f.mostraModale();
        QStringList voci;
        for (int i = 0; i < f.Combo1()->count(); ++i)
            voci << f.Combo1()->itemText(i);
        QCOMPARE(voci, StampanteCorrente::installate() << "File PDF");
        QCOMPARE(f.Combo1()->currentIndex(), 0);
        QVERIFY(f.ElencoPronto);
        QCOMPARE(StampanteCorrente::istanza().nome(), inUso);
        QVERIFY(f.Label2()->text().isEmpty());
        if (StampanteCorrente::installate().isEmpty())
            QCOMPARE(f.Label1()->text(),
                     QStringLiteral("Nessuna stampante installata: le schede si salvano come file PDF."));
        else
            QCOMPARE(visibile(f.Label1()->text()), "La stampante predefinita è \n" + inUso);
    }

    void chiudiNascondeEConservaLaCroceScarica()
    {
        frmStampante &f = frmStampante::istanza();
        f.mostraModale();
        if (f.Combo1()->count() < 2)
            QSKIP("no printer installed: File PDF is already the only entry");
        const int pdf = f.Combo1()->count() - 1;
        f.Combo1()->setCurrentIndex(pdf);
        QVERIFY(StampanteCorrente::istanza().suFilePdf());
        QCOMPARE(visibile(f.Label2()->text()), QStringLiteral("La stampante scelta è \nFile PDF"));

        QTest::mouseClick(f.Command2(), Qt::LeftButton);
        QVERIFY(!f.isVisible());
        QVERIFY(frmStampante::caricata());
        frmStampante::istanza().mostraModale();
        QCOMPARE(&frmStampante::istanza(), &f);
        QCOMPARE(f.Combo1()->currentIndex(), pdf);
        QCOMPARE(visibile(f.Label2()->text()), QStringLiteral("La stampante scelta è \nFile PDF"));

        f.close();
        AmbienteTest::elabora();
        QVERIFY(!frmStampante::caricata());
        frmStampante &nuova = frmStampante::istanza();
        QVERIFY(!nuova.isVisible());
        QCOMPARE(nuova.Combo1()->currentIndex(), 0);
        QVERIFY(nuova.Label2()->text().isEmpty());
        // The choice outlives the window.
        QVERIFY(StampanteCorrente::istanza().suFilePdf());
        if (nuova.Combo1()->count() > 1)
            QCOMPARE(visibile(nuova.Label1()->text()), QStringLiteral("La stampante predefinita è \nFile PDF"));
    }

    void iNomiSiMostranoComeSonoEAndandoACapo()
    {
        frmStampante &f = frmStampante::istanza();
        Etichetta *l = f.Label2();
        QCOMPARE(l->textFormat(), Qt::PlainText);
        for (const QString &nome :
             {QStringLiteral("<b>Aula</b>&amp;"), QStringLiteral("Stampante_Laboratorio_Informatica_Piano_Terra"),
              QStringLiteral("Aula-3_Stampante.è")}) {
            const QString testo = frmStampante::daMostrare(nome);
            QCOMPARE(visibile(testo), nome);
            l->setText(testo);
            const QRect occupato =
                l->fontMetrics().boundingRect(QRect(0, 0, l->width(), 10000), Qt::TextWordWrap, l->text());
            QVERIFY2(occupato.width() <= l->width(), qPrintable(nome));
        }
    }

    void cercaPrendeIlPrimoDiDueNomiUguali()
    {
        const QStringList elenco{"A", "Stampa", "stampa", "Stampa"};
        QCOMPARE(StampanteCorrente::cerca(elenco, "Stampa"), 1);
        QCOMPARE(StampanteCorrente::cerca(elenco, "stampa"), 2);
        QCOMPARE(StampanteCorrente::cerca(elenco, "STAMPA"), -1);
    }
};

QTEST_MAIN(TestFrmStampante)
#include "test_frm_stampante.moc"
