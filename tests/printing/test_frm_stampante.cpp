#include "printing/StampanteCorrente.h"
#include "printing/frmStampante.h"
#include "support/AmbienteTest.h"
#include "ui/Etichetta.h"
#include "ui/Pulsante.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTest>

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
                     QStringLiteral("Nessuna stampante installata: ogni stampa si salva come file PDF."));
        else
            QCOMPARE(f.Label1()->text(), "La stampante predefinita è \n" + inUso);
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
        QCOMPARE(f.Label2()->text(), QStringLiteral("La stampante scelta è \nFile PDF"));

        QTest::mouseClick(f.Command2(), Qt::LeftButton);
        QVERIFY(!f.isVisible());
        QVERIFY(frmStampante::caricata());
        frmStampante::istanza().mostraModale();
        QCOMPARE(&frmStampante::istanza(), &f);
        QCOMPARE(f.Combo1()->currentIndex(), pdf);
        QCOMPARE(f.Label2()->text(), QStringLiteral("La stampante scelta è \nFile PDF"));

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
            QCOMPARE(nuova.Label1()->text(), QStringLiteral("La stampante predefinita è \nFile PDF"));
    }

    void iNomiSiMostranoInteriComeSono()
    {
        frmStampante &f = frmStampante::istanza();
        Etichetta *l = f.Label2();
        QCOMPARE(l->textFormat(), Qt::PlainText);
        const double punti = l->font().pointSizeF();
        // The longest name a queue can have is 127 characters.
        for (const QString &nome :
             {QStringLiteral("<b>Aula</b>&amp;"), QStringLiteral("Aula-3_Stampante.è"),
              QStringLiteral("Stampante_Laboratorio_Informatica_Piano_Terra_Aula_Magna_Edificio_B_AlaEst"),
              QString(127, QLatin1Char('W'))}) {
            l->impostaTestoIntero(QStringLiteral("La stampante scelta è \n") + nome);
            QCOMPARE(l->text(), QStringLiteral("La stampante scelta è \n") + nome);
            QVERIFY2(l->ingombro().width() <= l->width(), qPrintable(nome));
            QVERIFY2(l->ingombro().height() <= l->height(), qPrintable(nome));
            if (nome.size() < 20)
                QCOMPARE(l->font().pointSizeF(), punti);
        }
    }

    void cliccareLaVoceGiaMostrataLaSceglie()
    {
        frmStampante &f = frmStampante::istanza();
        f.mostraModale();
        QVERIFY(f.Label2()->text().isEmpty());
        const QString prima = f.Combo1()->itemText(0);
        f.Combo1()->showPopup();
        QAbstractItemView *vista = f.Combo1()->view();
        QTRY_VERIFY(vista->isVisible());
        QTest::keyClick(vista, Qt::Key_Return);
        QCOMPARE(f.Combo1()->currentIndex(), 0);
        QCOMPARE(f.Label2()->text(), QStringLiteral("La stampante scelta è \n") + prima);
        if (prima == StampanteCorrente::nomeFilePdf())
            QVERIFY(StampanteCorrente::istanza().suFilePdf());
        else
            QCOMPARE(StampanteCorrente::istanza().nome(), prima);
    }

    void unNomeCheNonCorrispondeEsattamenteLasciaLaStampante()
    {
        if (StampanteCorrente::installate().isEmpty())
            QSKIP("needs an installed printer");
        frmStampante &f = frmStampante::istanza();
        f.mostraModale();
        // After "File PDF", an entry that differs from a real queue's name only in case
        // matches no printer: "File PDF" stays.
        const QString vera = f.Combo1()->itemText(0);
        f.Combo1()->setItemText(0, vera.toUpper() == vera ? vera.toLower() : vera.toUpper());
        f.Combo1()->setCurrentIndex(f.Combo1()->count() - 1);
        f.Combo1()->setCurrentIndex(0);
        QCOMPARE(StampanteCorrente::istanza().nome(), StampanteCorrente::nomeFilePdf());
        QCOMPARE(f.Label2()->text(), QStringLiteral("La stampante scelta è \n") + StampanteCorrente::nomeFilePdf());
        // The exact name chooses it.
        f.Combo1()->setItemText(0, vera);
        emit f.Combo1()->activated(0);
        QCOMPARE(StampanteCorrente::istanza().nome(), vera);
    }
};

QTEST_MAIN(TestFrmStampante)
#include "test_frm_stampante.moc"
